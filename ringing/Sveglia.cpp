// The red ringing window: layout, activation, closing, the click that ends the program, the sound timers.
#include "ringing/Sveglia.h"

#include "app/Main.h"
#include "ringing/TonePatterns.h"
#include "support/Layout.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTimer>
#include <QToolButton>

TFrmSveglia *FrmSveglia = nullptr;

namespace {

using Layout::carattere;

QLabel *scritta(QWidget *parent, const char *name, QPoint where, const QString &text, const QColor &colour)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setFont(carattere(QStringLiteral("Verdana"), 32, true));
    QPalette colours = label->palette();
    colours.setColor(QPalette::WindowText, colour);
    label->setPalette(colours);
    label->setAutoFillBackground(false);
    label->move(where);
    return label;
}

QTimer *timer(QObject *parent, const char *name, int interval)
{
    auto *t = new QTimer(parent);
    t->setObjectName(QLatin1String(name));
    t->setInterval(interval);
    // The 50 s close would otherwise be allowed to drift by seconds.
    t->setTimerType(Qt::PreciseTimer);
    return t;
}

// Switching on a running timer must not restart its count.
void accendi(QTimer *t)
{
    if (!t->isActive())
        t->start();
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
}

void TFrmSveglia::buildLayout()
{
    setObjectName(QStringLiteral("FrmSveglia"));
    setWindowTitle(QStringLiteral("Trillora"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    // Hiding this window, even as the last one on screen, never ends the program.
    setAttribute(Qt::WA_QuitOnClose, false);
    setFont(carattere(QStringLiteral("MS Sans Serif"), 11, false));
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
    sbChiudi->setFont(carattere(QStringLiteral("MS Sans Serif"), 11, true));
    QPalette testo = sbChiudi->palette();
    testo.setColor(QPalette::ButtonText, Qt::red);
    sbChiudi->setPalette(testo);

    TimerClose = timer(this, "TimerClose", 50000);
    TimerSpeaker = timer(this, "TimerSpeaker", 100);
    TimerCasse = timer(this, "TimerCasse", 50);

    connect(sbChiudi, &QToolButton::clicked, this, &TFrmSveglia::sbChiudiClick);
    connect(TimerClose, &QTimer::timeout, this, &TFrmSveglia::TimerCloseTimer);
    connect(TimerSpeaker, &QTimer::timeout, this, &TFrmSveglia::TimerSpeakerTimer);
    connect(TimerCasse, &QTimer::timeout, this, &TFrmSveglia::TimerCasseTimer);
}

void TFrmSveglia::setVisible(bool visible)
{
    // Centred once; every later showing keeps the place the window last had.
    if (visible && !shownOnce) {
        shownOnce = true;
        Layout::centraSulDesktop(this);
        // Made at start, first seen at the first alarm: the large letters are measured then.
        for (QLabel *label : {Label1, Label3, Label2})
            label->adjustSize();
    }
    QWidget::setVisible(visible);
}

bool TFrmSveglia::event(QEvent *event)
{
    // Sent only when the window becomes active, so showing an active window again plays nothing.
    if (event->type() == QEvent::WindowActivate)
        FormActivate();
    return QWidget::event(event);
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
    FormClose();
    event->accept();
}

void TFrmSveglia::FormClose()
{
    FrmMain->Edsveglia1->setFocus();
    FrmMain->raise();
    FrmMain->activateWindow();
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

void TFrmSveglia::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        premutoSulFondo = true;
    QWidget::mousePressEvent(event);
}

void TFrmSveglia::mouseReleaseEvent(QMouseEvent *event)
{
    const bool clic = premutoSulFondo && event->button() == Qt::LeftButton
        && rect().contains(event->position().toPoint());
    premutoSulFondo = false;
    if (clic)
        FormClick();
    else
        QWidget::mouseReleaseEvent(event);
}

void TFrmSveglia::FormClick()
{
    QCoreApplication::quit();
}

// ---- Sound

void TFrmSveglia::TimerSpeakerTimer()
{
    // Off first for every family: with no known family the pattern has no loop that would stop it.
    TimerSpeaker->stop();
    Toni::SuonaSpeaker(FrmMain->TipoSistema, Toni::ContaRipetizioni(FrmMain->sbDurata->text()), Frequenza,
                       [this] { TimerSpeaker->stop(); });
}

void TFrmSveglia::TimerCasseTimer()
{
    const int ripetizioni = Toni::ContaRipetizioni(FrmMain->sbDurata->text());
    TimerCasse->stop();
    Toni::SuonaCasse(ripetizioni);
}
