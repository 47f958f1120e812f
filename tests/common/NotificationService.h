// A notification service of the test's own: a private D-Bus daemon and a stand-in for the
// org.freedesktop.Notifications service on it, as far as the program uses it.
#pragma once

#include <QDBusConnection>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QVariantMap>

class StandInNotifications : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    QStringList shown; // summary, icon, actions, urgency and entry of each
    QStringList bodies;
    QStringList sounds; // the sound-name hint of each, "" for none
    QList<uint> closed;
    uint nextId = 41;

public slots:
    uint Notify(const QString &, uint, const QString &icon, const QString &summary, const QString &body,
                const QStringList &actions, const QVariantMap &hints, int)
    {
        shown << QStringList {summary, icon, actions.join(QLatin1Char('/')),
                              QString::number(hints.value(QStringLiteral("urgency")).value<uchar>()),
                              hints.value(QStringLiteral("desktop-entry")).toString()}
                     .join(QLatin1Char(' '));
        bodies << body;
        sounds << hints.value(QStringLiteral("sound-name")).toString();
        return nextId++;
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

// The bus, started once for a test executable; `address` is empty until start() succeeded.
struct PrivateBus
{
    QTemporaryDir dir;
    QProcess daemon;
    QString address;

    bool start()
    {
        // The test's own service folder alone: nothing installed here is started behind its back.
        QFile config(dir.filePath(QStringLiteral("bus.conf")));
        if (!config.open(QIODevice::WriteOnly) || !QDir(dir.path()).mkdir(QStringLiteral("services")))
            return false;
        config.write("<busconfig><listen>unix:tmpdir=" + dir.path().toUtf8() + "</listen><servicedir>"
                     + dir.filePath(QStringLiteral("services")).toUtf8() + "</servicedir><policy context=\"default\">"
                     "<allow send_destination=\"*\"/><allow receive_sender=\"*\"/><allow own=\"*\"/></policy></busconfig>");
        config.close();
        daemon.setStandardErrorFile(QProcess::nullDevice());
        daemon.start(QStringLiteral("dbus-daemon"), {QStringLiteral("--config-file=") + config.fileName(),
                                                     QStringLiteral("--print-address"), QStringLiteral("--nofork")});
        if (!daemon.waitForReadyRead(5000))
            return false;
        address = QString::fromUtf8(daemon.readLine()).trimmed();
        return true;
    }

    // From now on the bus starts the service with the first message for it, as many desktops do:
    // the process it runs writes the file whose name is returned, and the test then serves.
    QString startOnDemand()
    {
        const QString started = dir.filePath(QStringLiteral("started"));
        QFile service(dir.filePath(QStringLiteral("services/notifications.service")));
        if (service.open(QIODevice::WriteOnly))
            service.write("[D-BUS Service]\nName=org.freedesktop.Notifications\nExec=/bin/sh -c 'echo >"
                          + started.toUtf8() + "; exec sleep 10'\n");
        return started;
    }

    // Registers `service` as org.freedesktop.Notifications through `server`: the object first, for
    // the bus hands the name's new owner what waited for it at once.
    static bool serve(Connection &server, StandInNotifications &service)
    {
        return server.bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &service,
                                         QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals)
            && server.bus.registerService(QStringLiteral("org.freedesktop.Notifications"));
    }
};
