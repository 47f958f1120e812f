// The red ringing window: layout, activation, closing, the click that ends the program, the sound timers.
#include "ringing/Sveglia.h"

#include "app/Main.h"
#include "platform/Platform.h"
#include "ringing/PatternPlayer.h"
#include "ringing/SeenWatch.h"
#include "ringing/TonePatterns.h"
#include "widgets/Accessibility.h"
#include "widgets/Click.h"
#include "widgets/ErrorDisplay.h"
#include "widgets/Layout.h"
#include "widgets/ProgramTimer.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QScopeGuard>
#include <QScopedValueRollback>
#include <QTimer>
#include <QToolButton>
#include <QWindow>

TFrmSveglia *FrmSveglia = nullptr;

namespace {

using Layout::pixelFont;

QLabel *scritta(QWidget *parent, const char *name, QPoint where, const QString &text, const QColor &colour)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setFont(pixelFont(QStringLiteral("Verdana"), 32, true));
    QPalette colours = label->palette();
    colours.setColor(QPalette::WindowText, colour);
    label->setPalette(colours);
    label->setAutoFillBackground(false);
    label->move(where);
    return label;
}

// Switching on a running timer must not restart its count.
void accendi(QTimer *t)
{
    if (!t->isActive())
        t->start();
}

// The program's top-level widget that `window` belongs to, if any.
QWidget *finestraDi(const QWindow *window)
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->windowHandle() == window)
            return widget;
    }
    return nullptr;
}

bool clicDelMouse(QEvent::Type type)
{
    return type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease
        || type == QEvent::MouseButtonDblClick;
}

} // namespace

TFrmSveglia::TFrmSveglia(QWidget *parent)
    : QWidget(parent)
{
    buildLayout();
    Accessibility::describe(this);
}

void TFrmSveglia::buildLayout()
{
    setObjectName(QStringLiteral("FrmSveglia"));
    setWindowTitle(QStringLiteral("Trillora"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    // Hiding this window, even as the last one on screen, never ends the program.
    setAttribute(Qt::WA_QuitOnClose, false);
    setFont(pixelFont(QStringLiteral("MS Sans Serif"), 11, false));
    setFixedSize(338, 100);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, Qt::red);
    setPalette(colours);
    setAutoFillBackground(true);

    const QColor aqua(0, 255, 255);
    Label1 = scritta(this, "Label1", {11, 5}, QStringLiteral("Tri"), aqua);
    Label3 = scritta(this, "Label3", {147, 22}, QStringLiteral("L L"), Qt::blue);
    Label2 = scritta(this, "Label2", {201, 44}, QStringLiteral("ora"), aqua);
    // The labels swallow their clicks: only the bare red surface ends the program.
    for (QLabel *label : {Label1, Label3, Label2})
        label->installEventFilter(this);

    sbChiudi = new QToolButton(this);
    sbChiudi->setObjectName(QStringLiteral("sbChiudi"));
    sbChiudi->setGeometry(11, 70, 45, 17);
    sbChiudi->setText(QStringLiteral("Chiudi"));
    sbChiudi->setFocusPolicy(Qt::NoFocus);
    sbChiudi->setFont(pixelFont(QStringLiteral("MS Sans Serif"), 11, true));
    QPalette testo = sbChiudi->palette();
    testo.setColor(QPalette::ButtonText, Qt::red);
    sbChiudi->setPalette(testo);

    // Precise: the 50 s close would otherwise be allowed to drift by seconds.
    TimerClose = new ProgramTimer(this, "TimerClose", 50000);
    TimerSpeaker = new ProgramTimer(this, "TimerSpeaker", 100);
    TimerCasse = new ProgramTimer(this, "TimerCasse", 50);

    // A click on the bare red surface; those on the labels never reach the window (see eventFilter).
    ErrorDisplay::attach(new ClickWatcher(this), &ClickWatcher::clicked, this, &TFrmSveglia::FormClick);
    ErrorDisplay::attach(sbChiudi, &QToolButton::clicked, this, &TFrmSveglia::sbChiudiClick);
    ErrorDisplay::attach(TimerClose, &QTimer::timeout, this, &TFrmSveglia::TimerCloseTimer);
    ErrorDisplay::attach(TimerSpeaker, &QTimer::timeout, this, &TFrmSveglia::TimerSpeakerTimer);
    ErrorDisplay::attach(TimerCasse, &QTimer::timeout, this, &TFrmSveglia::TimerCasseTimer);

    vista = new SeenWatch(this, [this] {
        // Like a click on the window's own "Chiudi", it waits for the pattern to end; the click was
        // made in the notice, not in a window of the program.
        PatternPlayer::after([finestra = QPointer<TFrmSveglia>(this)] {
            if (finestra && finestra->isVisible())
                finestra->close();
        });
    });
    ErrorDisplay::attach(&platform().focusWitness(), &FocusWitness::userWindowChanged, this,
                         &TFrmSveglia::fuocoCambiato);
}

void TFrmSveglia::setVisible(bool visible)
{
    // Centred once; every later showing keeps the place the window last had.
    if (visible && !giaMostrata) {
        giaMostrata = true;
        Layout::centreOnDesktop(this);
        // Made at start, first seen at the first alarm: the large letters are measured then.
        for (QLabel *label : {Label1, Label3, Label2})
            label->adjustSize();
    }
    const bool mostrata = visible && !isVisible();
    QWidget::setVisible(visible);
    if (mostrata) {
        // Showing a visible window only brings it to the front; showing a hidden one makes it the
        // program's active window at once: a desktop that keeps the focus elsewhere, or gives it
        // late, must not keep the alarm silent or the window up for ever.
        vista->shown(FrmMain->EdOrologio->text().left(5), !platform().soundFault().isEmpty());
        segui(Evento::Mostrata);
    } else if (!visible) {
        segui(Evento::Nascosta);
        vista->hidden();
    }
}

void TFrmSveglia::segui(Evento evento)
{
    const Attivazione prima = attivazione;
    switch (evento) {
    case Evento::Mostrata:
        attivazione = Attivazione::Mostrata;
        break;
    case Evento::Nascosta:
        attivazione = Attivazione::Nascosta;
        break;
    case Evento::FuocoQui:
        attivazione = Attivazione::ConFuoco;
        break;
    case Evento::FuocoAltrove:
        // Reports the window system makes late, after a hide and a new showing, speak of the last
        // showing: only once this one has had the focus can the focus leave it.
        if (attivazione == Attivazione::ConFuoco)
            attivazione = Attivazione::Lasciata;
        break;
    }
    if ((prima == Attivazione::Nascosta || prima == Attivazione::Lasciata)
        && (attivazione == Attivazione::Mostrata || attivazione == Attivazione::ConFuoco))
        ErrorDisplay::during([this] { FormActivate(); });
}

// The focus moved, as the platform tells where the user works. Going to another program changes
// nothing: the program's active window is still this one when the focus comes back. A message box
// is a passing question, not a window of the program's own.
void TFrmSveglia::fuocoCambiato()
{
    if (!isVisible())
        return;
    QWindow *fuoco = platform().focusWitness().userWindow();
    vista->focusChanged(fuoco);
    if (fuoco == windowHandle())
        segui(Evento::FuocoQui);
    else if (fuoco && !qobject_cast<QMessageBox *>(finestraDi(fuoco)))
        segui(Evento::FuocoAltrove);
}

void TFrmSveglia::FormActivate()
{
    accendi(TimerClose);
    if (FrmMain->sbSuono->text() == QLatin1String("Casse"))
        accendi(TimerCasse);
    else
        accendi(TimerSpeaker);
}

// ---- Closing

void TFrmSveglia::sbChiudiClick()
{
    const QScopedValueRollback<bool> dallUtente(chiusaDallUtente, true);
    close();
}

void TFrmSveglia::TimerCloseTimer()
{
    TimerClose->stop();
    // A close after "Chiudi" still hands the focus back, though the window is already hidden.
    if (isVisible())
        close();
    else
        FormClose();
}

void TFrmSveglia::closeEvent(QCloseEvent *event)
{
    // The title bar's close box comes from the window system; the program's own close() does not.
    const QScopedValueRollback<bool> dallUtente(chiusaDallUtente, chiusaDallUtente || event->spontaneous());
    ErrorDisplay::during([this] { FormClose(); });
    event->accept();
}

void TFrmSveglia::FormClose()
{
    // The hour field is the main window's focus widget from now on, active or not. The window
    // system is asked to activate it only while the user works in the program, as the end of a
    // pattern left it for the input held in it: asked from the background, desktops answer with an
    // attention flag or an "is ready" notice instead. The user's own click or close box on this
    // window, while it holds the focus, is what a Wayland compositor grants the request for.
    FrmMain->Edsveglia1->setFocus();
    if (QWindow *utente = PatternPlayer::userWindow()) {
        const bool perInput = chiusaDallUtente && utente == windowHandle() && isVisible();
        platform().activate(FrmMain, perInput ? windowHandle() : nullptr);
    }
    if (FrmMain->TipoSistema == QLatin1String("9x"))
        Toni::SpegniSpeaker();
    TimerCasse->stop();
}

// ---- The click that ends the program

bool TFrmSveglia::eventFilter(QObject *watched, QEvent *event)
{
    if (clicDelMouse(event->type()) && (watched == Label1 || watched == Label2 || watched == Label3))
        return true;
    return QWidget::eventFilter(watched, event);
}

void TFrmSveglia::FormClick()
{
    QCoreApplication::quit();
}

// ---- Sound

void TFrmSveglia::TimerSpeakerTimer()
{
    // Off first for every family: with no known family the pattern has no loop that would stop it.
    // Stopped once: a start while the pattern plays (the window active again) is for the next
    // pattern, whose tick waits for this one's end.
    TimerSpeaker->stop();
    const QString tipoSistema = FrmMain->TipoSistema;
    const int ripetizioni = Toni::ContaRipetizioni(FrmMain->sbDurata->text());
    // The sweep runs on the sound's thread with a copy of the frequency, handed back at its end.
    std::int32_t frequenza = Frequenza;
    const auto riporta = qScopeGuard([&] { Frequenza = frequenza; });
    PatternPlayer::play([&] { Toni::SuonaSpeaker(tipoSistema, ripetizioni, frequenza); });
    riferisciGuastoSuono();
}

void TFrmSveglia::TimerCasseTimer()
{
    const int ripetizioni = Toni::ContaRipetizioni(FrmMain->sbDurata->text());
    TimerCasse->stop();
    PatternPlayer::play([ripetizioni] { Toni::SuonaCasse(ripetizioni); });
    riferisciGuastoSuono();
}

// In the general error box once the event loop runs again, never while a pattern plays: an alarm
// must not wait for an answer.
void TFrmSveglia::riferisciGuastoSuono()
{
    if (guastoSuonoDetto)
        return;
    const QString guasto = platform().soundFault();
    if (guasto.isEmpty())
        return;
    guastoSuonoDetto = true;
    QMetaObject::invokeMethod(
        this, [guasto] { ErrorDisplay::show(guasto); }, Qt::QueuedConnection);
}
