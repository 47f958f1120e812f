// The alarm's desktop notification, end to end: the ringing window, the D-Bus client and a stand-in
// notification service on a private bus of the test's own.
#include "RingingFixture.h"
#include "TestMain.h"
#include "WindowSystem.h"

#include "NotificationService.h"
#include "linux/LinuxPlatform.h"

#include <QElapsedTimer>
#include <QFile>
#include <QIcon>
#include <QTemporaryDir>
#include <QThread>
#include <memory>

class TestAlarmNotice : public QObject
{
    Q_OBJECT

    PrivateBus privateBus;

private slots:
    void initTestCase()
    {
        QVERIFY2(privateBus.start(), "dbus-daemon (package dbus-daemon) is needed");
        // The program's own session bus, for the seam's notices, is this one.
        qputenv("DBUS_SESSION_BUS_ADDRESS", privateBus.address.toUtf8());
    }

    void notifiesAnUnseenAlarm_data()
    {
        QTest::addColumn<int>("focusAfterMs"); // -1: never; -2: given while the loop is held; -3: the loop held, never
        QTest::addColumn<bool>("service");
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("noticed");
        QTest::addColumn<bool>("closedByAction");
        // "again": once focused, another program takes the focus and a second alarm shows the window
        // again; "reshown": the same after a close; "twice": closed unseen and shown again; "mute":
        // the bell stands in for the sound; "wm": the window manager's record names another window;
        // "long": a pattern of 2.5 s, whose end the test's own wait cannot come before. An action's
        // third word "intruder": another client on the bus sends it; "closer": another client says
        // first that the notice was closed; "replaced": another service has taken the name since.
        QTest::addColumn<QString>("tweak");

        QTest::newRow("unseen: Chiudi closes the window, the notice goes") << -1 << true << "chiudi" << true << true << "";
        QTest::newRow("unseen: a click on the notice leaves the window") << -1 << true << "default" << true << false << "";
        QTest::newRow("unseen: Chiudi of another program's notice leaves it")
            << -1 << true << "chiudi 42" << true << false << "";
        QTest::newRow("unseen: Chiudi sent by another client on the bus leaves it")
            << -1 << true << "chiudi 41 intruder" << true << false << "";
        QTest::newRow("unseen, the service replaced: the new one's Chiudi for that number is not heeded")
            << -1 << true << "chiudi 41 replaced" << true << false << "";
        QTest::newRow("unseen: another client's word that it closed is not heeded")
            << -1 << true << "chiudi 41 closer" << true << true << "";
        QTest::newRow("unseen while a long pattern plays: posted within the second all the same")
            << -1 << true << "chiudi" << true << true << "long";
        QTest::newRow("focused at once: nothing posted") << 0 << true << "" << false << false << "";
        QTest::newRow("focused within the second: nothing posted") << 500 << true << "" << false << false << "";
        QTest::newRow("focused while the loop was held: nothing posted") << -2 << true << "" << false << false << "";
        QTest::newRow("the loop held past the second, unseen: posted all the same")
            << -3 << true << "chiudi" << true << true << "";
        QTest::newRow("no service: nothing shown, nothing fails") << -1 << false << "" << false << false << "";
        QTest::newRow("seen, then shown again while unfocused: nothing posted")
            << 500 << true << "" << false << false << "again";
        QTest::newRow("seen, closed, then shown again unfocused: posted") << 500 << true << "chiudi" << true << true
                                                                          << "reshown";
        QTest::newRow("unseen, closed, then shown again unfocused: posted again")
            << -1 << true << "chiudi 42" << true << true << "twice";
        QTest::newRow("seen but silent: posted at once, the desktop sounding it")
            << 0 << true << "chiudi" << true << true << "mute";
        QTest::newRow("focused for Qt, another window for the window manager: posted")
            << 0 << true << "chiudi" << true << true << "wm";
    }

    void notifiesAnUnseenAlarm()
    {
        QFETCH(int, focusAfterMs);
        QFETCH(bool, service);
        QFETCH(QString, action);
        QFETCH(bool, noticed);
        QFETCH(bool, closedByAction);
        QFETCH(QString, tweak);
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
        fake().soundFaultText = tweak == QLatin1String("mute") ? QStringLiteral("senza suono") : QString();
        if (tweak == QLatin1String("wm"))
            fake().wmNames = nullptr;
        if (tweak == QLatin1String("long"))
            fake().onWait = [](int msecs) { QThread::msleep(msecs / 2); };
        const bool twice = tweak == QLatin1String("twice");
        const auto activations = f.scattaAltrove(focusAfterMs, twice ? 4000 : 3200);
        if (focusAfterMs <= -2) {
            // The focus comes, if at all, but the program sees it only after the loop was held.
            if (focusAfterMs == -2)
                activations->queue(FrmSveglia->windowHandle());
            QThread::msleep(1200);
        }
        if (tweak == QLatin1String("again") || tweak == QLatin1String("reshown") || twice) {
            if (twice)
                QTRY_COMPARE(notifications.shown.size(), 1);
            else
                QTRY_COMPARE(QGuiApplication::focusWindow(), FrmSveglia->windowHandle());
            if (tweak != QLatin1String("again"))
                FrmSveglia->close();
            WindowSystem::focusTo(nullptr);
            f.scatta();
        }
        QTest::qWait(tweak == QLatin1String("mute") ? 100 : 1500);
        QTRY_COMPARE(notifications.shown, QStringList(noticed ? (twice ? 2 : 1) : 0,
                                                  QStringLiteral("Sveglia delle 12.00 trillora chiudi/Chiudi 2 trillora")));
        QCOMPARE(notifications.sounds.value(0), tweak == QLatin1String("mute") ? "alarm-clock-elapsed" : "");
        const QStringList chosen = action.split(QLatin1Char(' '));
        QDBusMessage signal = QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/Notifications"),
                                                        QStringLiteral("org.freedesktop.Notifications"),
                                                        QStringLiteral("ActionInvoked"));
        signal << chosen.value(1, QStringLiteral("41")).toUInt() << chosen[0];
        Connection intruder(privateBus.address, QStringLiteral("intruder"));
        StandInNotifications successor;
        const bool replaced = chosen.value(2) == QLatin1String("replaced");
        if (replaced) {
            QVERIFY(server.bus.unregisterService(QStringLiteral("org.freedesktop.Notifications")));
            QVERIFY(PrivateBus::serve(intruder, successor));
            QTest::qWait(100);
        }
        if (chosen.value(2) == QLatin1String("closer")) {
            QDBusMessage closed = QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/Notifications"),
                                                             QStringLiteral("org.freedesktop.Notifications"),
                                                             QStringLiteral("NotificationClosed"));
            closed << 41U << 2U;
            intruder.bus.send(closed);
            QTest::qWait(100);
        }
        (chosen.value(2) == QLatin1String("intruder") || replaced ? intruder.bus : server.bus).send(signal);
        QTest::qWait(300);
        QCOMPARE(FrmSveglia->isVisible(), !closedByAction);
        QTRY_VERIFY(!FrmSveglia->isVisible());
        QTRY_COMPARE(notifications.closed,
                     noticed && !replaced ? (twice ? QList<uint> {41, 42} : QList<uint> {41}) : QList<uint>());
        QTest::qWait(100);
        QCOMPARE(successor.closed, QList<uint>());
        // Without its sound the alarm also says why, once, in the general error box.
        QCOMPARE(fake().boxes.size(), tweak == QLatin1String("mute") ? 1 : 0);
    }

    // A notice taken back or replaced before the service has said which it is, or left showing at
    // the program's end.
    void withdrawals_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("withdrawn before the service answered: closed once it has") << "withdraw";
        QTest::newRow("replaced before the service answered: the first closed") << "replace";
        QTest::newRow("the program ends while it shows: taken back") << "quit";
        QTest::newRow("a missed alarm's notice, its slot emptied: closed") << "missed";
        QTest::newRow("the service replaced while it answered: its number never closed at the new one")
            << "succeeded";
    }

    void withdrawals()
    {
        QFETCH(QString, how);
        Connection server(privateBus.address, QStringLiteral("service"));
        Connection client(privateBus.address, QStringLiteral("client"));
        StandInNotifications notifications;
        QVERIFY(PrivateBus::serve(server, notifications));
        Connection successorServer(privateBus.address, QStringLiteral("successor"));
        StandInNotifications successor;
        // Kept to the end, as the program keeps it: the answers come after the calls.
        DesktopNotice notice(client.bus);
        if (how == QLatin1String("quit")) {
            // Run from a folder whose icon the theme lacks: the file beside the program is named.
            QTemporaryDir folder;
            QVERIFY(QFile(folder.filePath(QStringLiteral("trillora.png"))).open(QIODevice::WriteOnly));
            QIcon::setThemeSearchPaths({folder.path()});
            auto program = std::make_unique<LinuxPlatform>(QByteArray(), folder.path());
            program->showAlarmNotice(NoticeTexts::unseenAlarm(QStringLiteral("07.30")), false, {});
            QTRY_COMPARE(notifications.shown,
                         QStringList {"Sveglia delle 07.30 " + folder.filePath("trillora.png") + " chiudi/Chiudi 2 trillora"});
            // The end waits for the service's answer (this one answers once the test's loop runs
            // again), as a call left to go later might never leave the ending process.
            QElapsedTimer end;
            end.start();
            program.reset();
            QVERIFY2(end.elapsed() >= 150, qPrintable(QString::number(end.elapsed())));
        } else if (how == QLatin1String("missed")) {
            LinuxPlatform program;
            const auto asleep = NoticeTexts::missedAlarm(QStringLiteral("07.30"), NoticeTexts::Missed::Asleep, true);
            program.showMissedAlarm(2, asleep, {});
            QTRY_COMPARE(notifications.shown.size(), 1);
            program.withdrawMissedAlarm(2);
            // Before the program's end, which takes every notice back anyway.
            QTRY_COMPARE(notifications.closed, QList<uint> {41});
        } else {
            notice.show(AlarmNoticeKey, alarmNotice(NoticeTexts::unseenAlarm(QStringLiteral("07.30")), false));
            if (how == QLatin1String("replace"))
                notice.show(AlarmNoticeKey, alarmNotice(NoticeTexts::unseenAlarm(QStringLiteral("07.31")), false));
            else if (how != QLatin1String("succeeded"))
                notice.withdraw(AlarmNoticeKey);
            else { // the Notify reaches the first service, which answers only once the name is another's
                QThread::msleep(100);
                QVERIFY(server.bus.unregisterService(QStringLiteral("org.freedesktop.Notifications")));
                QVERIFY(PrivateBus::serve(successorServer, successor));
            }
            QTRY_COMPARE(notifications.shown.size(), how == QLatin1String("replace") ? 2 : 1);
            if (how == QLatin1String("succeeded"))
                notice.withdraw(AlarmNoticeKey);
        }
        const QList<uint> closed = how == QLatin1String("succeeded") ? QList<uint>() : QList<uint> {41};
        QTRY_COMPARE(notifications.closed, closed);
        QTest::qWait(100);
        QCOMPARE(notifications.closed, closed);
        QCOMPARE(successor.closed, QList<uint>());
    }
};

TRILLORA_TEST_MAIN(TestAlarmNotice)
#include "tst_alarm_notice.moc"
