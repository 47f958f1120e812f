// Small helpers for the windows' fixed, pixel-exact layouts.
#include "support/Layout.h"

#include "support/Glifo.h"

#include <QGuiApplication>
#include <QScreen>
#include <QToolButton>

namespace Layout {

QFont carattere(const QString &family, int pixels, bool bold)
{
    QFont font(family);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

QToolButton *pulsante(QWidget *parent, const char *name, QRect place, const QString &caption,
                      const QString &glyph, const QString &hint)
{
    auto *b = crea<QToolButton>(parent, name, place);
    b->setFocusPolicy(Qt::NoFocus);
    b->setText(caption);
    b->setToolTip(hint);
    if (!glyph.isEmpty()) {
        b->setIcon(glifo(glyph));
        b->setIconSize(QSize(16, 16));
        b->setToolButtonStyle(caption.isEmpty() ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextBesideIcon);
    }
    return b;
}

void centraSulDesktop(QWidget *window)
{
    const QScreen *desktop = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (desktop)
        window->move(desktop->availableGeometry().center() - QPoint(window->width() / 2, window->height() / 2));
}

} // namespace Layout
