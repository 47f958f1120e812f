// The local time of day: one zone conversion a second, the milliseconds added to it.
#include "linux/LocalClock.h"

#include <QFile>
#include <QTest>

#include <sched.h>
#include <sys/wait.h>
#include <unistd.h>

class TestLocalClock : public QObject
{
    Q_OBJECT

private slots:
    void at_data()
    {
        QTest::addColumn<QList<qint64>>("moments");
        QTest::addColumn<QStringList>("times");
        QTest::addColumn<int>("conversions");

        QTest::newRow("within one second the zone is read once")
            << QList<qint64> {1000, 1400, 1999} << QStringList {"02:00:01.000", "02:00:01.400", "02:00:01.999"} << 1;
        QTest::newRow("each new second is converted afresh")
            << QList<qint64> {1999, 2000, 2400} << QStringList {"02:00:01.999", "02:00:02.000", "02:00:02.400"} << 2;
        QTest::newRow("a change of the zone's offset shows from its second on")
            << QList<qint64> {9999, 10000} << QStringList {"02:00:09.999", "03:00:10.000"} << 2;
        QTest::newRow("a clock set back is converted again")
            << QList<qint64> {5300, 3300} << QStringList {"02:00:05.300", "02:00:03.300"} << 2;
        QTest::newRow("before 1970 the milliseconds still count forward")
            << QList<qint64> {-1, -1000} << QStringList {"01:59:59.999", "01:59:59.000"} << 1;
    }

    void at()
    {
        QFETCH(QList<qint64>, moments);
        QFETCH(QStringList, times);
        QFETCH(int, conversions);
        int calls = 0;
        // A zone two hours ahead that moves to three hours at the tenth second.
        LocalClock ora([&calls](qint64 s) {
            ++calls;
            return QTime(0, 0).addSecs(static_cast<int>(s + (s >= 10 ? 3 : 2) * 3600));
        });
        QStringList seen;
        for (qint64 ms : moments)
            seen << ora.at(ms).toString(QStringLiteral("HH:mm:ss.zzz"));
        QCOMPARE(seen, times);
        QCOMPARE(calls, conversions);
    }

    // What the boot clock counts beyond the monotonic one: never more than the time since the start,
    // which is the kernel's own uptime, sleep included.
    void timeAsleep()
    {
        for (int i = 0; i < 100000; ++i)
            QVERIFY2(LocalClock::msecsAsleep() >= 0, "asleep for less than nothing");
        QFile uptime(QStringLiteral("/proc/uptime"));
        QVERIFY(uptime.open(QIODevice::ReadOnly));
        const qint64 kernel = qRound64(uptime.readAll().split(' ').first().toDouble() * 1000);
        const qint64 sinceBoot = LocalClock::msecsSinceBoot();
        QVERIFY2(qAbs(sinceBoot - kernel) < 1000, qPrintable(QStringLiteral("%1 against %2").arg(sinceBoot).arg(kernel)));
        QVERIFY(LocalClock::msecsAsleep() <= sinceBoot);
        // In a time namespace whose boot clock is an hour ahead of its monotonic one, as after an
        // hour asleep (its clocks hold for the processes started in it).
        if (::unshare(CLONE_NEWTIME) != 0)
            QSKIP("no time namespace here to stand for a sleep");
        QFile offsets(QStringLiteral("/proc/self/timens_offsets"));
        QVERIFY(offsets.open(QIODevice::WriteOnly) && offsets.write("boottime 3600 0\n") > 0);
        offsets.close();
        const pid_t child = ::fork();
        if (child == 0)
            ::_exit(LocalClock::msecsAsleep() >= 3600000 ? 0 : 1);
        int status = 1;
        QVERIFY(::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
};

QTEST_GUILESS_MAIN(TestLocalClock)
#include "tst_local_clock.moc"
