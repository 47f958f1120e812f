// Small helpers for the windows' fixed, pixel-exact layouts.
#pragma once

#include <QRect>
#include <QWidget>

namespace Layout {

// A control named as in the layout, at its place in its parent.
template <typename W>
W *crea(QWidget *parent, const char *name, QRect place)
{
    auto *w = new W(parent);
    w->setObjectName(QLatin1String(name));
    w->setGeometry(place);
    return w;
}

// Centres a top-level window on the desktop it will appear on.
void centraSulDesktop(QWidget *window);

} // namespace Layout
