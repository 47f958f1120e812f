// The alarm's desktop notification, end to end: the ringing window, the D-Bus client and a stand-in
// notification service on a private bus of the test's own.
#include "RingingFixture.h"
#include "TestMain.h"
#include "WindowSystem.h"

#include "platform/DesktopNotice.h"

#include <QDBusConnection>
#include <QProcess>
#include <QTemporaryDir>

// The service's side of org.freedesktop.Notifications, as far as the program uses it.
class StandInNotifications : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    struct Notice
    {
        QString summary;
        QString icon;
        QStringList actions;
        QVariantMap hints;
    };
    QList<Notice> shown;
    QList<uint> closed;

public slots:
    uint Notify(const QString &, uint, const QString &icon, const QString &summary, const QString &,
                const QStringList &actions, const QVariantMap &hints, int)
    {
        shown.append({summary, icon, actions, hints});
        return static_cast<uint>(shown.size()) + 40;
    }
    void CloseNotification(uint id)
    {
        closed.append(id);
        emit NotificationClosed(id, 3);
    }

signals:
    void ActionInvoked(uint id, const QString &action);
    void NotificationClosed(uint id, uint reason);
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
    QProcess bus;
    QString address;

private slots:
    void initTestCase()
    {
        // No service folders: nothing on this machine is started on the bus behind the test's back.
        const QString config = dir.filePath(QStringLiteral("bus.conf"));
        QFile file(config);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("<busconfig><type>session</type><listen>unix:tmpdir=" + dir.path().toUtf8()
                   + "</listen><auth>EXTERNAL</auth><policy context=\"default\"><allow send_destination=\"*\"/>"
                     "<allow receive_sender=\"*\"/><allow own=\"*\"/></policy></busconfig>");
        file.close();
        bus.setStandardErrorFile(QProcess::nullDevice());
        bus.start(QStringLiteral("dbus-daemon"), {QStringLiteral("--config-file=") + config,
                                                  QStringLiteral("--print-address"), QStringLiteral("--nofork")});
        QVERIFY2(bus.waitForStarted(), "dbus-daemon (package dbus-daemon) is needed");
        QVERIFY(bus.waitForReadyRead(5000));
        address = QString::fromUtf8(bus.readLine()).trimmed();
    }

    void cleanupTestCase()
    {
        bus.kill();
        bus.waitForFinished();
    }

    void notifiesAnUnseenAlarm_data()
    {
        QTest::addColumn<bool>("service");
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("closedByAction");

        QTest::newRow("Chiudi closes the ringing window, and the notice goes") << true << "chiudi" << true;
        QTest::newRow("a click on the notice itself leaves it; the close withdraws it") << true << "default" << false;
        QTest::newRow("no service: nothing shown, nothing fails") << false << "" << false;
    }

    void notifiesAnUnseenAlarm()
    {
        QFETCH(bool, service);
        QFETCH(QString, action);
        QFETCH(bool, closedByAction);
        Connection server(address, QStringLiteral("service"));
        Connection client(address, QStringLiteral("client"));
        StandInNotifications notifications;
        DesktopNotice notice(client.bus);
        // Made after the notice, so that its windows go first.
        RingingFixture f;
        if (service) {
            QVERIFY(server.bus.registerService(QStringLiteral("org.freedesktop.Notifications")));
            QVERIFY(server.bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &notifications,
                                          QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals));
        }
        fake().noticeService = &notice;

        QVERIFY(f.mostraPrincipale());
        WindowSystem::focusTo(nullptr);
        FrmSveglia->winId();
        WindowSystem::Activations activations(FrmSveglia->windowHandle());
        FrmSveglia->TimerClose->setInterval(2500);
        FrmMain->ed1sv1->setText(QStringLiteral("12"));
        FrmMain->Ed1sv2->setText(QStringLiteral("00"));
        FrmMain->Timer1Timer();

        QTest::qWait(1500);
        QCOMPARE(notifications.shown.size(), service ? 1 : 0);
        if (service) {
            const auto &shown = notifications.shown.first();
            QCOMPARE(shown.summary, QStringLiteral("Sveglia delle 12.00"));
            QCOMPARE(shown.icon, QStringLiteral("trillora"));
            QCOMPARE(shown.actions, QStringList({"chiudi", "Chiudi"}));
            QCOMPARE(shown.hints.value(QStringLiteral("urgency")), QVariant::fromValue<uchar>(2));
            QCOMPARE(shown.hints.value(QStringLiteral("desktop-entry")).toString(), QStringLiteral("trillora"));
            emit notifications.ActionInvoked(41, action);
        }
        QTest::qWait(300);
        QCOMPARE(FrmSveglia->isVisible(), !closedByAction);
        QTRY_VERIFY(!FrmSveglia->isVisible());
        QTRY_COMPARE(notifications.closed, service ? QList<uint>({41}) : QList<uint>());
        QVERIFY(fake().boxes.isEmpty());
    }
};

TRILLORA_TEST_MAIN(TestAlarmNotice)
#include "tst_alarm_notice.moc"
