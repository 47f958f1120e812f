// The wake helper process and the lines it is told.
#include "linux/WakeHelper.h"

#include "wake/WakeStatus.h"

#include <QtDebug>

WakeHelper::WakeHelper(const QString &program, const QStringList &arguments, QObject *parent, int restartGapMs)
    : QObject(parent)
    , program(program)
    , arguments(arguments)
    , restartGapMs(restartGapMs)
{
    restart.setObjectName(QStringLiteral("restart"));
    restart.setSingleShot(true);
    connect(&restart, &QTimer::timeout, this, &WakeHelper::startAgain);
}

WakeHelper::~WakeHelper()
{
    if (!process)
        return;
    disconnect(process, nullptr, this, nullptr);
    process->closeWriteChannel();
    if (!process->waitForFinished(2000)) {
        process->kill();
        process->waitForFinished(2000);
    }
}

void WakeHelper::wakeAt(const std::optional<QDateTime> &when)
{
    last = when;
    if (usability != Usability::Usable) {
        if (usability == Usability::LacksCapability && when)
            emit capabilityMissing(*when);
        else if (usability == Usability::LacksCapability)
            emit capabilityNotNeeded();
        return;
    }
    if (process)
        tell();
    // No helper yet means no alarm armed: nothing to take back. One waiting to be started again
    // takes the newest time then.
    else if (when && !restart.isActive())
        start();
}

void WakeHelper::start()
{
    process = new QProcess(this);
    process->setProgram(program);
    process->setArguments(arguments);
    process->setStandardOutputFile(QProcess::nullDevice());
    // The helper writes only on an unexpected failure; that goes where the program's own errors go.
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    connect(process, &QProcess::finished, this, &WakeHelper::ended);
    connect(process, &QProcess::errorOccurred, this, &WakeHelper::notStarted);
    process->start();
    if (process)
        tell();
}

void WakeHelper::capabilityGranted()
{
    if (usability == Usability::LacksCapability)
        become(Usability::Usable);
}

// Every change of usability goes through here, with what it brings: a helper that lacks the
// capability is told of while an alarm needs it, and one given it takes over the wake time.
void WakeHelper::become(Usability next)
{
    usability = next;
    if (next == Usability::LacksCapability && last)
        emit capabilityMissing(*last);
    else if (next == Usability::Usable && last && !process)
        start();
}

void WakeHelper::startAgain()
{
    sinceRestart.start();
    if (usability == Usability::Usable && last && !process)
        start();
}

void WakeHelper::tell()
{
    process->write(last ? QByteArray::number(last->toSecsSinceEpoch()) + '\n' : QByteArrayLiteral("off\n"));
}

void WakeHelper::ended(int exitCode, QProcess::ExitStatus status)
{
    process->deleteLater();
    process = nullptr;
    const bool normal = status == QProcess::NormalExit;
    if (normal && (exitCode == WAKE_NOT_PERMITTED || exitCode == WAKE_NO_ALARM_CLOCK)) {
        // This computer cannot be woken by the helper, and a new one would end the same way: the
        // alarms ring as before whenever it is awake, and the program's fixed boxes have nothing
        // to say about it. A missing capability can be granted, though.
        become(exitCode == WAKE_NOT_PERMITTED ? Usability::LacksCapability : Usability::Unusable);
        return;
    }
    if (normal)
        qWarning("trillora-wake ended unexpectedly with status %d", exitCode);
    else
        qWarning("trillora-wake crashed");
    // The alarm went with the helper, likely hours before the moment it was meant for. A new one
    // takes over the last time at once, but one that keeps ending is started at most once a gap,
    // never in a loop. A line it refused would be refused again: the next change starts a new one.
    if (!last || (normal && exitCode == WAKE_BAD_INPUT))
        return;
    const qint64 wait = sinceRestart.isValid() ? restartGapMs - sinceRestart.elapsed() : 0;
    if (wait > 0)
        restart.start(int(wait));
    else
        startAgain();
}

void WakeHelper::notStarted(QProcess::ProcessError error)
{
    if (error != QProcess::FailedToStart || !process)
        return;
    // Not installed beside the program, or not executable: as with a computer it cannot wake.
    process->deleteLater();
    process = nullptr;
    become(Usability::Unusable);
}
