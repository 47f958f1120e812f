// The alarm's desktop notification, through the freedesktop notification service on D-Bus.
#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <functional>

// One notification at a time. Every call is asynchronous, so a slow or hung service never holds up
// the alarm; without a service, or without a bus, the calls come to nothing.
class DesktopNotice : public QObject
{
    Q_OBJECT
public:
    explicit DesktopNotice(const QDBusConnection &bus, QObject *parent = nullptr);

    // Shows `summary` with a "Chiudi" action that runs `onClose`, in place of the last notification.
    void show(const QString &summary, std::function<void()> onClose);
    // Takes the notification back, also when the service has not yet said which one it is.
    void withdraw();

private slots:
    void actionInvoked(uint id, const QString &action);
    void notificationClosed(uint id, uint reason);

private:
    void shown(uint newId, quint64 request);
    void close(uint which);

    QDBusConnection bus;
    // The service's number for the notification on screen; 0 while there is none.
    uint id = 0;
    // Counts the show and withdraw calls, so that an answer to an older one changes nothing.
    quint64 requests = 0;
    std::function<void()> chiudi;
};
