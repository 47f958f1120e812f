// The clock tick: the clock text, the slot that fires, one slot per tick, the ringing window shown.
#include "RingingFixture.h"
#include "TestMain.h"

class TestTrigger : public QObject
{
    Q_OBJECT

    // Slots 1 to 5 as "07.30 *.* *.* *.* *.*".
    static void impostaSlot(const QString &table)
    {
        const QStringList pairs = table.split(QLatin1Char(' '));
        for (int i = 1; i <= 5; ++i) {
            const QStringList pair = pairs[i - 1].split(QLatin1Char('.'));
            RingingFixture::slotCampi(i).first->setText(pair[0]);
            RingingFixture::slotCampi(i).second->setText(pair[1]);
        }
    }

    static QString leggiSlot()
    {
        QStringList pairs;
        for (int i = 1; i <= 5; ++i)
            pairs << RingingFixture::slotCampi(i).first->text() + '.' + RingingFixture::slotCampi(i).second->text();
        return pairs.join(QLatin1Char(' '));
    }

private slots:
    void ticks_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QStringList>("ticks");
        // After each tick: "ring" or "quiet", then the five slots.
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<QString>("clock");

        const QString free = QStringLiteral("*.* *.* *.* *.* *.*");
        QTest::newRow("one second before the minute nothing happens")
            << "07.30 *.* *.* *.* *.*" << QStringList {"07:29:59"} << QStringList {"quiet 07.30 *.* *.* *.* *.*"}
            << "07.29.59";
        QTest::newRow("first tick of the minute rings and frees the slot, later ticks do not")
            << "07.30 *.* *.* *.* *.*" << QStringList {"07:30:00", "07:30:00.400", "07:30:30"}
            << QStringList {"ring " + free, "quiet " + free, "quiet " + free} << "07.30.30";
        QTest::newRow("midnight rings 00.00")
            << "00.00 *.* *.* *.* *.*" << QStringList {"23:59:59.800", "00:00:00"}
            << QStringList {"quiet 00.00 *.* *.* *.* *.*", "ring " + free} << "00.00.00";
        QTest::newRow("same time in two slots rings on two ticks, lower slot first")
            << "*.* 07.30 06.00 07.30 *.*" << QStringList {"07:30:00", "07:30:00.400", "07:30:00.800"}
            << QStringList {"ring *.* *.* 06.00 07.30 *.*", "ring *.* *.* 06.00 *.* *.*", "quiet *.* *.* 06.00 *.* *.*"}
            << "07.30.00";
        QTest::newRow("a later slot rings when the earlier ones do not match")
            << "08.00 09.15 *.* *.* 10.45" << QStringList {"10:45:10"} << QStringList {"ring 08.00 09.15 *.* *.* *.*"}
            << "10.45.10";
        QTest::newRow("a one-character hour never rings")
            << "7.30 *.* *.* *.* *.*" << QStringList {"07:30:00", "17:30:00"}
            << QStringList {"quiet 7.30 *.* *.* *.* *.*", "quiet 7.30 *.* *.* *.* *.*"} << "17.30.00";
        QTest::newRow("a one-digit hour is shown padded")
            << free << QStringList {"08:05:09"} << QStringList {"quiet " + free} << "08.05.09";
        QTest::newRow("afternoon hours are on the 24-hour clock")
            << "19.05 *.* *.* *.* *.*" << QStringList {"07:05:00", "19:05:00"}
            << QStringList {"quiet 19.05 *.* *.* *.* *.*", "ring " + free} << "19.05.00";
        // The clock jumping: suspend and resume, a manual change, daylight saving. A slot rings at most
        // once per visit of its minute, and only when a tick falls in it.
        const QString set = QStringLiteral("07.30 *.* *.* *.* *.*");
        QTest::newRow("jump forward over the minute: no ring, the slot stays")
            << set << QStringList {"07:29:59", "07:31:00"} << QStringList {"quiet " + set, "quiet " + set} << "07.31.00";
        QTest::newRow("skipped minute rings when the clock next reaches it")
            << set << QStringList {"07:29:59", "08:00:00", "07:30:00"}
            << QStringList {"quiet " + set, "quiet " + set, "ring " + free} << "07.30.00";
        QTest::newRow("jump landing inside the minute rings")
            << set << QStringList {"06:00:00", "07:30:45"} << QStringList {"quiet " + set, "ring " + free} << "07.30.45";
        QTest::newRow("jump back into the minute after it rang: no second ring")
            << set << QStringList {"07:30:00", "07:31:00", "07:30:10"}
            << QStringList {"ring " + free, "quiet " + free, "quiet " + free} << "07.30.10";
        QTest::newRow("jump back to before the minute before it rang: rings once when it comes")
            << set << QStringList {"07:20:00", "07:10:00", "07:30:00", "07:30:00.400"}
            << QStringList {"quiet " + set, "quiet " + set, "ring " + free, "quiet " + free} << "07.30.00";
        const QString dst = QStringLiteral("02.30 *.* *.* *.* *.*");
        QTest::newRow("daylight saving ends: the repeated hour rings only the first time")
            << dst << QStringList {"02:30:00", "02:59:59.600", "02:00:00", "02:30:00"}
            << QStringList {"ring " + free, "quiet " + free, "quiet " + free, "quiet " + free} << "02.30.00";
        QTest::newRow("daylight saving begins: the missing hour does not ring")
            << dst << QStringList {"01:59:59.600", "03:00:00", "03:30:00"}
            << QStringList {"quiet " + dst, "quiet " + dst, "quiet " + dst} << "03.30.00";
        QTest::newRow("tick repeated after a step back: two slots of the same minute ring once each")
            << "07.30 07.30 *.* *.* *.*" << QStringList {"07:30:00.400", "07:30:00", "07:30:00.400"}
            << QStringList {"ring *.* 07.30 *.* *.* *.*", "ring " + free, "quiet " + free} << "07.30.00";
    }

    void ticks()
    {
        QFETCH(QString, table);
        QFETCH(QStringList, ticks);
        QFETCH(QStringList, after);
        QFETCH(QString, clock);
        RingingFixture f;
        impostaSlot(table);
        for (int i = 0; i < ticks.size(); ++i) {
            fake().now = QTime::fromString(ticks[i], ticks[i].size() > 8 ? "HH:mm:ss.zzz" : "HH:mm:ss");
            FrmMain->Timer1Timer();
            QCOMPARE((FrmSveglia->isVisible() ? "ring " : "quiet ") + leggiSlot(), after[i]);
            FrmSveglia->hide();
        }
        QCOMPARE(FrmMain->EdOrologio->text(), clock);
    }

    void insertedDuringItsOwnMinuteRingsAtNextTick()
    {
        RingingFixture f;
        fake().now = QTime(7, 30, 10);
        FrmMain->Edsveglia1->setText(QStringLiteral("07"));
        FrmMain->EDSveglia2->setText(QStringLiteral("30"));
        FrmMain->sbConfermaClick();
        fake().now = QTime(7, 30, 10, 400);
        FrmMain->Timer1Timer();
        QVERIFY(FrmSveglia->isVisible());
        QCOMPARE(leggiSlot(), QStringLiteral("*.* *.* *.* *.* *.*"));
    }
};

TRILLORA_TEST_MAIN(TestTrigger)
#include "tst_trigger.moc"
