// The bug report window: a prepared mail to the maker and a link to the site's forum.
#include "support/Bug.h"

#include "core/Config.h"
#include "support/About.h"
#include "support/Tables.h"
#include "widgets/Accessibility.h"
#include "widgets/ErrorDisplay.h"
#include "widgets/Fx.h"
#include "widgets/Glyphs.h"
#include "widgets/Labels.h"
#include "widgets/Layout.h"

#include <QPushButton>

namespace {

using Layout::control;
using Layout::pixelFont;

QPushButton *pulsante(QWidget *parent, const char *name, QRect place, const QString &caption, const QString &glyph,
                      QSize glyphSize)
{
    auto *b = control<QPushButton>(parent, name, place);
    b->setText(caption);
    b->setIcon(glyphIcon(glyph));
    b->setIconSize(glyphSize);
    b->setAutoDefault(true);
    return b;
}

// Space between the end of the sentence and the address that completes it.
constexpr int SpazioLink = 4;

} // namespace

TfrmBug::TfrmBug(QWidget *parent)
    : QDialog(parent)
{
    buildLayout();
    Accessibility::describe(this);
    // A failed lookup shows its message; the window opens with the captions done so far.
    ErrorDisplay::during([this] { FormCreate(); });
    adattaTesti();
}

void TfrmBug::buildLayout()
{
    setObjectName(QStringLiteral("frmBug"));
    setWindowTitle(QStringLiteral("Segnalazione bug al team TQZ"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint);
    setFont(pixelFont(QStringLiteral("MS Sans Serif"), 11));
    setFixedSize(296, 144);

    Label4 = control<QLabel>(this, "Label4", {8, 8, 272, 13});
    Label4->setText(QStringLiteral("Il tuo supporto aiuta a migliorare i software TQZ"));
    QFont grassetto = font();
    grassetto.setBold(true);
    Label4->setFont(grassetto);
    Label1 = control<QLabel>(this, "Label1", {6, 32, 271, 13});
    Label1->setText(QStringLiteral("Premi su 'segnala' per inoltrarci la segnalazione dell'errore:"));

    ButSegnala = pulsante(this, "ButSegnala", {64, 64, 75, 25}, QStringLiteral("Segnala"),
                          QStringLiteral("mail"), {17, 16});
    ButEsci = pulsante(this, "ButEsci", {160, 64, 75, 25}, QStringLiteral("Esci"), QStringLiteral("exit"),
                       {16, 16});
    setTabOrder(ButSegnala, ButEsci);

    Label2 = control<QLabel>(this, "Label2", {7, 105, 262, 13});
    Label2->setText(QStringLiteral("Le risposte ai bug già segnalati sono visibli sulla sezione"));
    Label3 = control<QLabel>(this, "Label3", {7, 121, 132, 13});
    Label3->setText(QStringLiteral("forum del nostro sito internet"));
    lblLink = control<ClickableLabel>(this, "lblLink", {143, 120, 99, 13});
    lblLink->setText(Config::SiteAddress);
    aspettoLink(lblLink);

    Layout::centreOnDesktop(this);
    ButSegnala->setFocus();

    ErrorDisplay::attach(ButSegnala, &QPushButton::clicked, this, &TfrmBug::ButSegnalaClick);
    ErrorDisplay::attach(ButEsci, &QPushButton::clicked, this, &TfrmBug::ButEsciClick);
    ErrorDisplay::attach(lblLink, &ClickableLabel::clicked, this, &TfrmBug::lblLinkClick);
}

void TfrmBug::FormCreate()
{
    TraduciInterfaccia();
}

void TfrmBug::TraduciInterfaccia()
{
    auto testo = [](QLabel *label) {
        return Fx::Didascalia {[label] { return label->text(); }, [label](const QString &t) { label->setText(t); }};
    };
    auto pulsanteTesto = [](QPushButton *button) {
        return Fx::Didascalia {[button] { return button->text(); }, [button](const QString &t) { button->setText(t); }};
    };
    Fx::TraduciInterfaccia({
        {[this] { return windowTitle(); }, [this](const QString &t) { setWindowTitle(t); }},
        testo(Label4),
        testo(Label1),
        testo(Label2),
        testo(Label3),
        pulsanteTesto(ButSegnala),
        pulsanteTesto(ButEsci),
    });
}

// The fonts of this desktop run wider than the layout's; the lines keep their places and
// "forum ..." is still followed by the address on the same line.
void TfrmBug::adattaTesti()
{
    for (QLabel *line : {Label4, Label1, Label2})
        stringiSeServe(line);
    larghezzaDelTesto(Label3, Label3->width());
    larghezzaDelTesto(lblLink, width() - lblLink->x());
    const int after = Label3->x() + Label3->width() + SpazioLink;
    lblLink->move(qMax(lblLink->x(), after), lblLink->y());
    larghezzaDelTesto(lblLink, width() - lblLink->x());
}

void TfrmBug::ButSegnalaClick()
{
    Fx::ComponiMail(Config::SupportAddress,
                    QStringLiteral("Bug: ") + FrmAbout->LabelPrg->text() + QStringLiteral(", ")
                        + FrmAbout->LabelVers->text(),
                    QStringLiteral("Di seguito la segnalzione del bug:"));
}

void TfrmBug::ButEsciClick()
{
    reject();
}

void TfrmBug::lblLinkClick()
{
    Fx::ApriLink(Config::SiteAddress);
}
