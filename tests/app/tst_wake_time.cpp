// The next wake time: the table of slots and moments, and what the main window tells the platform;
// alarms whose minute the clock passed between two ticks.
#include "MainWindowFixture.h"
#include "TestMain.h"
#include "app/WakeTime.h"

#include <QFile>
#include <QLineEdit>
#include <QTimeZone>
#include <QTimer>
#include <QToolButton>

namespace {

const QTimeZone rome("Europe/Rome");

// "07.30 *.* 7.30" as the slots' hour and minute texts.
QList<Sveglie::TestiSlot> slotTexts(const QString &table)
{
    QList<Sveglie::TestiSlot> texts;
    for (const QString &pair : table.split(QLatin1Char(' '))) {
        const int point = pair.indexOf(QLatin1Char('.'));
        texts.append({pair.left(point), pair.mid(point + 1)});
    }
    return texts;
}

// A moment given with its offset, as Rome's clock shows it.
QDateTime inRome(const QString &iso)
{
    return QDateTime::fromString(iso, Qt::ISODateWithMs).toTimeZone(rome);
}

void setSlots(const QString &table)
{
    const QList<Sveglie::TestiSlot> texts = slotTexts(table);
    QLineEdit *const fields[][2] = {{FrmMain->ed1sv1, FrmMain->Ed1sv2}, {FrmMain->Ed2sv1, FrmMain->ED2sv2},
                                    {FrmMain->Ed3sv1, FrmMain->ed3sv2}, {FrmMain->ed4sv1, FrmMain->ed4sv2},
                                    {FrmMain->ed5sv1, FrmMain->ed5sv2}};
    for (int i = 0; i < 5; ++i) {
        fields[i][0]->setText(texts[i].first);
        fields[i][1]->setText(texts[i].second);
    }
}

// An ISO moment, as Rome's clock shows it or, after a zone's name and a blank, as that zone's does.
void setClock(const QString &moment)
{
    const QStringList parts = moment.split(QLatin1Char(' '));
    fake().zone = parts.size() > 1 ? QTimeZone(parts[0].toLatin1()) : rome;
    const QDateTime local = QDateTime::fromString(parts.last(), Qt::ISODateWithMs).toTimeZone(fake().zone);
    fake().today = local.date();
    fake().now = local.time();
}

} // namespace

class TestWakeTime : public QObject
{
    Q_OBJECT

private slots:
    void nextWake_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("now");
        QTest::addColumn<QString>("wake");

        QTest::newRow("later today") << "07.30" << "2024-01-15T06:00:00+01:00" << "2024-01-15T07:30:00+01:00";
        QTest::newRow("passed today goes to tomorrow")
            << "07.30" << "2024-01-15T08:00:00+01:00" << "2024-01-16T07:30:00+01:00";
        QTest::newRow("last instant before the minute is still ahead")
            << "07.30" << "2024-01-15T07:29:59.999+01:00" << "2024-01-15T07:30:00+01:00";
        QTest::newRow("start of its own minute is not ahead")
            << "07.30" << "2024-01-15T07:30:00+01:00" << "2024-01-16T07:30:00+01:00";
        QTest::newRow("end of its own minute is not ahead")
            << "07.30" << "2024-01-15T07:30:59.999+01:00" << "2024-01-16T07:30:00+01:00";
        QTest::newRow("midnight across midnight")
            << "00.00" << "2024-01-15T23:59:30+01:00" << "2024-01-16T00:00:00+01:00";
        QTest::newRow("across the year's end")
            << "00.15" << "2024-12-31T23:00:00+01:00" << "2025-01-01T00:15:00+01:00";
        QTest::newRow("earliest of several, not the first slot")
            << "07.30 13.00 12.30 *.* *.*" << "2024-01-15T12:00:00+01:00" << "2024-01-15T12:30:00+01:00";
        QTest::newRow("today's later slot beats tomorrow's earlier one")
            << "06.00 22.00" << "2024-01-15T12:00:00+01:00" << "2024-01-15T22:00:00+01:00";
        QTest::newRow("all passed today: tomorrow's earliest")
            << "07.30 06.15 22.00" << "2024-01-15T23:00:00+01:00" << "2024-01-16T06:15:00+01:00";
        QTest::newRow("all free") << "*.* *.* *.* *.* *.*" << "2024-01-15T06:00:00+01:00" << "none";
        QTest::newRow("texts the clock never shows")
            << "7.30 24.00 12.60 +7.30 07.3 *.30 07.* ab.cd 07.30.00" << "2024-01-15T06:00:00+01:00" << "none";
        QTest::newRow("a slot that never fires does not hide one that does")
            << "7.30 08.00" << "2024-01-15T06:00:00+01:00" << "2024-01-15T08:00:00+01:00";
        QTest::newRow("summer time keeps its offset")
            << "07.30" << "2024-07-01T06:00:00+02:00" << "2024-07-01T07:30:00+02:00";
        // Rome: on 2024-03-31 the clocks go from 02:00 to 03:00, on 2024-10-27 from 03:00 back to 02:00.
        QTest::newRow("spring: a skipped minute moves to the next day")
            << "02.30" << "2024-03-31T01:00:00+01:00" << "2024-04-01T02:30:00+02:00";
        QTest::newRow("spring: skipped tomorrow, so the day after")
            << "02.30" << "2024-03-30T03:00:00+01:00" << "2024-04-01T02:30:00+02:00";
        QTest::newRow("spring: the last minute before the gap")
            << "01.59" << "2024-03-31T01:00:00+01:00" << "2024-03-31T01:59:00+01:00";
        QTest::newRow("spring: the first minute after the gap")
            << "03.00" << "2024-03-31T01:00:00+01:00" << "2024-03-31T03:00:00+02:00";
        QTest::newRow("autumn: a doubled minute takes the first")
            << "02.30" << "2024-10-27T01:00:00+02:00" << "2024-10-27T02:30:00+02:00";
        QTest::newRow("autumn: within the first, the second is next")
            << "02.30" << "2024-10-27T02:30:20+02:00" << "2024-10-27T02:30:00+01:00";
        QTest::newRow("autumn: between the two, the second is next")
            << "02.30" << "2024-10-27T02:10:00+01:00" << "2024-10-27T02:30:00+01:00";
        QTest::newRow("autumn: after both, the next day")
            << "02.30" << "2024-10-27T02:45:00+01:00" << "2024-10-28T02:30:00+01:00";
        QTest::newRow("autumn: the day's later minutes are an hour further")
            << "09.00" << "2024-10-27T01:00:00+02:00" << "2024-10-27T09:00:00+01:00";
    }

    void nextWake()
    {
        QFETCH(QString, table);
        QFETCH(QString, now);
        QFETCH(QString, wake);
        const std::optional<QDateTime> next = Sveglie::prossimoRisveglio(slotTexts(table), inRome(now));
        QCOMPARE(next ? next->toString(Qt::ISODate) : QStringLiteral("none"), wake);
    }

    void mainWindowTells_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("at");
        QTest::addColumn<QStringList>("told");

        const QString six = QStringLiteral("2024-01-15T06:00:00+01:00");
        const QString free = QStringLiteral("*.* *.* *.* *.* *.*");
        QTest::newRow("insert into empty slots")
            << free << six << "insert 07 30" << six << QStringList {"2024-01-15T07:30:00+01:00"};
        QTest::newRow("insert a time passed today: tomorrow")
            << free << six << "insert 05 45" << six << QStringList {"2024-01-16T05:45:00+01:00"};
        QTest::newRow("insert an earlier alarm")
            << "07.30 *.* *.* *.* *.*" << six << "insert 06 45" << six << QStringList {"2024-01-15T06:45:00+01:00"};
        QTest::newRow("insert a later alarm: nothing new")
            << "07.30 *.* *.* *.* *.*" << six << "insert 09 00" << six << QStringList {};
        QTest::newRow("a refused insert: nothing new")
            << "07.30 *.* *.* *.* *.*" << six << "insert 24 00" << six << QStringList {};
        QTest::newRow("delete the earliest: the next one")
            << "07.30 09.00 *.* *.* *.*" << six << "delete 1" << six << QStringList {"2024-01-15T09:00:00+01:00"};
        QTest::newRow("delete a later one: nothing new")
            << "07.30 09.00 *.* *.* *.*" << six << "delete 2" << six << QStringList {};
        QTest::newRow("delete the only one: off")
            << "*.* *.* 07.30 *.* *.*" << six << "delete 3" << six << QStringList {"off"};
        QTest::newRow("load: one time for the whole file")
            << free << six << "load 22 05 07 30 * * * * * *" << six << QStringList {"2024-01-15T07:30:00+01:00"};
        QTest::newRow("load a file of free slots: off")
            << "07.30 *.* *.* *.* *.*" << six << "load * * * * * * * * * *" << six << QStringList {"off"};
        QTest::newRow("fire: the next alarm")
            << "07.30 09.00 *.* *.* *.*" << six << "tick" << "2024-01-15T07:30:00.200+01:00"
            << QStringList {"2024-01-15T09:00:00+01:00"};
        QTest::newRow("fire the only one: off")
            << "07.30 *.* *.* *.* *.*" << six << "tick" << "2024-01-15T07:30:00.200+01:00" << QStringList {"off"};
        QTest::newRow("a tick that changes nothing: nothing new")
            << "07.30 *.* *.* *.* *.*" << six << "tick" << "2024-01-15T06:00:00.400+01:00" << QStringList {};
        QTest::newRow("the day turning over: the same moment, nothing new")
            << "07.30 *.* *.* *.* *.*" << "2024-01-15T23:59:59.800+01:00" << "tick" << "2024-01-16T00:00:00.200+01:00"
            << QStringList {};
        QTest::newRow("resumed after the minute passed asleep: tomorrow")
            << "07.30 *.* *.* *.* *.*" << six << "tick" << "2024-01-15T08:10:00+01:00"
            << QStringList {"2024-01-16T07:30:00+01:00"};
        QTest::newRow("the time zone changed: the same clock time at another moment")
            << "07.30 *.* *.* *.* *.*" << six << "tick" << "Europe/London 2024-01-15T06:00:00.400+01:00"
            << QStringList {"2024-01-15T07:30:00+00:00"};
        QTest::newRow("clock set back before the minute: today again")
            << "07.30 *.* *.* *.* *.*" << "2024-01-15T08:00:00+01:00" << "tick" << "2024-01-15T07:00:00+01:00"
            << QStringList {"2024-01-15T07:30:00+01:00"};
    }

    void mainWindowTells()
    {
        QFETCH(QString, table);
        QFETCH(QString, before);
        QFETCH(QString, action);
        QFETCH(QString, at);
        QFETCH(QStringList, told);
        MainWindowFixture f;
        FrmMain->Timer1->stop();
        setSlots(table);
        setClock(before);
        FrmMain->Timer1Timer();
        fake().wakes.clear();

        setClock(at);
        const QStringList words = action.split(QLatin1Char(' '));
        if (words[0] == QLatin1String("insert")) {
            FrmMain->Edsveglia1->setText(words[1]);
            FrmMain->EDSveglia2->setText(words[2]);
            FrmMain->sbConferma->click();
        } else if (words[0] == QLatin1String("delete")) {
            FrmMain->TimerEliminaTimer();
            QToolButton *const cancels[] = {FrmMain->sbCanc1, FrmMain->sbCanc2, FrmMain->sbCanc3, FrmMain->SbCanc4,
                                            FrmMain->SbCanc5};
            cancels[words[1].toInt() - 1]->click();
        } else if (words[0] == QLatin1String("load")) {
            QFile file(f.file(QStringLiteral("sveglia.imptqz")));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(words.mid(1).join(QStringLiteral("\r\n")).toLatin1() + "\r\nCasse\r\nMaggiore\r\n");
            file.close();
            FrmMain->sbLoad->setEnabled(true);
            FrmMain->sbLoad->click();
        } else {
            FrmMain->Timer1Timer();
        }
        QCOMPARE(fake().wakes, told);
    }

    // The slots (slot 1 at 07.30), a tick at 07:29:59 on the 15th (or at FIRST of "FIRST|AT"), then one
    // `at`, the computer having spent `passed` ms meanwhile, `asleep` of them asleep; then "Elimina"
    // chosen on the notice, a tick at `then`, or, for "SLOT@MOMENT", a tick at rest, slot 1 set to SLOT and a tick at MOMENT.
    void missedAlarm_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("at");
        QTest::addColumn<qint64>("asleep");
        QTest::addColumn<qint64>("passed");
        QTest::addColumn<QString>("then");
        QTest::addColumn<QStringList>("missed");
        QTest::addColumn<QString>("hour"); // slot 1's at the end

        const QString told = "%2 Sveglia delle %3 non suonata: %1: la sveglia resta impostata e suonerà alle %3 di domani.";
        const QString slept = told.arg("Il computer era sospeso", "1", "07.30");
        const QString moved = told.arg(QString::fromUtf8("L'orologio è stato spostato in avanti"), "1", "07.30");
        const QString one = QStringLiteral("07.30 *.* *.* *.* *.*"), two = QStringLiteral("07.30 09.00 *.* *.* *.*");
        const QString after = QStringLiteral("2024-01-15T07:31:00+01:00");
        const qint64 minute = 61000;
        QTest::newRow("slept over its minute: told, slot kept") << one << after << minute << minute << "" << QStringList {slept} << "07";
        QTest::newRow("clock set forward over it: told so") << two << after << 0LL << 0LL << "" << QStringList {moved} << "07";
        QTest::newRow("the program stood still over it: told so") << one << after << 0LL << minute << ""
            << QStringList {told.arg(QString::fromUtf8("Trillora è rimasto fermo"), "1", "07.30")} << "07";
        QTest::newRow("a zone an hour ahead skips it: told as a clock set forward")
            << one << "Europe/Helsinki 2024-01-15T07:30:00.400+01:00" << 0LL << 400LL << "" << QStringList {moved} << "07";
        QTest::newRow("slept, then the clock set forward: each told as it was")
            << two << "2024-01-15T08:10:00+01:00" << 2400000LL << 2400000LL << "2024-01-15T09:01:00+01:00"
            << QStringList {slept, told.arg(QString::fromUtf8("L'orologio è stato spostato in avanti"), "2", "09.00")} << "07";
        QTest::newRow("Elimina empties it, the last one set") << one << after << minute << minute << "elimina"
                                                              << QStringList {slept, "1 withdrawn"} << "*";
        QTest::newRow("Elimina empties it, another one set") << two << after << minute << minute << "elimina"
                                                             << QStringList {slept, "1 withdrawn"} << "*";
        QTest::newRow("a jump inside the minute: rings, nothing told")
            << one << "2024-01-15T07:30:59+01:00" << 60000LL << 60000LL << "" << QStringList {} << "*";
        QTest::newRow("a jump into the minute of two same alarms: both ring, nothing told") << "07.30 07.30 *.* *.* *.*"
            << "2024-01-15T07:30:59.500+01:00" << 0LL << 0LL << "2024-01-15T07:30:59.900+01:00" << QStringList {} << "*";
        QTest::newRow("slept past midnight: rings today") << one << "2024-01-16T06:00:00+01:00" << 81001000LL
            << 81001000LL << "" << QStringList {QString(slept).replace("domani", "oggi")} << "07";
        QTest::newRow("slept 30 minutes across the spring change: told as asleep")
            << "03.10 *.* *.* *.* *.*" << "2024-03-31T01:50:00+01:00|2024-03-31T03:20:00+02:00" << 1800000LL
            << 1800000LL << "" << QStringList {told.arg("Il computer era sospeso", "1", "03.10")} << "03";
        QTest::newRow("the spring change alone skips it: told as a clock set forward")
            << "02.30 *.* *.* *.* *.*" << "2024-03-31T01:59:59.800+01:00|2024-03-31T03:00:00.200+02:00" << 0LL << 400LL
            << "" << QStringList {told.arg(QString::fromUtf8("L'orologio è stato spostato in avanti"), "1", "02.30")} << "02";
        QTest::newRow("a jump backwards: nothing") << two << "2024-01-15T07:00:00+01:00" << 0LL << 0LL << "" << QStringList {} << "07";
        QTest::newRow("rung the next day: withdrawn") << one << after << minute << minute << "2024-01-16T07:30:00.200+01:00"
                                                      << QStringList {slept, "1 withdrawn"} << "*";
        QTest::newRow("rung, every slot empty an hour, one set: judged from then on") << one << "2024-01-15T07:30:00.200+01:00"
            << 0LL << 0LL << "08.00@2024-01-15T09:00:00+01:00" << QStringList {} << "08";
    }

    void missedAlarm()
    {
        QFETCH(QString, table);
        QFETCH(QString, at);
        QFETCH(qint64, asleep);
        QFETCH(qint64, passed);
        QFETCH(QString, then);
        QFETCH(QStringList, missed);
        QFETCH(QString, hour);
        MainWindowFixture f;
        FrmMain->Timer1->stop();
        setSlots(table);
        const QStringList looks = at.split(QLatin1Char('|'));
        setClock(looks.size() > 1 ? looks.first() : QStringLiteral("2024-01-15T07:29:59+01:00"));
        FrmMain->Timer1Timer();
        setClock(looks.last());
        fake().asleepMs = asleep;
        fake().sinceBootMs = passed;
        FrmMain->Timer1Timer();
        if (then == QLatin1String("elimina")) {
            fake().onDeleteMissed.at(1)();
        } else if (then.contains(QLatin1Char('@'))) {
            FrmMain->Timer1Timer();
            const QStringList set = then.split(QLatin1Char('@'));
            FrmMain->ed1sv1->setText(set[0].left(2));
            FrmMain->Ed1sv2->setText(set[0].right(2));
            setClock(set[1]);
            FrmMain->Timer1Timer();
        } else if (!then.isEmpty()) {
            setClock(then);
            FrmMain->Timer1Timer();
        }
        QCOMPARE(fake().missed, missed);
        QCOMPARE(FrmMain->ed1sv1->text(), hour);
    }
};

TRILLORA_TEST_MAIN(TestWakeTime)
#include "tst_wake_time.moc"
