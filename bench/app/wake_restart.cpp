// Time from the death of the wake helper to a new one holding the same alarm time.
#include "BenchSupport.h"
#include "Median.h"
#include "linux/WakeHelper.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <unistd.h>
#include <vector>

namespace {

// The helper this process started, 0 while none runs.
qint64 helperProcess()
{
    const QString helper = QFileInfo(QStringLiteral(WAKE_HELPER)).canonicalFilePath();
    const QByteArray self = QByteArray::number(getpid());
    for (const QString &pid : QDir(QStringLiteral("/proc")).entryList({QStringLiteral("[0-9]*")}, QDir::Dirs)) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray text = stat.readAll();
        // After the name in parentheses: the state, then the parent.
        const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 1 && fields[1] == self
            && QFile::symLinkTarget(QStringLiteral("/proc/%1/exe").arg(pid)) == helper)
            return pid.toLongLong();
    }
    return 0;
}

// Whether `pid` holds an alarm timer armed for `moment`; the kernel shows whole seconds left.
bool armedFor(qint64 pid, qint64 moment)
{
    static const QRegularExpression timer(QStringLiteral("^settime flags: 03\\nit_value: \\((\\d+), \\d+\\)$"),
                                          QRegularExpression::MultilineOption);
    const QDir fdinfo(QStringLiteral("/proc/%1/fdinfo").arg(pid));
    for (const QString &fd : fdinfo.entryList(QDir::Files)) {
        QFile file(fdinfo.filePath(fd));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QRegularExpressionMatch match = timer.match(QString::fromLatin1(file.readAll()));
        if (match.hasMatch()) {
            const qint64 shown = QDateTime::currentSecsSinceEpoch() + match.captured(1).toLongLong();
            return shown <= moment && shown >= moment - 2;
        }
    }
    return false;
}

// Runs the event loop until `done`, looking every 0.2 ms; false after 10 s.
template <typename Done>
bool waitFor(Done done)
{
    QElapsedTimer waited;
    waited.start();
    while (!done()) {
        if (waited.elapsed() > 10000)
            return false;
        QCoreApplication::processEvents();
        usleep(200);
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    // The program's warning of each helper's death would bury the figures.
    qInstallMessageHandler(Bench::errorsOnly);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    // Many virtual machines have no real-time clock behind the alarm clock; the tests' stand-in
    // then says there is one, which changes nothing of the work measured.
    timespec resolution;
    QStringList arguments{QStringLiteral(WAKE_HELPER)};
    if (clock_getres(CLOCK_REALTIME_ALARM, &resolution) != 0)
        arguments.prepend(QStringLiteral("LD_PRELOAD=" RTC_PRESENT_SHIM));

    std::vector<double> back;
    for (int round = 0; round < rounds; ++round) {
        // A new program's helper each round: only its first death is followed by a start at once.
        WakeHelper helper(QStringLiteral("env"), arguments);
        const qint64 moment = QDateTime::currentSecsSinceEpoch() + 3600;
        helper.wakeAt(QDateTime::fromSecsSinceEpoch(moment));
        qint64 pid = 0;
        if (!waitFor([&] { return (pid = helperProcess()) && armedFor(pid, moment); })) {
            std::fprintf(stderr, "The helper holds no alarm timer: run as root, or give it cap_wake_alarm.\n");
            return 1;
        }
        QElapsedTimer sinceKill;
        sinceKill.start();
        kill(pid_t(pid), SIGKILL);
        qint64 again = 0;
        if (!waitFor([&] { return (again = helperProcess()) && again != pid && armedFor(again, moment); })) {
            std::fprintf(stderr, "No helper came back within 10 s.\n");
            return 1;
        }
        back.push_back(sinceKill.nsecsElapsed() / 1e6);
    }
    std::sort(back.begin(), back.end());
    std::printf("kill of the wake helper to a new one armed for the same moment, %d rounds, milliseconds:\n", rounds);
    std::printf("  min %.1f  median %.1f  max %.1f\n", back.front(), Bench::median(back), back.back());
    return 0;
}
