// Focus moves, clicks and program state as the window system reports them, delivered at once: the
// same path a real one takes, including the moves to and from another program's window. Qt has no
// public way to play the window system's part; its private one is reached from here alone.
#pragma once

#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonObject>
#include <QScopeGuard>
#include <QWindow>
#include <qpa/qplatformnativeinterface.h>
#include <qpa/qwindowsysteminterface.h>
#include <qpa/qwindowsysteminterface_p.h>

namespace WindowSystem {

// Qt 6.7 renamed the report of a window given the focus.
#if QT_VERSION >= QT_VERSION_CHECK(6, 7, 0)
template <typename Delivery = QWindowSystemInterface::DefaultDelivery>
void reportFocus(QWindow *window)
{
    QWindowSystemInterface::handleFocusWindowChanged<Delivery>(window, Qt::ActiveWindowFocusReason);
}
constexpr auto FocusReport = QWindowSystemInterfacePrivate::FocusWindow;
inline QWindow *focused(QWindowSystemInterfacePrivate::WindowSystemEvent *event)
{
    return static_cast<QWindowSystemInterfacePrivate::FocusWindowEvent *>(event)->focused;
}
#else
template <typename Delivery = QWindowSystemInterface::DefaultDelivery>
void reportFocus(QWindow *window)
{
    QWindowSystemInterface::handleWindowActivated<Delivery>(window, Qt::ActiveWindowFocusReason);
}
constexpr auto FocusReport = QWindowSystemInterfacePrivate::ActivatedWindow;
inline QWindow *focused(QWindowSystemInterfacePrivate::WindowSystemEvent *event)
{
    return static_cast<QWindowSystemInterfacePrivate::ActivatedWindowEvent *>(event)->activated;
}
#endif

// The focus goes to `window`; nullptr is a window of another program.
inline void focusTo(QWindow *window)
{
    reportFocus<QWindowSystemInterface::SynchronousDelivery>(window);
}

// A press and release of the left button at `at` in `window`, queued as the window system's input.
inline void click(QWindow *window, QPoint at)
{
    for (const auto &[button, type] : {std::pair(Qt::LeftButton, QEvent::MouseButtonPress),
                                       std::pair(Qt::NoButton, QEvent::MouseButtonRelease)})
        QWindowSystemInterface::handleMouseEvent(window, at, window->mapToGlobal(at), button, Qt::LeftButton, type);
}

// The offscreen platform's one screen moved to `corner`, through the platform's own configuration,
// until the returned guard goes.
[[nodiscard]] inline auto moveScreen(QPoint corner)
{
    QPlatformNativeInterface *native = QGuiApplication::platformNativeInterface();
    const QJsonObject before = reinterpret_cast<QJsonObject (*)(QPlatformNativeInterface *)>(
        native->nativeResourceForIntegration("configuration"))(native);
    const auto configure = reinterpret_cast<void (*)(const QJsonObject &, QPlatformNativeInterface *)>(
        native->nativeResourceForIntegration("setConfiguration"));
    QJsonObject screen = before[QLatin1String("screens")][0].toObject(), moved = before;
    screen[QLatin1String("x")] = corner.x();
    screen[QLatin1String("y")] = corner.y();
    moved[QLatin1String("screens")] = QJsonArray {screen};
    configure(moved, native);
    return qScopeGuard([before, configure, native] { configure(before, native); });
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
        if (event->type == FocusReport && !giving) {
            QWindow *window = focused(event);
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
        reportFocus(window);
    }

    QList<QWindow *> asked;

private:
    QWindow *refuse;
    bool giving = false;
    bool queued = false;
};

} // namespace WindowSystem
