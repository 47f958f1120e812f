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
    const QByteArray token = byInputIn ? wayland->activationToken(byInputIn) : QByteArray();
    if (token.isEmpty())
        return;
    // Qt hands the token of this variable to the compositor with its next request, and drops it.
    qputenv("XDG_ACTIVATION_TOKEN", token);
    window->activateWindow();
    // Neither for the programs started later, nor for a request of Qt's own.
    qunsetenv("XDG_ACTIVATION_TOKEN");
}
