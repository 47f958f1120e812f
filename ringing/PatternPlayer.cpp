// The playing of a tone pattern on the sound's thread, and what the UI thread holds meanwhile.
#include "ringing/PatternPlayer.h"

#include "platform/Platform.h"
#include "widgets/ErrorDisplay.h"
#include "widgets/ProgramTimer.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEventLoop>
#include <QList>
#include <QPointer>
#include <QSemaphore>
#include <QThread>
#include <QTimer>
#include <QTimerEvent>
#include <QVariant>
#include <QWindow>
#include <exception>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace {

// The one tick that a held timer gets after the pattern.
class LateTick : public QTimerEvent
{
public:
    using QTimerEvent::QTimerEvent;
};

// The sound's thread, one for the whole run and owned by the application, so that it outlives the
// windows and the seam: the seam's sounds always come from the same thread, so what they keep
// between calls (an open device, a timer that closes it) stays on it and can be let go there. And,
// on the UI thread, the timers held while a pattern plays and what waits for its end.
class Director : public QObject
{
    Q_OBJECT

public:
    explicit Director(QCoreApplication *app)
        : QObject(app)
    {
        soundThread.setObjectName(QStringLiteral("Sound"));
        player.moveToThread(&soundThread);
        soundThread.start();
        app->installEventFilter(this);
    }
    ~Director() override
    {
        soundThread.quit();
        soundThread.wait();
    }

    bool isPlaying() const { return playing > 0; }

    void play(const std::function<void()> &pattern)
    {
        ++playing;
        QEventLoop loop;
        QSemaphore done;
        std::exception_ptr error;
        bool ended = false;
        // What the sound's thread posts back goes with this object, should the loop end first.
        QObject back;
        QMetaObject::invokeMethod(
            &player,
            [&] {
                try {
                    pattern();
                } catch (...) {
                    error = std::current_exception();
                }
                QMetaObject::invokeMethod(
                    &back,
                    [&] {
                        ended = true;
                        end();
                        loop.quit();
                    },
                    Qt::QueuedConnection);
                done.release();
            },
            Qt::QueuedConnection);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
        // The program's end also ends the loop: the pattern still runs to its end, as it always did.
        done.acquire();
        if (!ended)
            end();
        if (error)
            std::rethrow_exception(error);
    }

    QWindow *userWindow() const
    {
        return userAtEnd ? userAtEnd->data() : platform().focusWitness().userWindow();
    }

    void after(std::function<void()> action)
    {
        if (playing > 0)
            waiting.append(std::move(action));
        else
            ErrorDisplay::during(action);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Timer)
            return holdTimer(qobject_cast<ProgramTimer *>(watched), event);
        // The pattern's own loop leaves the input in the window system's queue; a loop run inside
        // it (a box's) would take it: it waits, in its order, as if it had stayed there.
        if (playing > 0 && isUserInput(watched, event)) {
            heldInput.emplace_back(watched, std::unique_ptr<QEvent>(event->clone()));
            return true;
        }
        return false;
    }

private:
    // What the user does, as a window of the program receives it: the pointer's leaving with its
    // entering, the window system's close (the program's own close() is the program's doing), and
    // the text an input method commits to a widget, which must keep its place among the keys.
    static bool isUserInput(QObject *watched, QEvent *event)
    {
        switch (event->type()) {
        case QEvent::InputMethod:
            return true;
        case QEvent::Close:
            return watched->isWindowType() && event->spontaneous();
        case QEvent::Leave:
            return watched->isWindowType();
        default:
            return watched->isWindowType() && event->isInputEvent();
        }
    }

    struct HeldTick
    {
        QPointer<QTimer> timer;
        int id = 0;
        bool operator==(const HeldTick &other) const { return timer == other.timer && id == other.id; }
    };

    bool holdTimer(ProgramTimer *timer, QEvent *event)
    {
        if (!timer)
            return false;
        const HeldTick tick {timer, static_cast<QTimerEvent *>(event)->timerId()};
        const bool late = dynamic_cast<LateTick *>(event) != nullptr;
        if (late)
            lateTicks.removeOne(tick);
        if (playing > 0) {
            hold(tick);
            return true;
        }
        // Its late tick is on its way and stands for this one too.
        return !late && lateTicks.contains(tick);
    }

    void hold(const HeldTick &tick)
    {
        for (HeldTick &t : heldTicks) {
            if (t.timer == tick.timer) {
                t.id = tick.id;
                return;
            }
        }
        heldTicks.append(tick);
    }

    // The pattern has ended. What was made meanwhile comes first, as it was made first: the input,
    // then, in a later pass, the late ticks, then what waited for the end. So a close made during
    // the pattern, which stops the sound timers, still comes before a pattern that one of them
    // would start. Until then the held timers' own ticks wait for their late one.
    void end()
    {
        if (--playing > 0)
            return;
        // Where the user was as the sound ended stands while what was held is handled: a click made
        // meanwhile may go elsewhere first (Qt's X11 connection asks the window manager to activate
        // a clicked window that lacks the focus), and that is not the user's doing now.
        userAtEnd = QPointer<QWindow>(platform().focusWitness().userWindow());
        const quint64 endCount = ++ends;
        lateTicks.removeIf([](const HeldTick &t) { return !t.timer; });
        lateTicks += heldTicks;
        for (auto &[window, event] : std::exchange(heldInput, {})) {
            if (window)
                QCoreApplication::postEvent(window, event.release());
        }
        QMetaObject::invokeMethod(
            this,
            [this, endCount, lateOnes = std::exchange(heldTicks, {}), afterwards = std::exchange(waiting, {})] {
                // A timer stopped or started again meanwhile has no missed tick to make up for.
                for (const HeldTick &t : lateOnes) {
                    if (t.timer && t.timer->isActive() && t.timer->timerId() == t.id)
                        QCoreApplication::postEvent(t.timer, new LateTick(t.id));
                    else
                        lateTicks.removeOne(t);
                }
                for (const std::function<void()> &action : afterwards)
                    QMetaObject::invokeMethod(this, [this, action] { after(action); }, Qt::QueuedConnection);
                QMetaObject::invokeMethod(
                    this,
                    [this, endCount] {
                        if (endCount == ends)
                            userAtEnd.reset();
                    },
                    Qt::QueuedConnection);
            },
            Qt::QueuedConnection);
        // The input held meanwhile waits in the window system's queue, which the next pass must read.
        if (QAbstractEventDispatcher *dispatcher = QAbstractEventDispatcher::instance())
            dispatcher->wakeUp();
    }

    QThread soundThread;
    QObject player;
    int playing = 0;
    // The timers whose tick came due while the pattern plays, with the id of that tick.
    QList<HeldTick> heldTicks;
    // The timers whose late tick is coming.
    QList<HeldTick> lateTicks;
    QList<std::function<void()>> waiting;
    // The witness's answer when the last pattern ended, while the input held in it is handled.
    std::optional<QPointer<QWindow>> userAtEnd;
    // Counts the patterns' ends, so that a later end's answer stands until its own input is handled.
    quint64 ends = 0;
    // Input that a loop inside the pattern's own took, for its window.
    std::vector<std::pair<QPointer<QObject>, std::unique_ptr<QEvent>>> heldInput;
};

// Made with the first pattern; none before it.
Director *existing()
{
    return QCoreApplication::instance()->findChild<Director *>(QString(), Qt::FindDirectChildrenOnly);
}

Director &director()
{
    Director *director = existing();
    return director ? *director : *new Director(QCoreApplication::instance());
}

} // namespace

namespace PatternPlayer {

void play(const std::function<void()> &pattern)
{
    director().play(pattern);
}

bool isPlaying()
{
    const Director *director = existing();
    return director && director->isPlaying();
}

QWindow *userWindow()
{
    const Director *director = existing();
    return director ? director->userWindow() : platform().focusWitness().userWindow();
}

void after(std::function<void()> action)
{
    if (Director *director = existing())
        director->after(std::move(action));
    else
        ErrorDisplay::during(action);
}

} // namespace PatternPlayer

#include "PatternPlayer.moc"
