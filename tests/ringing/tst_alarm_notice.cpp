// The alarm's desktop notification, end to end: the ringing window, the D-Bus client and a stand-in
// notification service on a private bus of the test's own.
#include "RingingFixture.h"
#include "TestMain.h"
#include "WindowSystem.h"

#include "NotificationService.h"

#include <QThread>

class TestAlarmNotice : public QObject
{
    Q_OBJECT

    PrivateBus privateBus;

private slots:
    void initTestCase() { QVERIFY2(privateBus.start(), "dbus-daemon (package dbus-daemon) is needed"); }

    void notifiesAnUnseenAlarm_data()
    {
        QTest::addColumn<int>("focusAfterMs"); // -1: never; -2: given while a pattern holds the loop
        QTest::addColumn<bool>("service");
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("noticed");
        QTest::addColumn<bool>("closedByAction");

        QTest::newRow("unseen: Chiudi closes the window, the notice goes") << -1 << true << "chiudi" << true << true;
        QTest::newRow("unseen: a click on the notice leaves the window") << -1 << true << "default" << true << false;
        QTest::newRow("focused at once: nothing posted") << 0 << true << "" << false << false;
        QTest::newRow("focused within the second: nothing posted") << 500 << true << "" << false << false;
        QTest::newRow("focused while the loop was held: nothing posted") << -2 << true << "" << false << false;
        QTest::newRow("no service: nothing shown, nothing fails") << -1 << false << "" << false << false;
    }

    void notifiesAnUnseenAlarm()
    {
        QFETCH(int, focusAfterMs);
        QFETCH(bool, service);
        QFETCH(QString, action);
        QFETCH(bool, noticed);
        QFETCH(bool, closedByAction);
        Connection server(privateBus.address, QStringLiteral("service"));
        Connection client(privateBus.address, QStringLiteral("client"));
        StandInNotifications notifications;
        if (service)
            QVERIFY(PrivateBus::serve(server, notifications));
        DesktopNotice notice(client.bus);
        // Made after the notice, so that its windows go first.
        RingingFixture f;
        fake().noticeService = &notice;
        QVERIFY(f.mostraPrincipale());
        const auto activations = f.scattaAltrove(focusAfterMs, 3200);
        if (focusAfterMs == -2) {
            // The focus comes, but the program sees it only after a long pattern.
            activations->queue(FrmSveglia->windowHandle());
            QThread::msleep(1200);
        }
        QTest::qWait(1500);
        QCOMPARE(notifications.shown,
                 noticed ? QStringList {"Sveglia delle 12.00 trillora chiudi/Chiudi 2 trillora"} : QStringList());
        emit notifications.ActionInvoked(41, action);
        QTest::qWait(300);
        QCOMPARE(FrmSveglia->isVisible(), !closedByAction);
        QTRY_VERIFY(!FrmSveglia->isVisible());
        QTRY_COMPARE(notifications.closed, noticed ? QList<uint> {41} : QList<uint>());
        QVERIFY(fake().boxes.isEmpty());
    }
};

TRILLORA_TEST_MAIN(TestAlarmNotice)
#include "tst_alarm_notice.moc"
