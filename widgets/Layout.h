// Small helpers for the windows' fixed, pixel-exact layouts.
#pragma once

#include <QFont>
#include <QRect>
#include <QWidget>

class QToolButton;

namespace Layout {

// A control named as in the layout, at its place in its parent.
template <typename W>
W *control(QWidget *parent, const char *name, QRect place)
{
    auto *w = new W(parent);
    w->setObjectName(QLatin1String(name));
    w->setGeometry(place);
    return w;
}

// A font by family and character height in pixels, as the layouts give them.
QFont pixelFont(const QString &family, int pixels, bool bold = false);

// A push button that never takes the keyboard focus, with an optional glyph shipped in the
// program (":/glyphs/<glyph>.png") beside its caption.
QToolButton *button(QWidget *parent, const char *name, QRect place, const QString &caption,
                    const QString &glyph, const QString &hint);

// Centres a top-level window, with the frame the window system gives it, on the desktop it will
// appear on; again at its first showing, when the frame is better known.
void centreOnDesktop(QWidget *window);

} // namespace Layout
