// The program's desktop notifications, through the freedesktop notification service on D-Bus.
#include "linux/DesktopNotice.h"

#include "core/Config.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QThread>
#include <QVariantMap>

#include <utility>

namespace {

const QString Service = QStringLiteral("org.freedesktop.Notifications");
const QString Path = QStringLiteral("/org/freedesktop/Notifications");
const QString Interface = QStringLiteral("org.freedesktop.Notifications");

QDBusMessage methodCall(const QString &method)
{
    return QDBusMessage::createMethodCall(Service, Path, Interface, method);
}

// The action's key as the service hands it back: its caption in lower case ("chiudi").
QString actionKey(const QString &caption)
{
    return caption.toLower();
}

} // namespace

Notice alarmNotice(const NoticeTexts::Words &words, bool withSound)
{
    Notice notice {words};
    notice.urgency = 2;
    if (withSound)
        notice.sound = QStringLiteral("alarm-clock-elapsed");
    return notice;
}

DesktopNotice::DesktopNotice(const QDBusConnection &bus, const QString &icon, QObject *parent)
    : QObject(parent)
    , bus(bus)
    , icon(icon)
{
    // Without the service's name: with it, QtDBus would ask the bus for the name's owner and wait
    // for the answer. The sender and the notification's number tell which signals are this program's.
    for (const auto &[signal, slot] :
         {std::pair {"ActionInvoked", SLOT(actionInvoked(uint, QString, QDBusMessage))},
          std::pair {"NotificationClosed", SLOT(notificationClosed(uint, uint, QDBusMessage))}})
        this->bus.connect(QString(), Path, Interface, QLatin1String(signal), this, slot);
    // The bus reports a new owner before that owner can send anything, and its reports and answers
    // come in order: followed first, then asked, nothing in between is missed.
    auto *watcher = new QDBusServiceWatcher(Service, this->bus, QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(watcher, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString &, const QString &, const QString &newOwner) {
                ownerReported = true;
                ownerChanged(newOwner);
            });
    QDBusMessage look = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"),
                                                       QStringLiteral("/org/freedesktop/DBus"),
                                                       QStringLiteral("org.freedesktop.DBus"),
                                                       QStringLiteral("GetNameOwner"));
    look << Service;
    auto *answer = new QDBusPendingCallWatcher(this->bus.asyncCall(look), this);
    connect(answer, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *call) {
        call->deleteLater();
        const QDBusPendingReply<QString> reply = *call;
        // Unowned, the answer is an error: nobody, until the bus reports one.
        if (!ownerReported)
            ownerChanged(reply.isValid() ? reply.value() : QString());
    });
}

// A service that went or was replaced took its notifications with it: their numbers are another's now.
void DesktopNotice::ownerChanged(const QString &newOwner)
{
    if (!owner.isEmpty() && owner != newOwner) {
        for (KeyState &state : states) {
            state.id = 0;
            state.onAction = nullptr;
        }
    }
    if (owner != newOwner)
        ++ownerChanges;
    owner = newOwner;
}

DesktopNotice::OwnerMark DesktopNotice::ownerMark() const
{
    return {ownerChanges, !owner.isEmpty()};
}

// Qt 6.8 keeps the sender of an answer to itself, so an answer is taken as the owner's only when no
// change of owner came between the call and the answer; or, where none was known at the call, only
// the one change that made the service that the call itself may have started the owner. A number
// from a service that has gone or been replaced may be another program's notice at its successor.
bool DesktopNotice::answeredByOwner(OwnerMark sent) const
{
    return ownerChanges == sent.changes || (!sent.known && ownerChanges == sent.changes + 1 && !owner.isEmpty());
}

void DesktopNotice::show(const QString &key, const Notice &notice, std::function<void()> onAction)
{
    KeyState &state = states[key];
    const NoticeTexts::Words &words = notice.words;
    state.action = words.action.isEmpty() ? QString() : actionKey(words.action);
    state.onAction = std::move(onAction);
    const quint64 request = ++state.requests;
    // The entry ties it to the program's name and icon in the desktop's notification settings.
    QVariantMap hints {
        {QStringLiteral("urgency"), QVariant::fromValue<uchar>(notice.urgency)},
        {QStringLiteral("desktop-entry"), QGuiApplication::desktopFileName()},
    };
    if (!notice.sound.isEmpty())
        hints.insert(QStringLiteral("sound-name"), notice.sound);
    const QStringList actions =
        words.action.isEmpty() ? QStringList() : QStringList {state.action, words.action};
    QDBusMessage notify = methodCall(QStringLiteral("Notify"));
    notify << Config::ApplicationTitle << state.id << icon << words.summary << words.body
           << actions << hints << 0;
    state.pending = bus.asyncCall(notify);
    state.pendingRequest = request;
    state.pendingSent = ownerMark();
    auto *watcher = new QDBusPendingCallWatcher(*state.pending, this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, key, request, sent = state.pendingSent](QDBusPendingCallWatcher *call) {
                call->deleteLater();
                const QDBusPendingReply<uint> reply = *call;
                if (reply.isValid())
                    shown(key, answeredByOwner(sent) ? reply.value() : 0, request);
            });
}

void DesktopNotice::shown(const QString &key, uint newId, quint64 request)
{
    KeyState &state = states[key];
    if (request == state.pendingRequest)
        state.pending.reset();
    if (request == state.requests)
        state.id = newId;
    else if (newId != 0 && newId != state.id)
        close(newId); // withdrawn or replaced while the service was still answering
}

void DesktopNotice::withdraw(const QString &key)
{
    const auto found = states.find(key);
    if (found == states.end())
        return;
    ++found->requests;
    found->onAction = nullptr;
    if (found->id != 0)
        close(found->id);
    found->id = 0;
}

void DesktopNotice::withdrawAllNow(int msecs)
{
    QDeadlineTimer deadline(msecs);
    QList<uint> ids;
    for (KeyState &state : states) {
        ++state.requests;
        state.onAction = nullptr;
        if (state.id != 0)
            ids.append(std::exchange(state.id, 0));
        // The bus's own thread takes the answers in: one on its way is waited for, not the event
        // loop, and what it names goes too, shown or replaced.
        if (state.pending) {
            while (!state.pending->isFinished() && !deadline.hasExpired())
                QThread::msleep(5);
            const QDBusPendingReply<uint> reply = *state.pending;
            if (reply.isFinished() && reply.isValid() && answeredByOwner(state.pendingSent)
                && !ids.contains(reply.value()))
                ids.append(reply.value());
            state.pending.reset();
        }
    }
    if (ids.isEmpty())
        return;
    // One connection keeps its messages in order: once the last is answered, all have left.
    const uint last = ids.takeLast();
    for (const uint id : ids)
        close(id);
    QDBusMessage message = methodCall(QStringLiteral("CloseNotification"));
    message << last;
    bus.call(message, QDBus::Block, msecs);
}

void DesktopNotice::close(uint which)
{
    QDBusMessage message = methodCall(QStringLiteral("CloseNotification"));
    message << which;
    bus.asyncCall(message);
}

void DesktopNotice::actionInvoked(uint which, const QString &action, const QDBusMessage &message)
{
    for (const KeyState &state : std::as_const(states)) {
        if (which == 0 || state.id != which || owner.isEmpty() || message.service() != owner)
            continue;
        if (action != state.action || !state.onAction)
            return;
        // The callback may withdraw or replace this very notification.
        const std::function<void()> callback = state.onAction;
        callback();
        return;
    }
}

void DesktopNotice::notificationClosed(uint which, uint, const QDBusMessage &message)
{
    for (KeyState &state : states) {
        if (which != 0 && state.id == which && !owner.isEmpty() && message.service() == owner) {
            state.id = 0;
            state.onAction = nullptr;
        }
    }
}
