// Focus moves and program state as the window system reports them, delivered at once: the same
// path a real focus change takes, including the moves to and from another program's window.
#pragma once

#include <QWindow>
#include <qpa/qwindowsysteminterface.h>

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

} // namespace WindowSystem
