// The playing of a tone pattern on the sound's thread, and what the UI thread holds meanwhile.
#include "ringing/Suonata.h"

#include "platform/Platform.h"
#include "widgets/ErrorDisplay.h"
#include "widgets/ProgramTimer.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEventLoop>
#include <QList>
#include <QPointer>
#include <QSemaphore>
#include <QThread>
#include <QTimer>
#include <QTimerEvent>
#include <QVariant>
#include <QWindow>
#include <exception>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace {

// The one tick that a held timer gets after the pattern.
class ColpoInRitardo : public QTimerEvent
{
public:
    using QTimerEvent::QTimerEvent;
};

// The sound's thread, one for the whole run and owned by the application, so that it outlives the
// windows and the seam: the seam's sounds always come from the same thread, so what they keep
// between calls (an open device, a timer that closes it) stays on it and can be let go there. And,
// on the UI thread, the timers held while a pattern plays and what waits for its end.
class Regia : public QObject
{
    Q_OBJECT

public:
    explicit Regia(QCoreApplication *app)
        : QObject(app)
    {
        filo.setObjectName(QStringLiteral("Suono"));
        voce.moveToThread(&filo);
        filo.start();
        app->installEventFilter(this);
    }
    ~Regia() override
    {
        filo.quit();
        filo.wait();
    }

    bool inCorso() const { return suonando > 0; }

    void suona(const std::function<void()> &pattern)
    {
        ++suonando;
        QEventLoop attesa;
        QSemaphore finito;
        std::exception_ptr errore;
        bool chiuso = false;
        // What the sound's thread posts back goes with this object, should the loop end first.
        QObject ritorno;
        QMetaObject::invokeMethod(
            &voce,
            [&] {
                try {
                    pattern();
                } catch (...) {
                    errore = std::current_exception();
                }
                QMetaObject::invokeMethod(
                    &ritorno,
                    [&] {
                        chiuso = true;
                        finisci();
                        attesa.quit();
                    },
                    Qt::QueuedConnection);
                finito.release();
            },
            Qt::QueuedConnection);
        attesa.exec(QEventLoop::ExcludeUserInputEvents);
        // The program's end also ends the loop: the pattern still runs to its end, as it always did.
        finito.acquire();
        if (!chiuso)
            finisci();
        if (errore)
            std::rethrow_exception(errore);
    }

    QWindow *utente() const
    {
        return utenteAllaFine ? utenteAllaFine->data() : platform().focusWitness().userWindow();
    }

    void dopo(std::function<void()> azione)
    {
        if (suonando > 0)
            azioni.append(std::move(azione));
        else
            ErrorDisplay::durante(azione);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Timer)
            return tieniTimer(qobject_cast<ProgramTimer *>(watched), event);
        // The pattern's own loop leaves the input in the window system's queue; a loop run inside
        // it (a box's) would take it: it waits, in its order, as if it had stayed there.
        if (suonando > 0 && inputDellUtente(watched, event)) {
            inputRinviato.emplace_back(watched, std::unique_ptr<QEvent>(event->clone()));
            return true;
        }
        return false;
    }

private:
    // What the user does, as a window of the program receives it: the pointer's leaving with its
    // entering, the window system's close (the program's own close() is the program's doing), and
    // the text an input method commits to a widget, which must keep its place among the keys.
    static bool inputDellUtente(QObject *watched, QEvent *event)
    {
        switch (event->type()) {
        case QEvent::InputMethod:
            return true;
        case QEvent::Close:
            return watched->isWindowType() && event->spontaneous();
        case QEvent::Leave:
            return watched->isWindowType();
        default:
            return watched->isWindowType() && event->isInputEvent();
        }
    }

    struct Trattenuto
    {
        QPointer<QTimer> timer;
        int id = 0;
        bool operator==(const Trattenuto &other) const { return timer == other.timer && id == other.id; }
    };

    bool tieniTimer(ProgramTimer *timer, QEvent *event)
    {
        if (!timer)
            return false;
        const Trattenuto colpo {timer, static_cast<QTimerEvent *>(event)->timerId()};
        const bool tardivo = dynamic_cast<ColpoInRitardo *>(event) != nullptr;
        if (tardivo)
            ritardati.removeOne(colpo);
        if (suonando > 0) {
            trattieni(colpo);
            return true;
        }
        // Its late tick is on its way and stands for this one too.
        return !tardivo && ritardati.contains(colpo);
    }

    void trattieni(const Trattenuto &colpo)
    {
        for (Trattenuto &t : trattenuti) {
            if (t.timer == colpo.timer) {
                t.id = colpo.id;
                return;
            }
        }
        trattenuti.append(colpo);
    }

    // The pattern has ended. What was made meanwhile comes first, as it was made first: the input,
    // then, in a later pass, the late ticks, then what waited for the end. So a close made during
    // the pattern, which stops the sound timers, still comes before a pattern that one of them
    // would start. Until then the held timers' own ticks wait for their late one.
    void finisci()
    {
        if (--suonando > 0)
            return;
        // Where the user was as the sound ended stands while what was held is handled: a click made
        // meanwhile may go elsewhere first (Qt's X11 connection asks the window manager to activate
        // a clicked window that lacks the focus), and that is not the user's doing now.
        utenteAllaFine = QPointer<QWindow>(platform().focusWitness().userWindow());
        const quint64 fine = ++fini;
        ritardati.removeIf([](const Trattenuto &t) { return !t.timer; });
        ritardati += trattenuti;
        for (auto &[finestra, evento] : std::exchange(inputRinviato, {})) {
            if (finestra)
                QCoreApplication::postEvent(finestra, evento.release());
        }
        QMetaObject::invokeMethod(
            this,
            [this, fine, tardivi = std::exchange(trattenuti, {}), attese = std::exchange(azioni, {})] {
                // A timer stopped or started again meanwhile has no missed tick to make up for.
                for (const Trattenuto &t : tardivi) {
                    if (t.timer && t.timer->isActive() && t.timer->timerId() == t.id)
                        QCoreApplication::postEvent(t.timer, new ColpoInRitardo(t.id));
                    else
                        ritardati.removeOne(t);
                }
                for (const std::function<void()> &azione : attese)
                    QMetaObject::invokeMethod(this, [this, azione] { dopo(azione); }, Qt::QueuedConnection);
                QMetaObject::invokeMethod(
                    this,
                    [this, fine] {
                        if (fine == fini)
                            utenteAllaFine.reset();
                    },
                    Qt::QueuedConnection);
            },
            Qt::QueuedConnection);
        // The input held meanwhile waits in the window system's queue, which the next pass must read.
        if (QAbstractEventDispatcher *dispatcher = QAbstractEventDispatcher::instance())
            dispatcher->wakeUp();
    }

    QThread filo;
    QObject voce;
    int suonando = 0;
    // The timers whose tick came due while the pattern plays, with the id of that tick.
    QList<Trattenuto> trattenuti;
    // The timers whose late tick is coming.
    QList<Trattenuto> ritardati;
    QList<std::function<void()>> azioni;
    // The witness's answer when the last pattern ended, while the input held in it is handled.
    std::optional<QPointer<QWindow>> utenteAllaFine;
    // Counts the patterns' ends, so that a later end's answer stands until its own input is handled.
    quint64 fini = 0;
    // Input that a loop inside the pattern's own took, for its window.
    std::vector<std::pair<QPointer<QObject>, std::unique_ptr<QEvent>>> inputRinviato;
};

// Made with the first pattern; none before it.
Regia *esistente()
{
    return QCoreApplication::instance()->findChild<Regia *>(QString(), Qt::FindDirectChildrenOnly);
}

Regia &regia()
{
    Regia *regia = esistente();
    return regia ? *regia : *new Regia(QCoreApplication::instance());
}

} // namespace

namespace Suonata {

void suona(const std::function<void()> &pattern)
{
    regia().suona(pattern);
}

bool inCorso()
{
    const Regia *regia = esistente();
    return regia && regia->inCorso();
}

QWindow *utente()
{
    const Regia *regia = esistente();
    return regia ? regia->utente() : platform().focusWitness().userWindow();
}

void dopo(std::function<void()> azione)
{
    if (Regia *regia = esistente())
        regia->dopo(std::move(azione));
    else
        ErrorDisplay::durante(azione);
}

} // namespace Suonata

#include "Suonata.moc"
