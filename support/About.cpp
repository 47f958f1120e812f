// The about window: what the program is, who makes it, and the product caption and version.
#include "support/About.h"

#include "core/Config.h"
#include "widgets/Accessibility.h"
#include "widgets/ErrorDisplay.h"
#include "widgets/Fx.h"
#include "widgets/Glyphs.h"
#include "widgets/Jpeg.h"
#include "widgets/Labels.h"
#include "widgets/Layout.h"

#include <QFrame>
#include <QPixmap>
#include <QToolButton>
#include <QVBoxLayout>

TFrmAbout *FrmAbout = nullptr;

namespace {

using Layout::control;
using Layout::pixelFont;

const QColor Argento(0xC0, 0xC0, 0xC0);

// Each label starts at the left edge of its place, as laid out; this desktop's fonts run wider, so
// a text that does not fit its width is condensed (at the first showing) rather than clipped or moved.
QLabel *scritta(QWidget *parent, const char *name, QRect place, const QString &text, const QFont &font,
                Qt::Alignment allineamento = Qt::AlignLeft)
{
    auto *label = control<QLabel>(parent, name, place);
    label->setText(text);
    label->setFont(font);
    QPalette colori = label->palette();
    colori.setColor(QPalette::WindowText, Qt::blue);
    label->setPalette(colori);
    label->setAlignment(allineamento | Qt::AlignTop);
    return label;
}

// The addresses are configuration and longer than their places: each starts at its place's left
// edge and, once measured, takes the width of its text as far as the panel's edge.
ClickableLabel *indirizzo(QWidget *parent, const char *name, QRect place, const QString &text)
{
    auto *label = control<ClickableLabel>(parent, name, place);
    label->setText(text);
    aspettoLink(label);
    return label;
}

} // namespace

TFrmAbout::TFrmAbout(QWidget *parent)
    : QDialog(parent)
{
    buildLayout();
    Accessibility::describe(this);
}

void TFrmAbout::buildLayout()
{
    setObjectName(QStringLiteral("FrmAbout"));
    setWindowTitle(QStringLiteral("About"));
    setFont(pixelFont(QStringLiteral("MS Sans Serif"), 11));
    // The client area that an outer size of 266 x 327 leaves inside a classic sizeable frame.
    resize(258, 300);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setAutoFillBackground(true);
    QPalette argento = Panel1->palette();
    argento.setColor(QPalette::Window, Argento);
    Panel1->setPalette(argento);
    auto *fill = new QVBoxLayout(this);
    fill->setContentsMargins(0, 0, 0, 0);
    fill->addWidget(Panel1);

    // Panel2 stays on Panel1's bottom edge, inside its bevel, whatever the window's size.
    Panel2 = new QFrame(Panel1);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel2->setFixedHeight(49);
    auto *bottom = new QVBoxLayout(Panel1);
    bottom->setContentsMargins(1, 1, 1, 1);
    bottom->setSpacing(0);
    bottom->addStretch();
    bottom->addWidget(Panel2);
    Panel2->setGeometry(1, 300 - 1 - 49, 258 - 2, 49);
    Panel1->setGeometry(0, 0, 258, 300);

    QFont grassetto = font();
    grassetto.setBold(true);
    QFont sottolineato = grassetto;
    sottolineato.setUnderline(true);

    Label2 = scritta(Panel1, "Label2", {54, 8, 154, 13}, QStringLiteral("Informazioni sul programma"), sottolineato);
    LabelPrg = scritta(Panel1, "LabelPrg", {37, 24, 199, 27}, QStringLiteral("TQZ_Trillora"),
                       pixelFont(QStringLiteral("Comic Sans MS"), 19, true));
    // The one label of fixed width with its text centred.
    Label6 = scritta(Panel1, "Label6", {8, 65, 246, 13}, QStringLiteral("La sveglia per il pc!"), grassetto,
                     Qt::AlignHCenter);

    Image1 = control<QLabel>(Panel1, "Image1", {6, 88, 150, 142});

    LabelNomeVersione = scritta(Panel1, "LabelNomeVersione", {186, 104, 50, 13}, QStringLiteral("Versione"), grassetto);
    LabelVers = scritta(Panel1, "LabelVers", {179, 120, 65, 13}, QStringLiteral("04.2002-18"), grassetto);

    sbEsci = control<QToolButton>(Panel1, "sbEsci", {170, 213, 81, 22});
    sbEsci->setFocusPolicy(Qt::NoFocus);
    sbEsci->setText(QStringLiteral("Esci"));
    sbEsci->setIcon(glyphIcon(QStringLiteral("exit")));
    sbEsci->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);

    Label4 = scritta(Panel2, "Label4", {47, 6, 177, 13}, QStringLiteral("E' un prodotto TQZ"), grassetto);
    lblLink = indirizzo(Panel2, "lblLink", {80, 19, 99, 13}, Config::SiteAddress);
    Label13 = indirizzo(Panel2, "Label13", {97, 32, 68, 13}, Config::SupportAddress);

    Layout::centreOnDesktop(this);

    ErrorDisplay::attach(sbEsci, &QToolButton::clicked, this, &TFrmAbout::sbEsciClick);
    ErrorDisplay::attach(lblLink, &ClickableLabel::clicked, this, &TFrmAbout::lblLinkClick);
    ErrorDisplay::attach(Label13, &ClickableLabel::clicked, this, &TFrmAbout::Label13Click);
}

void TFrmAbout::setVisible(bool visible)
{
    if (visible && !rifinita) {
        rifinita = true;
        rifinisci();
    }
    QDialog::setVisible(visible);
}

// The window is made at start but seen, if ever, much later: its fonts are measured and its
// logo decoded only when it is about to be shown for the first time.
void TFrmAbout::rifinisci()
{
    for (QLabel *label : {Label2, LabelPrg, Label6, LabelNomeVersione, LabelVers, Label4})
        stringiSeServe(label);
    for (QLabel *address : {static_cast<QLabel *>(lblLink), static_cast<QLabel *>(Label13)})
        larghezzaDelTesto(address, Panel2->width() - address->x());
    const QImage logo = caricaJpeg(QStringLiteral(":/logos/about.jpg"));
    if (!logo.isNull()) {
        Image1->setPixmap(QPixmap::fromImage(logo));
        Image1->resize(logo.size());
    }
}

// Hidden, not destroyed: the next opening shows this same window.
void TFrmAbout::sbEsciClick()
{
    reject();
}

void TFrmAbout::lblLinkClick()
{
    Fx::ApriLink(Config::SiteAddress);
}

void TFrmAbout::Label13Click()
{
    Fx::ComponiMail(Config::SupportAddress,
                    QStringLiteral("Inf: ") + LabelPrg->text() + QStringLiteral(", ") + LabelVers->text(),
                    QStringLiteral("Vorrei ricevere informazioni in più per quanto riguarda:"));
}
