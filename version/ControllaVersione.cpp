// The version check window: reads the available build from the maker's page and offers the download.
#include "version/ControllaVersione.h"

#include "core/Cp1252.h"
#include "core/VersionPage.h"
#include "platform/Platform.h"
#include "support/About.h"
#include "support/Tables.h"
#include "widgets/Accessibility.h"
#include "widgets/ErrorDisplay.h"
#include "widgets/Fx.h"
#include "widgets/Labels.h"
#include "widgets/Layout.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTimer>
#include <QToolButton>

namespace {

using Layout::control;

const QColor nero(0, 0, 0);
const QColor verde(0, 128, 0);
const QColor rosso(255, 0, 0);

QFont carattere(int pixels, bool bold)
{
    return Layout::pixelFont(QStringLiteral("MS Sans Serif"), pixels, bold);
}

// Labels without a fixed size grow with their text from their top-left corner, as far as their
// maximum width: this desktop's fonts run wider, and a longer text is condensed there rather than
// running under the control beside it.
QLabel *etichetta(QWidget *parent, const char *name, QPoint at)
{
    auto *label = control<QLabel>(parent, name, QRect(at, QSize(1, 13)));
    label->setFont(carattere(11, false));
    return label;
}

void scrivi(QLabel *label, const QString &text)
{
    label->setText(text);
    larghezzaDelTesto(label, label->maximumWidth());
}

// Labels of fixed size keep it; a text that does not fit is condensed.
void scriviFisso(QLabel *label, const QString &text)
{
    label->setText(text);
    stringiSeServe(label);
}

// Between a label and the control to its right.
constexpr int Distacco = 4;

void colora(QLabel *label, const QColor &colour)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

// The buttons' captions are bold.
QToolButton *pulsante(QWidget *parent, const char *name, QRect place, const QString &caption,
                      const QString &glyph, const QString &hint)
{
    QToolButton *b = Layout::button(parent, name, place, caption, glyph, hint);
    b->setFont(carattere(11, true));
    return b;
}

} // namespace

TFrmControllaVersione::TFrmControllaVersione(QWidget *parent)
    : QDialog(parent)
{
    buildLayout();
    Accessibility::describe(this);
    FormCreate();
}

TFrmControllaVersione::~TFrmControllaVersione()
{
    // The loader goes first, so that no late completion reaches a window half torn down.
    WebBrowser1->disconnect(this);
    delete WebBrowser1;
    WebBrowser1 = nullptr;
    FormDestroy();
}

void TFrmControllaVersione::buildLayout()
{
    setObjectName(QStringLiteral("FrmControllaVersione"));
    setWindowTitle(QStringLiteral("Controllo eventuali aggiornamenti disponibili"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
    setFont(carattere(11, false));
    setFixedSize(391, 82);
    Layout::centreOnDesktop(this);

    Panel1 = control<QFrame>(this, "Panel1", {0, 0, 391, 82});
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);

    Label1 = control<QLabel>(Panel1, "Label1", {5, 6, 93, 13});
    Label1->setFont(carattere(11, true));
    scriviFisso(Label1, QStringLiteral("Versione attuale"));
    Label2 = control<QLabel>(Panel1, "Label2", {209, 8, 178, 13});
    Label2->setFont(carattere(11, true));
    scriviFisso(Label2, QStringLiteral("Versione disponibile su internet"));
    LabVerAttuale = etichetta(Panel1, "LabVerAttuale", {5, 22});
    LabVerInternet = etichetta(Panel1, "LabVerInternet", {212, 24});
    LabMessaggioGrande = control<QLabel>(Panel1, "LabMessaggioGrande", {5, 37, 378, 25});
    LabMessaggioGrande->setFont(carattere(16, true));
    // From the top, as the verdict's place overlaps the buttons' top: centred, its letters' tails
    // would run under them.
    LabMessaggioGrande->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    scriviFisso(LabMessaggioGrande, QStringLiteral("Controllo versione in corso..."));
    LabMessaggioPiccolo = etichetta(Panel1, "LabMessaggioPiccolo", {6, 61});

    sbControlla = pulsante(Panel1, "sbControlla", {278, 56, 80, 21}, QStringLiteral("Controlla"),
                           QStringLiteral("check"), QStringLiteral("Controlla versione"));
    sbScarica = pulsante(Panel1, "sbScarica", {196, 56, 80, 21}, QStringLiteral("Scarica"),
                         QStringLiteral("download"), {});

    // Each growing label reaches as far as the next control on its line, or the panel's edge.
    LabVerAttuale->setMaximumWidth(Label2->x() - Distacco - LabVerAttuale->x());
    LabVerInternet->setMaximumWidth(Panel1->width() - Panel1->frameWidth() - LabVerInternet->x());
    LabMessaggioPiccolo->setMaximumWidth(sbScarica->x() - Distacco - LabMessaggioPiccolo->x());
    sbScarica->setEnabled(false);
    sbEsci = pulsante(Panel1, "sbEsci", {360, 57, 25, 20}, {}, QStringLiteral("exit"),
                      QStringLiteral("Esci senza salvare le modifiche"));

    ListURL = control<QListWidget>(Panel1, "ListURL", {163, 3, 38, 14});
    ListURL->setToolTip(QStringLiteral("Lista URL..."));
    ListURL->hide();
    Editurl = control<QLineEdit>(Panel1, "Editurl", {104, 21, 33, 21});
    Editurl->hide();

    WebBrowser1 = platform().createBrowser(this);
    WebBrowser1->setObjectName(QStringLiteral("WebBrowser1"));

    ErrorDisplay::attach(sbControlla, &QToolButton::clicked, this, &TFrmControllaVersione::sbControllaClick);
    ErrorDisplay::attach(sbScarica, &QToolButton::clicked, this, &TFrmControllaVersione::sbScaricaClick);
    ErrorDisplay::attach(sbEsci, &QToolButton::clicked, this, &TFrmControllaVersione::sbEsciClick);
    ErrorDisplay::attach(WebBrowser1, &Browser::documentComplete, this, &TFrmControllaVersione::WebBrowser1DocumentComplete);
    // A loader that cannot be had ends the check as a failed load does, then says why.
    connect(WebBrowser1, &Browser::unusable, this,
            ErrorDisplay::guarded([](const QString &motivo) { ErrorDisplay::show(motivo); }));
}

void TFrmControllaVersione::FormCreate()
{
    // A failed translation leaves Italian captions; the set-up below is what the window needs to work.
    ErrorDisplay::during([this] { TraduciInterfaccia(); });

    TestoPagina.clear();
    NomePrg = FrmAbout ? FrmAbout->LabelPrg->text() : QString();
    const QString host = platform().siteHost();
    URLControllo = PaginaVersione::indirizzoControllo(host, NomePrg);
    Criterio = criterioPerProdotto(NomePrg.toLower());
    Editurl->setText(PaginaVersione::indirizzoScaricamento(host, Fx::CodiceProdotto));
    sbScarica->setToolTip(Editurl->text());
}

void TFrmControllaVersione::TraduciInterfaccia()
{
    const auto didascalia = [](auto *w) {
        return Fx::Didascalia {[w] { return w->text(); }, [w](const QString &t) { w->setText(t); }};
    };
    const auto intestazione = [](QLabel *l) {
        return Fx::Didascalia {[l] { return l->text(); }, [l](const QString &t) { scriviFisso(l, t); }};
    };
    Fx::TraduciInterfaccia({
        {[this] { return windowTitle(); }, [this](const QString &t) { setWindowTitle(t); }},
        intestazione(Label1),
        intestazione(Label2),
        didascalia(sbScarica),
        didascalia(sbControlla),
    });
}

void TFrmControllaVersione::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // Queued, so that the window is on screen before the question comes up.
    if (stato == Stato::DaAttivare)
        QTimer::singleShot(0, this, ErrorDisplay::guarded([this] { FormActivate(); }));
}

void TFrmControllaVersione::keyPressEvent(QKeyEvent *event)
{
    // Only the close button and the title bar close this window, Esc does not.
    if (event->key() == Qt::Key_Escape)
        return;
    QDialog::keyPressEvent(event);
}

void TFrmControllaVersione::FormActivate()
{
    if (stato != Stato::DaAttivare)
        return;
    stato = Stato::Pronta;

    scrivi(LabVerInternet, {});
    scrivi(LabVerAttuale, {});
    scrivi(LabMessaggioPiccolo, {});
    colora(LabMessaggioGrande, nero);

    const QString testoVersione = FrmAbout ? FrmAbout->LabelVers->text() : QString();
    NumeroBuild = testoVersione.mid(8);
    const std::optional<std::int32_t> attuale = PaginaVersione::leggiVersioneAttuale(testoVersione);
    if (!attuale)
        throw TrilloraError(QStringLiteral("'%1' non è un valore intero valido").arg(NumeroBuild));
    VersioneAttuale = *attuale;
    scrivi(LabVerAttuale, QString::number(VersioneAttuale));

    if (Fx::MsgRichiesta(QStringLiteral("Per eseguire il controllo di evetuali nuove versioni bisogna essere "
                                        "connessi ad internet, continuo?")))
        sbControllaClick();
    else
        LabMessaggioGrande->clear();
}

void TFrmControllaVersione::sbControllaClick()
{
    sbControlla->setEnabled(false);
    PaginaCaricata = false;
    stato = Stato::InAttesaDellaPagina;
    CaricaPagina(URLControllo);
}

void TFrmControllaVersione::WebBrowser1DocumentComplete()
{
    if (!WebBrowser1->hasDocument())
        return;
    TestoPagina.append(WebBrowser1->bodyOuterHtml());
    PaginaCaricata = true;
    // Only the first completion after the navigation ends the check; frames may add more pages.
    if (stato == Stato::InAttesaDellaPagina) {
        stato = Stato::Pronta;
        ConcludiControllo();
    }
}

void TFrmControllaVersione::ConcludiControllo()
{
    EstraiURLConCriterio(TestoPagina, ListURL, Criterio.DallaFine, Criterio.MarcaBlocco, Criterio.MarcaConta,
                         Criterio.MarcaInizio, Criterio.MarcaFine, Criterio.CaratteriCoda, Criterio.IncludiInizio,
                         Criterio.IncludiFine, Criterio.Salta);

    // Neither list is ever emptied, so the first piece since the window opened is the one read.
    std::optional<QString> primo;
    if (ListURL->count() > 0)
        primo = ListURL->item(0)->text();
    const std::optional<std::int32_t> letto = PaginaVersione::leggiNumeroPagina(primo);
    const std::int32_t disponibile = letto.value_or(-1);
    scrivi(LabVerInternet, letto ? QString::number(*letto) : QString());

    if (PaginaVersione::eVersioneNuova(disponibile, VersioneAttuale)) {
        scriviFisso(LabMessaggioGrande, QStringLiteral("Disponibile una nuove versione!!"));
        colora(LabMessaggioGrande, verde);
        scrivi(LabMessaggioPiccolo, QStringLiteral("Premi su scarica e chiudi il programma."));
        sbScarica->setEnabled(true);
    } else {
        scriviFisso(LabMessaggioGrande, QStringLiteral("Nessuna nuova versione disponibile."));
        colora(LabMessaggioGrande, rosso);
        scrivi(LabMessaggioPiccolo, letto ? QStringLiteral("Impossibile scaricare la nuova versione.")
                                          : QStringLiteral("Impossibile trovare il numero di versione."));
    }
    sbControlla->setEnabled(true);
}

void TFrmControllaVersione::EstraiURLConCriterio(const QList<QByteArray> &Righe, QListWidget *Risultati,
                                                 bool DallaFine, const QByteArray &MarcaBlocco,
                                                 const QByteArray &MarcaConta, const QByteArray &MarcaInizio,
                                                 const QByteArray &MarcaFine, const QByteArray &CaratteriCoda,
                                                 bool IncludiInizio, bool IncludiFine, std::int16_t Salta)
{
    QList<QByteArray> pezzi;
    PaginaVersione::EstraiURLConCriterio(Righe, pezzi, DallaFine, MarcaBlocco, MarcaConta, MarcaInizio, MarcaFine,
                                         CaratteriCoda, IncludiInizio, IncludiFine, Salta);
    for (const QByteArray &pezzo : pezzi)
        Risultati->addItem(daCp1252(pezzo));
}

QByteArray TFrmControllaVersione::invertiTesto(const QByteArray &Testo)
{
    return PaginaVersione::invertiTesto(Testo);
}

void TFrmControllaVersione::sbScaricaClick()
{
    sbScarica->setEnabled(false);
    CaricaPagina(Editurl->text());
}

void TFrmControllaVersione::sbEsciClick()
{
    close();
}

void TFrmControllaVersione::FormDestroy()
{
    TestoPagina.clear();
}

void TFrmControllaVersione::CaricaPagina(const QString &indirizzo)
{
    WebBrowser1->navigate(indirizzo);
}
