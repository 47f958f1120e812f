// Whether the ringing window is seen, and when to tell the desktop that it may not be.
#include "ringing/SeenWatch.h"

#include "core/NoticeTexts.h"
#include "platform/Platform.h"
#include "widgets/ErrorDisplay.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace {

// How long the window may go unseen before the desktop is told.
constexpr int VerdictMs = 1000;

} // namespace

SeenWatch::SeenWatch(QWidget *window, std::function<void()> close)
    : QObject(window)
    , window(window)
    , close(std::move(close))
    , verdict(new QTimer(this))
{
    // The verdict comes one second after the showing, also while a pattern plays: a plain QTimer,
    // which a pattern does not hold.
    verdict->setSingleShot(true);
    ErrorDisplay::attach(verdict, &QTimer::timeout, this, &SeenWatch::check);
}

bool SeenWatch::seen() const
{
    return platform().focusWitness().userWindow() == window->windowHandle();
}

void SeenWatch::shown(const QString &alarmMinute, bool silent)
{
    minute = alarmMinute;
    shownSince.start();
    if (silent) {
        verdict->stop();
        notify(true);
    } else if (seen()) {
        verdict->stop();
        state = State::Seen;
    } else {
        state = State::Waiting;
        verdict->start(VerdictMs);
    }
}

void SeenWatch::focusChanged(const QWindow *user)
{
    if ((state == State::Waiting || state == State::Deferred) && user == window->windowHandle()) {
        verdict->stop();
        state = State::Seen;
    }
}

void SeenWatch::hidden()
{
    verdict->stop();
    if (std::exchange(state, State::Hidden) == State::Told)
        platform().withdrawAlarmNotice();
}

void SeenWatch::check()
{
    if (!window->isVisible() || (state != State::Waiting && state != State::Deferred))
        return;
    if (seen()) {
        state = State::Seen;
        return;
    }
    // Whatever held the event loop, a focus given meanwhile may still wait in the queue when this
    // comes due: the loop runs freely for a moment before the verdict.
    if (state == State::Waiting && shownSince.elapsed() > VerdictMs + 100) {
        state = State::Deferred;
        verdict->start(100);
        return;
    }
    notify(false);
}

void SeenWatch::notify(bool withSound)
{
    state = State::Told;
    platform().showAlarmNotice(NoticeTexts::unseenAlarm(minute), withSound,
                               [guard = QPointer<SeenWatch>(this)] {
                                   if (guard && guard->window->isVisible())
                                       ErrorDisplay::during(guard->close);
                               });
}
