// Focus moves and program state as the window system reports them, delivered at once: the same
// path a real focus change takes, including the moves to and from another program's window.
#pragma once

#include <QWindow>
#include <qpa/qwindowsysteminterface.h>
#include <qpa/qwindowsysteminterface_p.h>

namespace WindowSystem {

// The focus goes to `window`; nullptr is a window of another program.
inline void focusTo(QWindow *window)
{
    QWindowSystemInterface::handleWindowActivated<QWindowSystemInterface::SynchronousDelivery>(
        window, Qt::ActiveWindowFocusReason);
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
        if (event->type == QWindowSystemInterfacePrivate::ActivatedWindow && !giving) {
            QWindow *window = static_cast<QWindowSystemInterfacePrivate::ActivatedWindowEvent *>(event)->activated;
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
        QWindowSystemInterface::handleWindowActivated(window, Qt::ActiveWindowFocusReason);
    }

    QList<QWindow *> asked;

private:
    QWindow *refuse;
    bool giving = false;
    bool queued = false;
};

} // namespace WindowSystem
