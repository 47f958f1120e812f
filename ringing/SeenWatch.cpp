// Whether the ringing window is seen, and when to tell the desktop that it may not be.
#include "ringing/SeenWatch.h"

#include "platform/Platform.h"
#include "ringing/Suonata.h"
#include "widgets/ErrorDisplay.h"

#include <QGuiApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace {

// How long the window may go without the window system's focus before the desktop is told.
constexpr int AttesaFuocoMs = 1000;

} // namespace

SeenWatch::SeenWatch(QWidget *window, std::function<void()> chiudi)
    : QObject(window)
    , finestra(window)
    , chiudi(std::move(chiudi))
    , attesaFuoco(new QTimer(this))
{
    attesaFuoco->setSingleShot(true);
    // The verdict comes one second after the showing, also while a pattern plays.
    Suonata::lasciaCorrere(attesaFuoco);
    ErrorDisplay::collega(attesaFuoco, &QTimer::timeout, this, &SeenWatch::controlla);
}

void SeenWatch::mostrata(const QString &orarioSveglia, bool muta)
{
    fuocoRicevuto = QGuiApplication::focusWindow() == finestra->windowHandle();
    orario = orarioSveglia;
    mostrataDa.start();
    rinviata = false;
    attesaFuoco->start(AttesaFuocoMs);
    if (muta)
        avvisa(true);
}

void SeenWatch::fuocoAvuto()
{
    fuocoRicevuto = true;
}

void SeenWatch::nascosta()
{
    attesaFuoco->stop();
    if (avvisoInviato) {
        avvisoInviato = false;
        platform().withdrawAlarmNotice();
    }
}

void SeenWatch::controlla()
{
    if (!finestra->isVisible() || avvisoInviato)
        return;
    // Qt's focus may be a window that a window manager keeps behind another program's.
    if (platform().windowManagerActive(finestra->windowHandle()).value_or(fuocoRicevuto))
        return;
    // Whatever held the event loop, a focus given meanwhile may still wait in the queue when this
    // comes due: the loop runs freely for a moment before the verdict.
    if (!rinviata && mostrataDa.elapsed() > AttesaFuocoMs + 100) {
        rinviata = true;
        attesaFuoco->start(100);
        return;
    }
    avvisa(false);
}

void SeenWatch::avvisa(bool conSuono)
{
    avvisoInviato = true;
    platform().showAlarmNotice(QStringLiteral("Sveglia delle ") + orario, conSuono,
                               [guardia = QPointer<SeenWatch>(this)] {
                                   if (guardia && guardia->finestra->isVisible())
                                       ErrorDisplay::durante(guardia->chiudi);
                               });
}
