// The wake helper as a real process: the alarm timer it holds, its end, its statuses, a program
// that goes on silently where the computer cannot be woken, and the capability asked for where it
// could be.
#include "FakePlatform.h"
#include "NotificationService.h"
#include "TestMain.h"
#include "app/Main.h"
#include "linux/DesktopNotice.h"
#include "linux/WakeGrant.h"
#include "linux/WakeHelper.h"
#include "wake/WakeStatus.h"

#include <QDBusConnection>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/timerfd.h>
#include <unistd.h>

namespace {

enum Run { WithClock, WithoutClock, WithoutCapability, NotInstalled };

struct Command
{
    QString program;
    QStringList arguments;
};

// `standIn`: one more preloaded library for the helper.
Command command(Run run, const QString &standIn = {})
{
    const QString present = QStringLiteral("LD_PRELOAD=" RTC_PRESENT_SHIM " ") + standIn;
    const QString helper = QStringLiteral(WAKE_HELPER);
    switch (run) {
    case WithClock:
        return {QStringLiteral("env"), {present, helper}};
    case WithoutClock:
        return {QStringLiteral("env"), {QStringLiteral("LD_PRELOAD=" RTC_ABSENT_SHIM), helper}};
    case WithoutCapability:
        // Root holds every capability unless the bounding set drops it; anyone else lacks it anyway.
        if (geteuid() != 0)
            return {QStringLiteral("env"), {present, helper}};
        return {QStringLiteral("setpriv"),
                {QStringLiteral("--bounding-set=-wake_alarm"), QStringLiteral("--inh-caps=-wake_alarm"),
                 QStringLiteral("env"), present, helper}};
    case NotInstalled:
        break;
    }
    return {QStringLiteral("/nonexistent/trillora-wake"), {}};
}

// Whether this process may make alarm timers: the helper run from it may then too.
bool canMakeAlarmTimers()
{
    const int fd = timerfd_create(CLOCK_REALTIME_ALARM, TFD_CLOEXEC);
    if (fd < 0)
        return false;
    close(fd);
    return true;
}

#define NEED_ALARM_TIMERS()                                                                    \
    if (!canMakeAlarmTimers())                                                                 \
    QSKIP("This user may not make alarm timers (CAP_WAKE_ALARM); run the tests as root for these")

// The alarm timer of a process as the kernel shows it, "" for a process without one.
struct AlarmTimer
{
    QString clockId;
    QString flags;
    qint64 remaining = -1;
    int fd = -1;
};

AlarmTimer alarmTimer(qint64 pid)
{
    const QDir fdinfo(QStringLiteral("/proc/%1/fdinfo").arg(pid));
    static const QRegularExpression clock(QStringLiteral("^clockid: (\\d+)$"), QRegularExpression::MultilineOption);
    static const QRegularExpression flags(QStringLiteral("^settime flags: (\\d+)$"),
                                          QRegularExpression::MultilineOption);
    static const QRegularExpression value(QStringLiteral("^it_value: \\((\\d+), \\d+\\)$"),
                                          QRegularExpression::MultilineOption);
    for (const QString &fd : fdinfo.entryList(QDir::Files)) {
        QFile file(fdinfo.filePath(fd));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QString text = QString::fromLatin1(file.readAll());
        const QRegularExpressionMatch clockMatch = clock.match(text);
        if (clockMatch.hasMatch())
            return {clockMatch.captured(1), flags.match(text).captured(1), value.match(text).captured(1).toLongLong(),
                    fd.toInt()};
    }
    return {};
}

QByteArray describe(const AlarmTimer &timer)
{
    return QStringLiteral("clockid %1, settime flags %2, %3 s remaining")
        .arg(timer.clockId, timer.flags)
        .arg(timer.remaining)
        .toLatin1();
}

// Whether the timer is armed for `moment`; the kernel shows whole seconds left.
bool armedFor(const AlarmTimer &timer, qint64 moment)
{
    const qint64 shown = QDateTime::currentSecsSinceEpoch() + timer.remaining;
    return timer.flags == QLatin1String("03") && shown <= moment && shown >= moment - 2;
}

QStringList openDescriptors(qint64 pid)
{
    return QDir(QStringLiteral("/proc/%1/fd").arg(pid)).entryList(QDir::System, QDir::Name);
}

// The processes this test started, running or ended but not yet waited for.
QStringList childProcesses()
{
    QFile children(QStringLiteral("/proc/self/task/%1/children").arg(getpid()));
    if (!children.open(QIODevice::ReadOnly))
        qFatal("These tests need /proc/PID/task/TID/children (CONFIG_PROC_CHILDREN)");
    return QString::fromLatin1(children.readAll()).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

// The running wake helper among them, 0 while none runs.
qint64 helperProcess()
{
    const QString helper = QFileInfo(QStringLiteral(WAKE_HELPER)).canonicalFilePath();
    for (const QString &pid : childProcesses())
        if (QFile::symLinkTarget(QStringLiteral("/proc/%1/exe").arg(pid)) == helper)
            return pid.toLongLong();
    return 0;
}

QStringList lines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// Alive and not a zombie.
bool running(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray text = stat.readAll();
    const int state = text.lastIndexOf(')') + 2;
    return state > 1 && state < text.size() && text[state] != 'Z';
}

void insert(const char *hour, const char *minute)
{
    FrmMain->Edsveglia1->setText(QLatin1String(hour));
    FrmMain->EDSveglia2->setText(QLatin1String(minute));
    FrmMain->sbConferma->click();
}

} // namespace

class TestWakeHelper : public QObject
{
    Q_OBJECT

    PrivateBus privateBus;

private slots:
    void armsRearmsAndDisarms()
    {
        NEED_ALARM_TIMERS();
        const Command run = command(WithClock);
        WakeHelper helper(run.program, run.arguments);
        // Left open for the helper to inherit, as a launcher might.
        const int stray = open("/dev/null", O_RDONLY);
        QVERIFY(stray >= 0);
        const qint64 start = QDateTime::currentSecsSinceEpoch();
        qint64 first = 0;
        struct Step
        {
            const char *what;
            qint64 ahead; // 0: off
            QString flags;
        };
        // The kernel keeps showing the last remaining time of an alarm timer after it was disarmed;
        // the disarming call's flags tell it apart.
        const Step steps[] = {{"armed", 1000, "03"},
                              {"re-armed later", 3000, "03"},
                              {"re-armed earlier", 2000, "03"},
                              {"disarmed", 0, "00"},
                              {"armed again", 1500, "03"}};
        for (const Step &step : steps) {
            helper.wakeAt(step.ahead ? std::optional(QDateTime::fromSecsSinceEpoch(start + step.ahead))
                                     : std::nullopt);
            const auto shows = [&] {
                const AlarmTimer timer = alarmTimer(helperProcess());
                return timer.clockId == QLatin1String("8") && timer.flags == step.flags
                    && (!step.ahead || (timer.remaining <= step.ahead && timer.remaining > step.ahead - 120));
            };
            QTRY_VERIFY2_WITH_TIMEOUT(shows(), step.what + QByteArray(": ") + describe(alarmTimer(helperProcess())),
                                      20000);
            if (!first)
                first = helperProcess();
        }
        // One helper told every change.
        QCOMPARE(helperProcess(), first);
        close(stray);
        QCOMPARE(openDescriptors(first).size(), 4);
    }

    // Killed from outside, as the out-of-memory killer does: a new helper holds the same moment.
    void killedHelperIsBackWithTheSameTime()
    {
        NEED_ALARM_TIMERS();
        const Command run = command(WithClock);
        WakeHelper helper(run.program, run.arguments);
        const qint64 moment = QDateTime::currentSecsSinceEpoch() + 1000;
        helper.wakeAt(QDateTime::fromSecsSinceEpoch(moment));
        QTRY_VERIFY_WITH_TIMEOUT(armedFor(alarmTimer(helperProcess()), moment), 20000);
        const qint64 killed = helperProcess();
        QTest::ignoreMessage(QtWarningMsg, "trillora-wake crashed");
        QCOMPARE(kill(pid_t(killed), SIGKILL), 0);
        QTRY_VERIFY2_WITH_TIMEOUT(helperProcess() != killed && armedFor(alarmTimer(helperProcess()), moment),
                                  describe(alarmTimer(helperProcess())), 20000);
    }

    // Stand-ins that note the line they are told and end with a status, as a helper that fails at
    // start would; the gap between restarts is shortened. The times told, when the first stand-ins
    // have ended and after a change to `next` (0: the alarm emptied) and the gap.
    void unexpectedEnds_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("warned");
        QTest::addColumn<QStringList>("first");
        QTest::addColumn<qint64>("next");
        QTest::addColumn<QStringList>("then");

        QTest::newRow("an error: again at once, then after the gap with the newest time")
            << int(WAKE_FAILED) << true << QStringList{"1000", "1000"} << 2000LL << QStringList{"1000", "1000", "2000"};
        QTest::newRow("an error, the alarm emptied in the gap: not again")
            << int(WAKE_FAILED) << true << QStringList{"1000", "1000"} << 0LL << QStringList{"1000", "1000"};
        QTest::newRow("a refused line: not again, but at the next change")
            << int(WAKE_BAD_INPUT) << true << QStringList{"1000"} << 2000LL << QStringList{"1000", "2000"};
        QTest::newRow("no capability: never again, silently")
            << int(WAKE_NOT_PERMITTED) << false << QStringList{"1000"} << 2000LL << QStringList{"1000"};
        QTest::newRow("no real-time clock: never again, silently")
            << int(WAKE_NO_ALARM_CLOCK) << false << QStringList{"1000"} << 2000LL << QStringList{"1000"};
    }

    void unexpectedEnds()
    {
        QFETCH(int, status);
        QFETCH(bool, warned);
        QFETCH(QStringList, first);
        QFETCH(qint64, next);
        QFETCH(QStringList, then);
        // The stand-ins' gap is shorter than the program's (restartWaitsAMinute).
        QTemporaryDir dir;
        const QString told = dir.filePath(QStringLiteral("told"));
        WakeHelper helper(QStringLiteral("sh"),
                          {QStringLiteral("-c"), QStringLiteral("head -n 1 >>\"$0\"; exit $1"), told,
                           QString::number(status)},
                          nullptr, 2000);
        const QByteArray warning = "trillora-wake ended unexpectedly with status " + QByteArray::number(status);
        for (int i = 0; warned && i < then.size(); ++i)
            QTest::ignoreMessage(QtWarningMsg, warning.constData());
        QTest::failOnWarning(QRegularExpression(QStringLiteral("trillora-wake")));

        // Any start again is made as the ended stand-in is reaped: with none left, none comes before
        // the gap is over.
        helper.wakeAt(QDateTime::fromSecsSinceEpoch(1000));
        QTRY_VERIFY2_WITH_TIMEOUT(lines(told) == first && childProcesses().isEmpty(), qPrintable(lines(told).join(' ')),
                                  20000);
        helper.wakeAt(next ? std::optional(QDateTime::fromSecsSinceEpoch(next)) : std::nullopt);
        if (!next) // Nothing comes after the gap: its end is waited for.
            QTRY_VERIFY_WITH_TIMEOUT(!helper.findChild<QTimer *>(QStringLiteral("restart"))->isActive(), 20000);
        QTRY_VERIFY2_WITH_TIMEOUT(lines(told) == then && childProcesses().isEmpty(), qPrintable(lines(told).join(' ')),
                                  20000);
    }

    // The program's own helper, dying at once each time: started again at once, then not before a
    // minute has passed since that start.
    void restartWaitsAMinute()
    {
        for (int i = 0; i < 2; ++i)
            QTest::ignoreMessage(QtWarningMsg, "trillora-wake ended unexpectedly with status 1");
        WakeHelper helper(QStringLiteral("sh"), {QStringLiteral("-c"), QStringLiteral("head -n 1 >/dev/null; exit 1")});
        auto *restart = helper.findChild<QTimer *>(QStringLiteral("restart"));
        helper.wakeAt(QDateTime::fromSecsSinceEpoch(1000));
        QTRY_VERIFY_WITH_TIMEOUT(restart->isActive(), 20000);
        QVERIFY2(restart->remainingTime() > 50000, qPrintable(QString::number(restart->remainingTime())));
    }

    void endsOnEndOfInput()
    {
        NEED_ALARM_TIMERS();
        const Command run = command(WithClock);
        QProcess helper;
        helper.start(run.program, run.arguments);
        QVERIFY(helper.waitForStarted());
        helper.write(QByteArray::number(QDateTime::currentSecsSinceEpoch() + 1000) + '\n');
        QTRY_COMPARE_WITH_TIMEOUT(alarmTimer(helper.processId()).flags, QStringLiteral("03"), 20000);
        helper.closeWriteChannel();
        QVERIFY(helper.waitForFinished(20000));
        QCOMPARE(helper.exitStatus(), QProcess::NormalExit);
        QCOMPARE(helper.exitCode(), int(WAKE_ENDED));
    }

    void endsWhenParentDies()
    {
        NEED_ALARM_TIMERS();
        QTemporaryDir dir;
        const QString input = dir.filePath(QStringLiteral("input"));
        QCOMPARE(mkfifo(QFile::encodeName(input).constData(), 0600), 0);
        // Held open here, so the helper's input never ends: only its parent's death can end it.
        const int writer = open(QFile::encodeName(input).constData(), O_RDWR | O_CLOEXEC);
        QVERIFY(writer >= 0);
        // The shell starts the helper, then waits for a line before it ends.
        QProcess shell;
        shell.start(QStringLiteral("sh"),
                    {QStringLiteral("-c"),
                     QStringLiteral("env LD_PRELOAD=\"$1\" \"$2\" <\"$3\" >/dev/null & echo $!; read line"),
                     QStringLiteral("sh"), QStringLiteral(RTC_PRESENT_SHIM), QStringLiteral(WAKE_HELPER), input});
        QTRY_VERIFY_WITH_TIMEOUT(shell.canReadLine(), 20000);
        const qint64 pid = shell.readLine().trimmed().toLongLong();
        QVERIFY(pid > 0);
        // Its timer made, the helper has long asked to end with its parent.
        QTRY_COMPARE_WITH_TIMEOUT(alarmTimer(pid).clockId, QStringLiteral("8"), 20000);
        shell.write("\n");
        QVERIFY(shell.waitForFinished(20000));
        QTRY_VERIFY_WITH_TIMEOUT(!running(pid), 20000);
        close(writer);
    }

    // A clock change, which is also how a resume shows, fails the next timer read: the helper arms
    // the same moment again and goes on.
    void clockChangeKeepsTheAlarm()
    {
        NEED_ALARM_TIMERS();
        const Command run = command(WithClock, QStringLiteral(CLOCK_SET_SHIM));
        QProcess helper;
        helper.start(run.program, run.arguments);
        QVERIFY(helper.waitForStarted());
        const qint64 moment = QDateTime::currentSecsSinceEpoch() + 1000;
        helper.write(QByteArray::number(moment) + '\n');
        QTRY_VERIFY_WITH_TIMEOUT(armedFor(alarmTimer(helper.processId()), moment), 20000);
        helper.closeWriteChannel();
        QVERIFY(helper.waitForFinished(20000));
        QCOMPARE(helper.exitCode(), int(WAKE_ENDED));
    }

    void descriptors_data()
    {
        QTest::addColumn<QString>("redirections");
        QTest::addColumn<QString>("standIn");
        QTest::addColumn<bool>("input");

        QTest::newRow("an inherited descriptor closed without close_range")
            << QStringLiteral("3</dev/null") << QStringLiteral(NO_CLOSE_RANGE_SHIM) << true;
        QTest::newRow("no error output: the timer is not on 2") << QStringLiteral("2>&-") << QString() << true;
        // Were the timer on 0, the helper would wait on it for input for ever.
        QTest::newRow("no input: ends as at the end of input") << QStringLiteral("<&-") << QString() << false;
    }

    // Whatever descriptors it is started with, the helper holds 0-2 and its timer on 3, nothing else.
    void descriptors()
    {
        QFETCH(QString, redirections);
        QFETCH(QString, standIn);
        QFETCH(bool, input);
        NEED_ALARM_TIMERS();
        const Command run = command(WithClock, standIn);
        QProcess helper;
        const QStringList shell{QStringLiteral("-c"), QStringLiteral("exec \"$@\" ") + redirections,
                                QStringLiteral("sh"), run.program};
        helper.start(QStringLiteral("sh"), shell + run.arguments);
        QVERIFY(helper.waitForStarted());
        if (input) {
            helper.write(QByteArray::number(QDateTime::currentSecsSinceEpoch() + 1000) + '\n');
            QTRY_COMPARE_WITH_TIMEOUT(alarmTimer(helper.processId()).flags, QStringLiteral("03"), 20000);
            QCOMPARE(openDescriptors(helper.processId()), QStringList({"0", "1", "2", "3"}));
            QCOMPARE(alarmTimer(helper.processId()).fd, 3);
            helper.closeWriteChannel();
        }
        QVERIFY(helper.waitForFinished(20000));
        QCOMPARE(helper.exitStatus(), QProcess::NormalExit);
        QCOMPARE(helper.exitCode(), int(WAKE_ENDED));
    }

    void exitStatuses_data()
    {
        QTest::addColumn<int>("run");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("status");

        QTest::newRow("without the capability") << int(WithoutCapability) << QByteArray("off\n") << int(WAKE_NOT_PERMITTED);
        QTest::newRow("without a real-time clock") << int(WithoutClock) << QByteArray("off\n") << int(WAKE_NO_ALARM_CLOCK);
        QTest::newRow("a clock time is not a moment") << int(WithClock) << QByteArray("07:30\n") << int(WAKE_BAD_INPUT);
        QTest::newRow("no sign") << int(WithClock) << QByteArray("-5\n") << int(WAKE_BAD_INPUT);
        QTest::newRow("no leading blank") << int(WithClock) << QByteArray(" 5\n") << int(WAKE_BAD_INPUT);
        QTest::newRow("an empty line is not off") << int(WithClock) << QByteArray("\n") << int(WAKE_BAD_INPUT);
        QTest::newRow("zero would mean off") << int(WithClock) << QByteArray("0\n") << int(WAKE_BAD_INPUT);
        QTest::newRow("too large for the clock") << int(WithClock) << QByteArray("99999999999999999999\n")
                                                 << int(WAKE_BAD_INPUT);
        QTest::newRow("off exactly") << int(WithClock) << QByteArray("off now\n") << int(WAKE_BAD_INPUT);
        QTest::newRow("a line that never ends") << int(WithClock) << QByteArray(200, '1') << int(WAKE_BAD_INPUT);
        QTest::newRow("a bad line after good ones")
            << int(WithClock) << QByteArray("1000\noff\n2000\nx\n") << int(WAKE_BAD_INPUT);
    }

    void exitStatuses()
    {
        QFETCH(int, run);
        QFETCH(QByteArray, input);
        QFETCH(int, status);
        if (run != WithoutCapability)
            NEED_ALARM_TIMERS();
        const Command how = command(Run(run));
        QProcess helper;
        helper.setStandardErrorFile(QProcess::nullDevice());
        helper.start(how.program, how.arguments);
        QVERIFY(helper.waitForStarted());
        // The input stays open: the helper ends by itself or not at all.
        helper.write(input);
        QVERIFY(helper.waitForFinished(20000));
        QCOMPARE(helper.exitStatus(), QProcess::NormalExit);
        QCOMPARE(helper.exitCode(), status);
    }

    void cannotWakeStaysSilent_data()
    {
        QTest::addColumn<int>("run");
        QTest::newRow("without the capability") << int(WithoutCapability);
        QTest::newRow("without a real-time clock") << int(WithoutClock);
        QTest::newRow("helper not installed") << int(NotInstalled);
    }

    void cannotWakeStaysSilent()
    {
        QFETCH(int, run);
        if (run == WithoutClock)
            NEED_ALARM_TIMERS();
        QTemporaryDir dir;
        fake().reset(dir.path());
        const Command how = command(Run(run));
        WakeHelper helper(how.program, how.arguments);
        fake().onWake = [&helper](const std::optional<QDateTime> &when) { helper.wakeAt(when); };
        QTest::failOnWarning(QRegularExpression(QStringLiteral("trillora-wake|QProcess|QIODevice")));
        FrmMain = new TFrmMain;
        FrmMain->Timer1->stop();

        fake().now = QTime(6, 0);
        insert("07", "30");
        // Come and gone: a start again would have begun as its end was taken.
        QTRY_VERIFY_WITH_TIMEOUT(childProcesses().isEmpty(), 20000);
        insert("08", "00");
        fake().now = QTime(7, 30, 0, 200);
        FrmMain->Timer1Timer();

        // The alarm rang by the tick as ever, and the program kept its wake times to itself.
        QCOMPARE(FrmMain->ed1sv1->text(), QStringLiteral("*"));
        QCOMPARE(fake().wakes, QStringList({"2024-01-15T07:30:00+01:00", "2024-01-15T08:00:00+01:00"}));
        QVERIFY(fake().boxes.isEmpty());
        // Nothing started at the second change either (nor waited for since).
        QVERIFY(childProcesses().isEmpty());
        delete FrmMain;
        FrmMain = nullptr;
        fake().onWake = nullptr;
    }

    // A stand-in helper that notes the line it is told and ends with `status`, or, once pkexec has
    // really granted the capability, holds on; found through a link, its file in a folder whose name
    // has a blank and a quote (a blank alone for -2); a stand-in pkexec on the path ending with
    // `pkexec` (below 0: none there); "Consenti" chosen when offered.
    void grant_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("pkexec");
        QTest::addColumn<bool>("grants");
        QTest::addColumn<QString>("actions"); // of the one notice; "-" for no notice
        QTest::addColumn<int>("helpers");     // started in all
        QTest::addColumn<bool>("withdrawn");
        QTest::addColumn<int>("emptied"); // every alarm emptied, then one set: 1 instead of Consenti, 2 after it
        QTest::addColumn<bool>("onDemand"); // the notification service started by the bus with the notice

        QTest::newRow("no capability, an alarm set: one notice with Consenti")
            << int(WAKE_NOT_PERMITTED) << 1 << false << "consenti/Consenti" << 1 << false << 0 << false;
        QTest::newRow("no alarm left: the notice goes, and comes again with the next one")
            << int(WAKE_NOT_PERMITTED) << 1 << false << "consenti/Consenti" << 1 << true << 1 << false;
        QTest::newRow("Consenti granted: setcap as root, a new helper holds the time")
            << int(WAKE_NOT_PERMITTED) << 0 << true << "consenti/Consenti" << 2 << true << 0 << false;
        QTest::newRow("Consenti dismissed: nothing more")
            << int(WAKE_NOT_PERMITTED) << 126 << false << "consenti/Consenti" << 1 << false << 0 << false;
        QTest::newRow("Consenti dismissed, no alarm left, then another: not offered again")
            << int(WAKE_NOT_PERMITTED) << 126 << false << "consenti/Consenti" << 1 << false << 2 << false;
        QTest::newRow("still no capability after the grant: no second notice")
            << int(WAKE_NOT_PERMITTED) << 0 << false << "consenti/Consenti" << 2 << true << 0 << false;
        QTest::newRow("no real-time clock: nothing to grant")
            << int(WAKE_NO_ALARM_CLOCK) << 0 << false << "-" << 1 << false << 0 << false;
        QTest::newRow("no pkexec: the command in the body, quoted for the shell")
            << int(WAKE_NOT_PERMITTED) << -1 << false << "" << 1 << false << 0 << false;
        QTest::newRow("no pkexec, a blank alone in the folder's name: quoted all the same")
            << int(WAKE_NOT_PERMITTED) << -2 << false << "" << 1 << false << 0 << false;
        QTest::newRow("a service the bus starts for the notice: Consenti granted all the same")
            << int(WAKE_NOT_PERMITTED) << 0 << true << "consenti/Consenti" << 2 << true << 0 << true;
    }

    void grant()
    {
        QFETCH(int, status);
        QFETCH(int, pkexec);
        QFETCH(bool, grants);
        QFETCH(QString, actions);
        QFETCH(int, helpers);
        QFETCH(bool, withdrawn);
        QFETCH(int, emptied);
        QFETCH(bool, onDemand);
        if (privateBus.address.isEmpty())
            QVERIFY2(privateBus.start(), "dbus-daemon (package dbus-daemon) is needed");
        Connection server(privateBus.address, QStringLiteral("service"));
        Connection client(privateBus.address, QStringLiteral("client"));
        StandInNotifications notifications;
        const QString started = onDemand ? privateBus.startOnDemand() : QString();
        QVERIFY(onDemand || PrivateBus::serve(server, notifications));
        DesktopNotice notice(client.bus);

        QTemporaryDir dir;
        const QString told = dir.filePath(QStringLiteral("told"));
        const QString file = dir.filePath(QStringLiteral("trillora-wake"));
        const QString folder = pkexec == -2 ? QStringLiteral("a here") : QStringLiteral("it's here");
        QVERIFY(QDir(dir.path()).mkdir(folder));
        QVERIFY(QFile(dir.filePath(folder + QStringLiteral("/trillora-wake"))).open(QIODevice::WriteOnly));
        QVERIFY(QFile::link(folder + QStringLiteral("/trillora-wake"), file));
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("bin")));
        QFile standIn(dir.filePath(QStringLiteral("bin/pkexec")));
        if (pkexec >= 0) {
            QVERIFY(standIn.open(QIODevice::WriteOnly));
            standIn.write(QStringLiteral("#!/bin/sh\nprintf '%s\\n' \"$@\" >>'%1/args'\n%2exit %3\n")
                              .arg(dir.path(), grants ? QStringLiteral(": >'%1.granted'\n").arg(told) : QString())
                              .arg(pkexec)
                              .toUtf8());
            standIn.close();
            QVERIFY(standIn.setPermissions(QFile::ReadOwner | QFile::ExeOwner));
        }
        const auto restore = qScopeGuard([path = qgetenv("PATH")] { qputenv("PATH", path); });
        qputenv("PATH", dir.filePath(QStringLiteral("bin")).toUtf8());
        // The bus daemon is a child of this test too.
        const auto helpersRunning = [&] {
            QStringList running = childProcesses();
            running.removeAll(QString::number(privateBus.daemon.processId()));
            return running.size();
        };
        WakeHelper helper(QStringLiteral("/bin/sh"),
                          {QStringLiteral("-c"),
                           QStringLiteral("/usr/bin/head -n 1 >>\"$0\"; [ -e \"$0.granted\" ] && exec /usr/bin/cat >/dev/null; exit $1"),
                           told,
                           QString::number(status)});
        WakeGrant grant(&helper, file, [&notice]() -> DesktopNotice & { return notice; });
        helper.wakeAt(QDateTime(QDate(2024, 1, 16), QTime(7, 30)));
        QTRY_VERIFY_WITH_TIMEOUT(lines(told).size() == 1 && helpersRunning() == 0, 20000);
        if (onDemand) {
            QTRY_VERIFY(QFile::exists(started));
            QVERIFY(PrivateBus::serve(server, notifications));
        }
        QTest::qWait(300);
        if (emptied != 1 && !notifications.shown.isEmpty() && !actions.isEmpty()) {
            // Twice, as from a service that keeps the notice: the password is asked once all the same.
            emit notifications.ActionInvoked(41, QStringLiteral("consenti"));
            emit notifications.ActionInvoked(41, QStringLiteral("consenti"));
            QTest::qWait(300);
        }
        if (emptied != 0) {
            helper.wakeAt(std::nullopt);
            QTest::qWait(300);
            helper.wakeAt(QDateTime(QDate(2024, 1, 16), QTime(8, 0)));
        }
        QTRY_VERIFY_WITH_TIMEOUT(lines(told).size() == helpers && helpersRunning() == (grants ? 1 : 0), 20000);
        QTest::qWait(300);

        QCOMPARE(notifications.shown,
                 QStringList(actions == QLatin1String("-") ? 0 : emptied == 1 ? 2 : 1,
                             "Trillora non può risvegliare il computer trillora " + actions + " 1 trillora"));
        const QString canonical = QFileInfo(file).canonicalFilePath();
        if (actions == QLatin1String("consenti/Consenti")) {
            QCOMPARE(notifications.bodies.value(0), QString::fromUtf8(
                "Se il computer va in sospensione, la sveglia delle 07.30 non suonerà. «Consenti» chiede una volta la "
                "password di amministratore."));
            QCOMPARE(lines(dir.filePath(QStringLiteral("args"))),
                     emptied == 1 ? QStringList() : QStringList({"/usr/sbin/setcap", "cap_wake_alarm+ep", canonical}));
        } else if (actions.isEmpty()) {
            QVERIFY2(notifications.bodies.value(0).endsWith(" sudo setcap cap_wake_alarm+ep '"
                                                             + QString(canonical).replace("'", "'\\''") + "'"),
                     qPrintable(notifications.bodies.value(0)));
        }
        QCOMPARE(notifications.closed, withdrawn ? QList<uint> {41} : QList<uint>());
    }
};

TRILLORA_TEST_MAIN(TestWakeHelper)
#include "tst_wake_helper.moc"
