// Focus moves and program state as the window system reports them, delivered at once: the same
// path a real focus change takes, including the moves to and from another program's window. Qt
// has no public way to play the window system's part; its private one is reached from here alone.
#pragma once

#include <QWindow>
#include <qpa/qwindowsysteminterface.h>
#include <qpa/qwindowsysteminterface_p.h>

// Qt 6.7 renamed the report of a window given the focus: the name for the Qt in use.
#if QT_VERSION >= QT_VERSION_CHECK(6, 7, 0)
#define TRILLORA_FOCUS_NAME(since67, before) since67
#else
#define TRILLORA_FOCUS_NAME(since67, before) before
#endif

namespace WindowSystem {

// The focus goes to `window`; nullptr is a window of another program.
inline void focusTo(QWindow *window)
{
    QWindowSystemInterface::TRILLORA_FOCUS_NAME(handleFocusWindowChanged, handleWindowActivated)<
        QWindowSystemInterface::SynchronousDelivery>(window, Qt::ActiveWindowFocusReason);
}

// A platform that reports the program's state by itself, apart from the focus.
inline void reportState(Qt::ApplicationState state)
{
    QWindowSystemInterface::handleApplicationStateChanged<QWindowSystemInterface::SynchronousDelivery>(state);
}

// While it lives, it records every activation the platform makes, asked for or on a showing, and
// refuses those of `refuse`, as a desktop that keeps the focus with another program.
class Activations : public QWindowSystemEventHandler
{
public:
    explicit Activations(QWindow *refuse)
        : refuse(refuse)
    {
        QWindowSystemInterfacePrivate::installWindowSystemEventHandler(this);
    }
    ~Activations() override { QWindowSystemInterfacePrivate::removeWindowSystemEventhandler(this); }

    bool sendEvent(QWindowSystemInterfacePrivate::WindowSystemEvent *event) override
    {
        using Report = QWindowSystemInterfacePrivate::TRILLORA_FOCUS_NAME(FocusWindowEvent, ActivatedWindowEvent);
        if (event->type == QWindowSystemInterfacePrivate::TRILLORA_FOCUS_NAME(FocusWindow, ActivatedWindow) && !giving) {
            QWindow *window = static_cast<Report *>(event)->TRILLORA_FOCUS_NAME(focused, activated);
            asked.append(window);
            if (refuse && window == refuse && !queued)
                return true;
            queued = false;
        }
        return QWindowSystemEventHandler::sendEvent(event);
    }

    // The desktop gives `window` the focus after all.
    void give(QWindow *window)
    {
        giving = true;
        focusTo(window);
        giving = false;
    }
    // The same, through the queue, while the program is busy.
    void queue(QWindow *window)
    {
        queued = true;
        QWindowSystemInterface::TRILLORA_FOCUS_NAME(handleFocusWindowChanged, handleWindowActivated)(
            window, Qt::ActiveWindowFocusReason);
    }

    QList<QWindow *> asked;

private:
    QWindow *refuse;
    bool giving = false;
    bool queued = false;
};

} // namespace WindowSystem
