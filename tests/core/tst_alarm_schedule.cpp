// The comparison of a slot with the clock, as texts.
#include "core/AlarmSchedule.h"

#include <QTest>

class TestAlarmSchedule : public QObject
{
    Q_OBJECT

private slots:
    void chiaviUguali_data()
    {
        QTest::addColumn<QString>("clock");
        QTest::addColumn<QString>("hour");
        QTest::addColumn<QString>("minute");
        QTest::addColumn<bool>("equal");

        QTest::newRow("same hour and minute, any second") << "07.30.59" << "07" << "30" << true;
        QTest::newRow("midnight") << "00.00.00" << "00" << "00" << true;
        QTest::newRow("another minute") << "07.31.00" << "07" << "30" << false;
        QTest::newRow("another hour") << "17.30.00" << "07" << "30" << false;
        QTest::newRow("one-character hour") << "07.30.00" << "7" << "30" << false;
        QTest::newRow("one-character minute") << "07.03.00" << "07" << "3" << false;
        QTest::newRow("point moved into the hour") << "07.30.00" << "07.3" << "0" << false;
        QTest::newRow("point moved into the minute") << "07.30.00" << "0" << "7.30" << false;
        QTest::newRow("whole key in the hour") << "07.30.00" << "07.30" << "" << false;
        // Of the key's length, so only the "." between them tells these from the clock's key.
        QTest::newRow("point leading the minute") << "07.30.00" << "0" << ".30" << false;
        QTest::newRow("point ending the hour") << "07.30.00" << "07." << "0" << false;
        QTest::newRow("free slot") << "07.30.00" << "*" << "*" << false;
        QTest::newRow("seconds are not part of the key") << "07.30.15" << "07" << "30.15" << false;
        QTest::newRow("empty clock text") << "" << "" << "" << false;
    }

    void chiaviUguali()
    {
        QFETCH(QString, clock);
        QFETCH(QString, hour);
        QFETCH(QString, minute);
        QFETCH(bool, equal);
        QCOMPARE(Sveglie::chiaviUguali(clock, hour, minute), equal);
    }
};

QTEST_GUILESS_MAIN(TestAlarmSchedule)
#include "tst_alarm_schedule.moc"
