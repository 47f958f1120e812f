// The wake helper process and the lines it is told.
#include "platform/WakeHelper.h"

#include "wake/WakeStatus.h"

#include <QtDebug>

WakeHelper::WakeHelper(const QString &program, const QStringList &arguments, QObject *parent)
    : QObject(parent)
    , program(program)
    , arguments(arguments)
{
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

qint64 WakeHelper::processId() const
{
    return process ? process->processId() : 0;
}

void WakeHelper::wakeAt(const std::optional<QDateTime> &when)
{
    if (!usable)
        return;
    if (!process) {
        // No helper yet means no alarm armed: nothing to take back.
        if (!when)
            return;
        start();
        if (!process)
            return;
    }
    process->write(when ? QByteArray::number(when->toSecsSinceEpoch()) + '\n' : QByteArrayLiteral("off\n"));
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
    ++started;
    process->start();
}

void WakeHelper::ended(int exitCode, QProcess::ExitStatus status)
{
    process->deleteLater();
    process = nullptr;
    if (status == QProcess::NormalExit && (exitCode == WAKE_NOT_PERMITTED || exitCode == WAKE_NO_ALARM_CLOCK)) {
        // This computer cannot be woken by the helper: the alarms ring as before whenever it is
        // awake, and the program's fixed boxes have nothing to say about it.
        usable = false;
        return;
    }
    // Anything else is a fault of the helper; the next change of the wake time starts a new one,
    // never a loop of restarts.
    if (status == QProcess::NormalExit)
        qWarning("trillora-wake ended unexpectedly with status %d", exitCode);
    else
        qWarning("trillora-wake crashed");
}

void WakeHelper::notStarted(QProcess::ProcessError error)
{
    if (error != QProcess::FailedToStart || !process)
        return;
    // Not installed beside the program, or not executable: as with a missing capability.
    process->deleteLater();
    process = nullptr;
    usable = false;
}
