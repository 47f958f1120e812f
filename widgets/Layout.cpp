// Small helpers for the windows' fixed, pixel-exact layouts.
#include "widgets/Layout.h"

#include "widgets/Glyphs.h"

#include <QGuiApplication>
#include <QScreen>
#include <QToolButton>
#include <QWindow>

namespace Layout {

QFont pixelFont(const QString &family, int pixels, bool bold)
{
    QFont font(family);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

QToolButton *button(QWidget *parent, const char *name, QRect place, const QString &caption,
                    const QString &glyph, const QString &hint)
{
    auto *b = control<QToolButton>(parent, name, place);
    b->setFocusPolicy(Qt::NoFocus);
    b->setText(caption);
    b->setToolTip(hint);
    if (!glyph.isEmpty()) {
        b->setIcon(glyphIcon(glyph));
        b->setIconSize(QSize(16, 16));
        b->setToolButtonStyle(caption.isEmpty() ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextBesideIcon);
    }
    return b;
}

namespace {

// The window system's frame around a window: its own once known, else that of another of the
// program's windows, which the window system decorates alike; none where it draws no frames.
QMargins windowFrame(const QWidget *window)
{
    if (const QWindow *own = window->windowHandle(); own && !own->frameMargins().isNull())
        return own->frameMargins();
    for (const QWindow *other : QGuiApplication::topLevelWindows()) {
        if (other->handle() && !(other->flags() & Qt::FramelessWindowHint) && !other->frameMargins().isNull())
            return other->frameMargins();
    }
    return {};
}

// A top-level's position is its frame's corner, so the frame, title bar included, is what is centred.
void placeCentred(QWidget *window, const QMargins &frame)
{
    const QScreen *desktop = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!desktop)
        return;
    const QSize size = window->size().grownBy(frame);
    const QRect area = desktop->availableGeometry();
    window->move(area.topLeft() + QPoint((area.width() - size.width()) / 2, (area.height() - size.height()) / 2));
}

// Centres once more at the first showing, then once the window system has told the window's own
// frame (under X11 only after mapping it), if that differs from the one assumed. Later showings
// keep the place the window was left at.
class Recentring : public QObject
{
public:
    explicit Recentring(QWidget *window)
        : QObject(window), window(window)
    {
        setObjectName(QStringLiteral("recentring"));
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Show && !shown) {
            shown = true;
            placeCentred(window, assumedFrame = windowFrame(window));
        } else if (event->type() == QEvent::Move && shown && window->windowHandle()) {
            const QMargins ownFrame = window->windowHandle()->frameMargins();
            if (!ownFrame.isNull()) {
                window->removeEventFilter(this);
                deleteLater();
                if (ownFrame != assumedFrame)
                    placeCentred(window, ownFrame);
            }
        }
        return false;
    }

private:
    QWidget *window;
    QMargins assumedFrame;
    bool shown = false;
};

} // namespace

void centreOnDesktop(QWidget *window)
{
    placeCentred(window, windowFrame(window));
    if (!window->findChild<QObject *>(QStringLiteral("recentring"), Qt::FindDirectChildrenOnly))
        new Recentring(window);
}

} // namespace Layout
