// The splash window: logo, loading line and site link for ten seconds before the main window.
#include "support/Start.h"

#include "core/Config.h"
#include "support/About.h"
#include "support/Tables.h"
#include "widgets/Accessibility.h"
#include "widgets/ErrorDisplay.h"
#include "widgets/Fx.h"
#include "widgets/Jpeg.h"
#include "widgets/Labels.h"
#include "widgets/Layout.h"
#include "widgets/ProgramTimer.h"

#include <QCloseEvent>
#include <QFrame>
#include <QPixmap>
#include <QShowEvent>
#include <QTimer>

TfrmStart *frmStart = nullptr;

namespace {

using Layout::pixelFont;

constexpr int Larghezza = 280;
constexpr int Altezza = 317;
constexpr int AltezzaPannello = 52;

template <typename W>
W *crea(QWidget *parent, const char *name, int left, int top)
{
    auto *w = new W(parent);
    w->setObjectName(QLatin1String(name));
    w->move(left, top);
    return w;
}

} // namespace

TfrmStart::TfrmStart(QWidget *parent)
    : QDialog(parent)
{
    buildLayout();
    Accessibility::describe(this);
    // A failed lookup leaves the loading line in Italian; the splash is made all the same.
    ErrorDisplay::during([this] { FormCreate(); });
}

void TfrmStart::buildLayout()
{
    setObjectName(QStringLiteral("frmStart"));
    setWindowTitle(QStringLiteral("Caricamento"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFont(pixelFont(QStringLiteral("MS Sans Serif"), 11));
    setFixedSize(Larghezza, Altezza);

    ImageLogo = crea<ClickableLabel>(this, "ImageLogo", 0, 0);
    ImageLogo->resize(Larghezza, Altezza - AltezzaPannello);
    const QImage logo = caricaJpeg(QStringLiteral(":/logos/splash.jpg"));
    if (!logo.isNull()) {
        ImageLogo->setPixmap(QPixmap::fromImage(logo));
        ImageLogo->resize(logo.size());
    }

    Panel1 = crea<QFrame>(this, "Panel1", 0, Altezza - AltezzaPannello);
    Panel1->resize(Larghezza, AltezzaPannello);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setFont(pixelFont(QStringLiteral("MS Sans Serif"), 11, true));

    // The lines size themselves to their text, as far as the panel's right bevel.
    Label1 = crea<QLabel>(Panel1, "Label1", 40, 6);
    Label1->setText(QStringLiteral("Caricamento in corso, attendere.."));
    LabelStato = crea<QLabel>(Panel1, "LabelStato", 40, 21);
    LabelStato->setText(QStringLiteral("Inizializzazione"));
    LabelSito = crea<ClickableLabel>(Panel1, "LabelSito", 41, 35);
    LabelSito->setText(Config::SiteAddress);
    aspettoLink(LabelSito);
    for (QLabel *line : {Label1, LabelStato, static_cast<QLabel *>(LabelSito)}) {
        line->resize(line->width(), 13);
        larghezzaDelTesto(line, Larghezza - 1 - line->x());
    }

    TimerStart = new ProgramTimer(this, "TimerStart", 10000);

    Layout::centreOnDesktop(this);

    ErrorDisplay::attach(TimerStart, &QTimer::timeout, this, &TfrmStart::TimerStartTimer);
    ErrorDisplay::attach(ImageLogo, &ClickableLabel::clicked, this, &TfrmStart::ImageLogoClick);
    ErrorDisplay::attach(LabelSito, &ClickableLabel::clicked, this, &TfrmStart::LabelSitoClick);
}

// The about window is made before the splash, so its caption is already there.
void TfrmStart::FormCreate()
{
    setWindowTitle(QStringLiteral("Caricamento ") + (FrmAbout ? FrmAbout->LabelPrg->text() : QString()));
    TraduciInterfaccia();
}

void TfrmStart::TraduciInterfaccia()
{
    Fx::TraduciInterfaccia({{[this] { return Label1->text(); },
                             [this](const QString &text) {
                                 Label1->setText(text);
                                 larghezzaDelTesto(Label1, Larghezza - 1 - Label1->x());
                             }}});
}

void TfrmStart::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    chiusaDalTimer = false;
    ErrorDisplay::during([this] { FormShow(); });
}

// Showing again (or a click) must not restart the ten seconds.
void TfrmStart::FormShow()
{
    if (!TimerStart->isActive())
        TimerStart->start();
}

// The main window started this splash from its own first showing and comes up as soon as
// the modal run ends, so closing is all that is left to do.
void TfrmStart::TimerStartTimer()
{
    TimerStart->stop();
    chiusaDalTimer = true;
    accept();
}

void TfrmStart::ImageLogoClick()
{
    Fx::ApriLink(Config::SiteAddress);
}

void TfrmStart::LabelSitoClick()
{
    Fx::ApriLink(Config::SiteAddress);
}

void TfrmStart::reject() {}

// A window manager may still offer to close it (Alt+F4); only the timer does.
void TfrmStart::closeEvent(QCloseEvent *event)
{
    if (chiusaDalTimer)
        QDialog::closeEvent(event);
    else
        event->ignore();
}
