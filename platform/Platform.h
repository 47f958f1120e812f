// The operating system's services as the windows see them: one seam, replaced by fakes in tests.
#pragma once

#include "core/NoticeTexts.h"

#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QString>
#include <QTime>
#include <cstdint>
#include <functional>
#include <optional>

class QWidget;
class QWindow;

enum class MessageKind { Info, Warning, Error, Question };

// An off-screen web page loader: navigates, reports each completed document on the
// UI thread, and hands out the current document's body as HTML text.
class Browser : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // Returns at once; the load goes on while the event loop runs.
    virtual void navigate(const QString &address) = 0;
    virtual bool hasDocument() const = 0;
    // Outer HTML of the current document's body, 8-bit (Windows-1252) text.
    virtual QByteArray bodyOuterHtml() const = 0;

signals:
    void documentComplete(const QString &address);
    // The loader could not be had (its module is missing or refused): after the navigation ended
    // in an empty document, the reason, for the window to show.
    void unusable(const QString &reason);
};

// Which of the program's windows the user works in: the one answer to "does the program hold the
// focus?". Under X11 the window manager's own record (_NET_ACTIVE_WINDOW) while a window manager
// keeps it, since one may keep a window behind another program's and still let Qt take it for
// active; elsewhere, and with no window manager alive, Qt's focus window.
class FocusWitness : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // The program's window that the user works in, or null when that is another program's.
    virtual QWindow *userWindow() = 0;

signals:
    // The answer may have changed, as the window system's own events tell, at the moment they tell.
    void userWindowChanged();
};

class Platform
{
public:
    virtual ~Platform() = default;

    // A box with no owner that leaves the program's other windows usable.
    // Answers true only when a question box was answered Yes.
    virtual bool messageBox(MessageKind kind, const QString &title, const QString &text) = 0;
    // Hands a URL, mailto: link, document or program to the desktop; failures are silent.
    virtual void shellOpen(const QString &target) = 0;
    // A new mail to the desktop's mail program. The three texts come apart, as a subject or body
    // may hold any character, even the link's own "&body="; the link must carry each exactly.
    virtual void shellOpenMail(const QString &address, const QString &subject, const QString &body) = 0;

    virtual QString executablePath() = 0;
    virtual bool fileExists(const QString &path) = 0;
    // Whether the program may make and replace files in `folder`.
    virtual bool folderWritable(const QString &folder) = 0;
    // The user's own configuration folder ($XDG_CONFIG_HOME, ~/.config by default), without a
    // trailing separator.
    virtual QString configFolder() = 0;
    virtual QTime localTime() = 0;
    // Local date and time, in the system's time zone.
    virtual QDateTime localDateTime() = 0;
    // How long the computer has been suspended since it started, in milliseconds: it grows across a
    // sleep, and not when the clock is set.
    virtual qint64 msecsAsleep() = 0;
    // How long since the computer started, sleep included: the time that really passed, whatever
    // the clock says.
    virtual qint64 msecsSinceBoot() = 0;
    // 1 for the old consumer family, 2 for the NT family, anything else otherwise.
    virtual int platformId() = 0;

    // The tone patterns' calls. They come from the sound's thread, not the UI thread: always the
    // same thread, one call at a time, while the UI thread goes on. An implementation that needs
    // the UI thread (a window system's bell, a box) must post its work there. portOut also comes
    // from the UI thread when the ringing window closes; a close waits for the pattern's end.
    // Blocks until the tone has ended.
    virtual void systemTone(int frequency, int msecs) = 0;
    // Starts the desktop's message sound and returns at once.
    virtual void messageSound(unsigned type) = 0;
    // Why the tones and the message sound cannot be played as chosen (the bell then stands in), or
    // nothing when they can; what they need is loaded here when no sound was asked for yet.
    virtual QString soundFault() = 0;
    virtual void sleepMs(int msecs) = 0;
    virtual void portOut(std::uint16_t port, std::uint8_t value) = 0;

    virtual FocusWitness &focusWitness() = 0;
    // Brings `window` to the front with the keyboard focus. `byInputIn`: the program's window, still
    // shown, in which the user's own click asked for it; null when nothing the user did asks for it.
    // Under Wayland a compositor grants it only with a token of such input, and one asked without it
    // comes back as a nag ("is ready", an attention flag): there nothing is asked without one.
    virtual void activate(QWidget *window, QWindow *byInputIn) = 0;

    // Host (and optional port) of the maker's web site.
    virtual QString siteHost() = 0;
    virtual Browser *createBrowser(QWidget *parent) = 0;

    // A desktop notification for an alarm whose window the user may not see, or may not hear, in
    // `words` (NoticeTexts::unseenAlarm); `onClose` runs when its action is chosen; `withSound` asks
    // the desktop to sound the alarm too. A new one replaces the last. Where the desktop has no
    // notification service, nothing is shown and nothing fails.
    virtual void showAlarmNotice(const NoticeTexts::Words &words, bool withSound, std::function<void()> onClose) = 0;
    // Takes the notification back, if it is still there.
    virtual void withdrawAlarmNotice() = 0;
    // A desktop notification that the alarm of slot `slot` (1 to 5) went by unrung, in `words`
    // (NoticeTexts::missedAlarm); `onDelete` runs when its action is chosen. A new one for the slot
    // replaces the last; without a notification service, nothing is shown and nothing fails.
    virtual void showMissedAlarm(int slot, const NoticeTexts::Words &words, std::function<void()> onDelete) = 0;
    virtual void withdrawMissedAlarm(int slot) = 0;

    // The computer should wake from sleep at `when`, replacing any earlier time; none: at no time.
    // Where it cannot be woken, nothing happens and nothing is shown.
    virtual void wakeAt(const std::optional<QDateTime> &when) = 0;
};

// The seam in force. main() installs the Linux one; tests install fakes.
Platform &platform();
void installPlatform(Platform *p);
