// The caret's rest: after ten seconds without input the entry fields' caret stops blinking.
#include "widgets/CaretRest.h"

#include "widgets/ProgramTimer.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QStyleHints>

CaretRest::CaretRest(QCoreApplication *app)
    : QObject(app), idleTimer(new ProgramTimer(this, "TimerRiposoCursore", IdleMs))
{
    idleTimer->setSingleShot(true);
    connect(idleTimer, &QTimer::timeout, this, &CaretRest::rest);
    app->installEventFilter(this);
    idleTimer->start();
}

bool CaretRest::eventFilter(QObject *, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::TouchBegin:
    case QEvent::TabletPress:
    case QEvent::FocusIn:
        // Seen before the widget that the event is for, so a field taking the focus by this very
        // event already finds the caret blinking.
        if (flashTime >= 0) {
            QGuiApplication::styleHints()->setCursorFlashTime(flashTime);
            flashTime = -1;
        }
        idleTimer->start();
        break;
    default:
        break;
    }
    return false;
}

void CaretRest::rest()
{
    if (flashTime >= 0)
        return;
    QStyleHints *hints = QGuiApplication::styleHints();
    flashTime = hints->cursorFlashTime();
    // The field with the focus stops its blink timer and leaves the caret shown (Qt's
    // QWidgetLineControl::updateCursorBlinking).
    hints->setCursorFlashTime(0);
}
