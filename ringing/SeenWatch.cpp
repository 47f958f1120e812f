// Whether the ringing window is seen, and when to tell the desktop that it may not be.
#include "ringing/SeenWatch.h"

#include "platform/Platform.h"
#include "widgets/ErrorDisplay.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace {

// How long the window may go unseen before the desktop is told.
constexpr int AttesaFuocoMs = 1000;

} // namespace

SeenWatch::SeenWatch(QWidget *window, std::function<void()> chiudi)
    : QObject(window)
    , finestra(window)
    , chiudi(std::move(chiudi))
    , attesaFuoco(new QTimer(this))
{
    // The verdict comes one second after the showing, also while a pattern plays: a plain QTimer,
    // which a pattern does not hold.
    attesaFuoco->setSingleShot(true);
    ErrorDisplay::collega(attesaFuoco, &QTimer::timeout, this, &SeenWatch::controlla);
}

bool SeenWatch::vista() const
{
    return platform().focusWitness().userWindow() == finestra->windowHandle();
}

void SeenWatch::mostrata(const QString &orarioSveglia, bool muta)
{
    orario = orarioSveglia;
    mostrataDa.start();
    if (muta) {
        attesaFuoco->stop();
        avvisa(true);
    } else if (vista()) {
        attesaFuoco->stop();
        stato = Stato::Vista;
    } else {
        stato = Stato::InAttesa;
        attesaFuoco->start(AttesaFuocoMs);
    }
}

void SeenWatch::fuocoCambiato(const QWindow *utente)
{
    if ((stato == Stato::InAttesa || stato == Stato::Rinviata) && utente == finestra->windowHandle()) {
        attesaFuoco->stop();
        stato = Stato::Vista;
    }
}

void SeenWatch::nascosta()
{
    attesaFuoco->stop();
    if (std::exchange(stato, Stato::Nascosta) == Stato::Avvisata)
        platform().withdrawAlarmNotice();
}

void SeenWatch::controlla()
{
    if (!finestra->isVisible() || (stato != Stato::InAttesa && stato != Stato::Rinviata))
        return;
    if (vista()) {
        stato = Stato::Vista;
        return;
    }
    // Whatever held the event loop, a focus given meanwhile may still wait in the queue when this
    // comes due: the loop runs freely for a moment before the verdict.
    if (stato == Stato::InAttesa && mostrataDa.elapsed() > AttesaFuocoMs + 100) {
        stato = Stato::Rinviata;
        attesaFuoco->start(100);
        return;
    }
    avvisa(false);
}

void SeenWatch::avvisa(bool conSuono)
{
    stato = Stato::Avvisata;
    platform().showAlarmNotice(QStringLiteral("Sveglia delle ") + orario, conSuono,
                               [guardia = QPointer<SeenWatch>(this)] {
                                   if (guardia && guardia->finestra->isVisible())
                                       ErrorDisplay::durante(guardia->chiudi);
                               });
}
