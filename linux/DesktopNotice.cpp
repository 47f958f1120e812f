// The alarm's desktop notification, through the freedesktop notification service on D-Bus.
#include "linux/DesktopNotice.h"

#include "core/Config.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QGuiApplication>
#include <QVariantMap>

namespace {

const QString Service = QStringLiteral("org.freedesktop.Notifications");
const QString Path = QStringLiteral("/org/freedesktop/Notifications");
const QString Interface = QStringLiteral("org.freedesktop.Notifications");
const QString AzioneChiudi = QStringLiteral("chiudi");

QDBusMessage chiamata(const QString &method)
{
    return QDBusMessage::createMethodCall(Service, Path, Interface, method);
}

} // namespace

DesktopNotice::DesktopNotice(const QDBusConnection &bus, QObject *parent)
    : QObject(parent)
    , bus(bus)
{
    this->bus.connect(Service, Path, Interface, QStringLiteral("ActionInvoked"), this,
                      SLOT(actionInvoked(uint, QString)));
    this->bus.connect(Service, Path, Interface, QStringLiteral("NotificationClosed"), this,
                      SLOT(notificationClosed(uint, uint)));
}

void DesktopNotice::show(const QString &summary, std::function<void()> onClose)
{
    chiudi = std::move(onClose);
    const quint64 request = ++requests;
    QDBusMessage notify = chiamata(QStringLiteral("Notify"));
    // Critical, so that it stays on screen and passes a do-not-disturb setting; the entry ties it
    // to the program's name and icon in the desktop's notification settings.
    const QVariantMap hints {
        {QStringLiteral("urgency"), QVariant::fromValue<uchar>(2)},
        {QStringLiteral("desktop-entry"), QGuiApplication::desktopFileName()},
    };
    notify << Config::ApplicationTitle << id << QStringLiteral("trillora") << summary << QString()
           << QStringList {AzioneChiudi, QStringLiteral("Chiudi")} << hints << 0;
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(notify), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, request](QDBusPendingCallWatcher *call) {
        call->deleteLater();
        const QDBusPendingReply<uint> reply = *call;
        if (reply.isValid())
            shown(reply.value(), request);
    });
}

void DesktopNotice::shown(uint newId, quint64 request)
{
    if (request == requests)
        id = newId;
    else if (newId != id)
        close(newId); // withdrawn or replaced while the service was still answering
}

void DesktopNotice::withdraw()
{
    ++requests;
    chiudi = nullptr;
    if (id != 0)
        close(id);
    id = 0;
}

void DesktopNotice::close(uint which)
{
    QDBusMessage message = chiamata(QStringLiteral("CloseNotification"));
    message << which;
    bus.asyncCall(message);
}

void DesktopNotice::actionInvoked(uint which, const QString &action)
{
    if (which != id || id == 0 || action != AzioneChiudi || !chiudi)
        return;
    // The callback may withdraw this very notification.
    const std::function<void()> azione = chiudi;
    azione();
}

void DesktopNotice::notificationClosed(uint which, uint)
{
    if (which == id) {
        id = 0;
        chiudi = nullptr;
    }
}
