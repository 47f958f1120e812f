// The program's desktop notifications, through the freedesktop notification service on D-Bus.
#pragma once

#include "core/NoticeTexts.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QHash>
#include <QObject>
#include <QString>
#include <functional>
#include <optional>
#include <utility>

// One notification as the desktop shows it.
struct Notice
{
    explicit Notice(NoticeTexts::Words words)
        : words(std::move(words))
    {
    }

    NoticeTexts::Words words;
    // 0 low, 1 normal, 2 critical: stays on screen and passes a do-not-disturb setting.
    uchar urgency = 1;
    // A sound of the freedesktop theme for the server to play, if any.
    QString sound;
};

// The ringing alarm's notification, critical; `withSound`: with the sound theme's alarm.
Notice alarmNotice(const NoticeTexts::Words &words, bool withSound);
inline const QString AlarmNoticeKey = QStringLiteral("sveglia");

// The program's notifications, each under a key of the caller's ("sveglia", "permesso",
// "mancata-1"): a new one replaces the last of its key. Every call is asynchronous, so a slow or hung
// service never holds up the program; without a service, or without a bus, the calls come to nothing.
// Any client on the bus may send the service's signals: only those of the connection that owns the
// service's name as they come are heeded. The owner is learnt from one first look and then from the
// bus's own reports of its changes, as many desktops start the service only with the first notice
// of the session, and a service may restart or be replaced (Qt 6.8 keeps the sender of a reply to
// itself, so no answer can tell it).
class DesktopNotice : public QObject
{
    Q_OBJECT
public:
    // `icon`: the program's icon, a name in the icon theme or a file's absolute path.
    explicit DesktopNotice(const QDBusConnection &bus, const QString &icon = QStringLiteral("trillora"),
                           QObject *parent = nullptr);

    // Shows `notice` under `key`; `onAction` runs when its action is chosen.
    void show(const QString &key, const Notice &notice, std::function<void()> onAction = {});
    // Takes the notification of `key` back, also when the service has not yet said which one it is.
    void withdraw(const QString &key);
    // Takes every notification back at once, waiting at most about `msecs` for the service, to
    // learn the number of one just shown and to take the last one back: at the program's end an
    // asynchronous call might never leave, and a notification whose action no longer does anything
    // must not stay behind.
    void withdrawAllNow(int msecs);

private slots:
    void actionInvoked(uint id, const QString &action, const QDBusMessage &message);
    void notificationClosed(uint id, uint reason, const QDBusMessage &message);

private:
    // The owner as a call leaves: how many changes of owner came before it, and whether one was known.
    struct OwnerMark
    {
        quint64 changes = 0;
        bool known = false;
    };

    // What is known of the notification under one key.
    struct KeyState
    {
        // The service's number for the notification on screen; 0 while there is none.
        uint id = 0;
        // Counts the show and withdraw calls, so that an answer to an older one changes nothing.
        quint64 requests = 0;
        QString action;
        std::function<void()> onAction;
        // The last Notify while its answer, which carries the number, has not been taken in.
        std::optional<QDBusPendingCall> pending;
        quint64 pendingRequest = 0;
        OwnerMark pendingSent;
    };

    void shown(const QString &key, uint newId, quint64 request);
    void close(uint which);
    void ownerChanged(const QString &newOwner);
    OwnerMark ownerMark() const;
    bool answeredByOwner(OwnerMark sent) const;

    QDBusConnection bus;
    QString icon;
    QHash<QString, KeyState> states;
    // The unique name of the connection that owns the service's name; empty while none does.
    QString owner;
    // The bus has reported a change of owner: the first look's answer, if still to come, is older.
    bool ownerReported = false;
    quint64 ownerChanges = 0;
};
