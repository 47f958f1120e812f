// Whether the ringing window is seen, and when to tell the desktop that it may not be.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <functional>

class QTimer;
class QWidget;
class QWindow;

// Another program in full screen, an overview or the lock screen may leave the ringing window up
// but unseen. The window counts as seen once the platform has named it as the window the user works
// in since its showing (the platform's witness); when it is not seen within a second, one desktop
// notification names the alarm, and its "Chiudi" closes the window. An alarm that cannot sound (the
// bell standing in, silent on many desktops) is notified at once, the desktop sounding it. The
// notification goes when the window hides.
class SeenWatch : public QObject
{
    Q_OBJECT

public:
    // `window`: the ringing window; `close`: what the notification's "Chiudi" does while it shows.
    SeenWatch(QWidget *window, std::function<void()> close);

    // The window was shown for the alarm of `minute` ("07.30"); `silent`: the program cannot sound it.
    void shown(const QString &minute, bool silent);
    // The focus moved to `user`, the window the user works in (the platform's witness).
    void focusChanged(const QWindow *user);
    // The window was hidden.
    void hidden();

private:
    enum class State {
        Hidden,
        // Shown, not seen yet: the verdict comes a second after the showing.
        Waiting,
        // The verdict came late (the event loop was held): once more, after a moment of free running.
        Deferred,
        Seen,
        Told,
    };

    bool seen() const;
    void check();
    void notify(bool withSound);

    QWidget *window;
    std::function<void()> close;
    State state = State::Hidden;
    // The alarm's minute, read from the clock when the window was shown.
    QString minute;
    QTimer *verdict;
    QElapsedTimer shownSince;
};
