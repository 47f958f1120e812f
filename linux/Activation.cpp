// Bringing a window of the program to the front, as the desktop allows it.
#include "linux/Activation.h"

#include "linux/WaylandInput.h"

#include <QGuiApplication>
#include <QWidget>
#include <qpa/qplatformnativeinterface.h>

Activation::Activation(bool onWayland)
{
    if (!onWayland)
        return;
    QPlatformNativeInterface *native = QGuiApplication::platformNativeInterface();
    wayland = std::make_unique<WaylandInput>(
        native ? static_cast<wl_display *>(native->nativeResourceForIntegration("wl_display")) : nullptr);
}

Activation::~Activation() = default;

void Activation::activate(QWidget *window, QWindow *byInputIn)
{
    if (!wayland) {
        window->raise();
        window->activateWindow();
        return;
    }
    // Qt's own request would go with whatever serial it saw last, and through the process's
    // environment, which the sound and bus threads read: the program asks the compositor itself.
    if (byInputIn)
        wayland->activate(window->windowHandle(), byInputIn);
}
