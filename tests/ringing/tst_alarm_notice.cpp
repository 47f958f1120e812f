// The alarm's desktop notification, end to end: the ringing window, the D-Bus client and a stand-in
// notification service on a private bus of the test's own.
#include "RingingFixture.h"
#include "TestMain.h"
#include "WindowSystem.h"

#include <QDBusConnection>
#include <QProcess>
#include <QThread>

// The service's side of org.freedesktop.Notifications, as far as the program uses it.
class StandInNotifications : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    QStringList shown; // summary, icon, actions, urgency and entry of each
    QList<uint> closed;

public slots:
    uint Notify(const QString &, uint, const QString &icon, const QString &summary, const QString &,
                const QStringList &actions, const QVariantMap &hints, int)
    {
        shown << QStringList {summary, icon, actions.join(QLatin1Char('/')),
                              QString::number(hints.value(QStringLiteral("urgency")).value<uchar>()),
                              hints.value(QStringLiteral("desktop-entry")).toString()}
                     .join(QLatin1Char(' '));
        return 41;
    }
    void CloseNotification(uint id) { closed.append(id); }

signals:
    void ActionInvoked(uint id, const QString &action);
};

// A connection of the test's own to its bus, closed however the test ends.
struct Connection
{
    Connection(const QString &address, const QString &name)
        : name(name), bus(QDBusConnection::connectToBus(address, name))
    {
    }
    ~Connection() { QDBusConnection::disconnectFromBus(name); }
    QString name;
    QDBusConnection bus;
};

class TestAlarmNotice : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QProcess daemon;
    QString address;

private slots:
    void initTestCase()
    {
        // No service folders: nothing installed here is started on the bus behind the test's back.
        QFile config(dir.filePath(QStringLiteral("bus.conf")));
        QVERIFY(config.open(QIODevice::WriteOnly));
        config.write("<busconfig><listen>unix:tmpdir=" + dir.path().toUtf8() + "</listen><policy context=\"default\">"
                     "<allow send_destination=\"*\"/><allow receive_sender=\"*\"/><allow own=\"*\"/></policy></busconfig>");
        config.close();
        daemon.setStandardErrorFile(QProcess::nullDevice());
        daemon.start(QStringLiteral("dbus-daemon"), {QStringLiteral("--config-file=") + config.fileName(),
                                                     QStringLiteral("--print-address"), QStringLiteral("--nofork")});
        QVERIFY2(daemon.waitForReadyRead(5000), "dbus-daemon (package dbus-daemon) is needed");
        address = QString::fromUtf8(daemon.readLine()).trimmed();
    }

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
        Connection server(address, QStringLiteral("service"));
        Connection client(address, QStringLiteral("client"));
        StandInNotifications notifications;
        if (service) {
            QVERIFY(server.bus.registerService(QStringLiteral("org.freedesktop.Notifications")));
            QVERIFY(server.bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &notifications,
                                              QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals));
        }
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
