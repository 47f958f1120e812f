// Small helpers for the windows' fixed, pixel-exact layouts.
#include "support/Layout.h"

#include <QGuiApplication>
#include <QScreen>

namespace Layout {

void centraSulDesktop(QWidget *window)
{
    const QScreen *desktop = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (desktop)
        window->move(desktop->availableGeometry().center() - QPoint(window->width() / 2, window->height() / 2));
}

} // namespace Layout
