// The main window's handlers: first showing, clock and trigger, slots, sound options, alarm file, other windows.
#include "app/Main.h"

#include "core/AlarmFile.h"
#include "core/AlarmSchedule.h"
#include "platform/Platform.h"
#include "ringing/Sveglia.h"
#include "support/About.h"
#include "support/Bug.h"
#include "support/Start.h"
#include "version/ControllaVersione.h"
#include "widgets/Accessibility.h"
#include "widgets/ErrorDisplay.h"
#include "widgets/Fx.h"
#include "widgets/Layout.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>
#include <QToolButton>
#include <memory>

TFrmMain *FrmMain = nullptr;

namespace {

// Modal to the main window only: an alarm's ringing window, coming up meanwhile, must stay usable.
void mostraModale(QDialog *window)
{
    window->setWindowModality(Qt::WindowModal);
    window->exec();
}

bool invio(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace

TFrmMain::TFrmMain(QWidget *parent)
    : QWidget(parent)
{
    buildLayout();
    Accessibility::describe(this);
    FormCreate();
}

// ---- Creation and first showing

void TFrmMain::FormCreate()
{
    sbLoad->setEnabled(platform().fileExists(fileSveglie(false)));
    RilevaSistema();
    Timer1->start();
    TimerElimina->start();
}

void TFrmMain::RilevaSistema()
{
    switch (platform().platformId()) {
    case 1:
        TipoSistema = QStringLiteral("9x");
        break;
    case 2:
        TipoSistema = QStringLiteral("NT");
        break;
    default:
        TipoSistema.clear();
    }
}

void TFrmMain::setVisible(bool visible)
{
    if (visible && !giaMostrata) {
        giaMostrata = true;
        Layout::centreOnDesktop(this);
        ErrorDisplay::during([this] { FormShow(); });
        caratteriPropri();
    }
    QWidget::setVisible(visible);
    if (visible)
        activateWindow();
}

// The splash runs modally before the main window reaches the screen; the timers already run.
void TFrmMain::FormShow()
{
    if (frmStart)
        frmStart->exec();
}

// ---- Clock and trigger

void TFrmMain::Timer1Timer()
{
    for (int i = 1; i <= 5; ++i) {
        const Slot s = slot(i);
        if (ControllaSveglia(s.hour, s.minute)) {
            // At most one slot per tick; the others are looked at 400 ms later.
            if (FrmSveglia) {
                FrmSveglia->show();
                FrmSveglia->raise();
                FrmSveglia->activateWindow();
            }
            break;
        }
    }
    AggiornaRisveglio();
}

bool TFrmMain::ControllaSveglia(QLineEdit *hour, QLineEdit *minute)
{
    // The time is read for every slot, but the clock text changes once a second: it is formatted
    // and shown again only then, not five times in each 400 ms tick.
    const QTime now = platform().localTime();
    const int secondo = now.isValid() ? now.msecsSinceStartOfDay() / 1000 : -1;
    if (secondo != secondoMostrato || EdOrologio->text() != orologio) {
        secondoMostrato = secondo;
        orologio = Sveglie::testoOrologio(now);
        EdOrologio->setText(orologio);
    }
    if (!Sveglie::chiaviUguali(orologio, hour->text(), minute->text()))
        return false;
    // Emptying the slot is what keeps the alarm from ringing again.
    hour->setText(Sveglie::Vuoto);
    minute->setText(Sveglie::Vuoto);
    return true;
}

// ---- Waking from sleep, and alarms slept through
// Every tick looks again, so a clock that was set, or that jumped while the computer slept, moves
// the wake time as surely as a slot that changed; the platform hears only the changes. A change of
// the slots is told at once, not at the next tick, as the computer may go to sleep meanwhile. A
// jump that passed a slot's whole minute is told to the user.

void TFrmMain::AggiornaRisveglio()
{
    QList<Sveglie::TestiSlot> sveglie;
    for (int i = 1; i <= 5; ++i) {
        const Slot s = slot(i);
        sveglie.append({s.hour->text(), s.minute->text()});
    }
    // At start, and whenever every slot is empty, the tick reads no date and no time zone.
    if (risveglio.atRest(sveglie)) {
        mancate.atRest();
        return;
    }
    const QDateTime now = platform().localDateTime();
    risveglio.update(sveglie, now);
    mancate.update(sveglie, now, platform().msecsSinceBoot(), platform().msecsAsleep(),
                     [this](int i) { ErrorDisplay::during([this, i] { svuota(i); }); });
}

// ---- Slots

void TFrmMain::sbConfermaClick()
{
    CompletaZeri();
    if (!OrarioValido()) {
        Fx::MsgAttenzione(QStringLiteral("L'orario immesso non è valido"));
        Edsveglia1->setFocus();
        return;
    }
    for (int i = 1; i <= 5; ++i) {
        const Slot s = slot(i);
        if (SvegliaPresente(s.hour, s.minute)) {
            Fx::MsgAttenzione(QStringLiteral("La sveglia per le ore '") + Edsveglia1->text() + QStringLiteral(" e ")
                              + EDSveglia2->text() + QStringLiteral("' esiste già!"));
            Edsveglia1->setFocus();
            return;
        }
    }
    InserisciSveglia();
    Edsveglia1->setFocus();
}

void TFrmMain::CompletaZeri()
{
    Edsveglia1->setText(Sveglie::completaZero(Edsveglia1->text()));
    EDSveglia2->setText(Sveglie::completaZero(EDSveglia2->text()));
}

bool TFrmMain::OrarioValido() const
{
    return Sveglie::orarioValido(Edsveglia1->text(), EDSveglia2->text());
}

bool TFrmMain::SvegliaPresente(QLineEdit *hour, QLineEdit *minute) const
{
    return hour->text() == Edsveglia1->text() && minute->text() == EDSveglia2->text();
}

void TFrmMain::InserisciSveglia()
{
    for (int i = 1; i <= 5; ++i) {
        const Slot s = slot(i);
        if (s.hour->text() == Sveglie::Vuoto) {
            s.hour->setText(Edsveglia1->text());
            s.minute->setText(EDSveglia2->text());
            AggiornaRisveglio();
            return;
        }
    }
    Fx::MsgInfo(QStringLiteral("Esaurita la memoria per le sveglie!!"));
}

void TFrmMain::Edsveglia1Change()
{
    if (Edsveglia1->text().size() == 2)
        EDSveglia2->setFocus();
}

bool TFrmMain::Edsveglia1KeyUp(QLineEdit *, int key)
{
    if (!invio(key))
        return false;
    sbConferma->click();
    return true;
}

bool TFrmMain::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Edsveglia1 || watched == EDSveglia2) {
        switch (event->type()) {
        case QEvent::KeyPress: {
            const auto *key = static_cast<QKeyEvent *>(event);
            if (invio(key->key()) && !key->isAutoRepeat())
                invioPremutoInIngresso = true;
            break;
        }
        case QEvent::KeyRelease: {
            const auto *key = static_cast<QKeyEvent *>(event);
            if (key->isAutoRepeat())
                break;
            // An Enter whose press went to a message box must not insert again when its
            // release lands here after the box has closed.
            if (invio(key->key()) && !invioPremutoInIngresso)
                break;
            invioPremutoInIngresso = false;
            ErrorDisplay::during([&] { Edsveglia1KeyUp(static_cast<QLineEdit *>(watched), key->key()); });
            break;
        }
        case QEvent::FocusOut:
            invioPremutoInIngresso = false;
            break;
        case QEvent::FocusIn:
            // As a desktop entry field does: reached by the keyboard or by the program, its text is
            // selected, so typing replaces the "*" (or the previous entry) instead of adding to it.
            if (static_cast<QFocusEvent *>(event)->reason() != Qt::MouseFocusReason)
                static_cast<QLineEdit *>(watched)->selectAll();
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TFrmMain::Panel1Click()
{
    Edsveglia1->setText(ed1sv1->text());
    EDSveglia2->setText(Ed1sv2->text());
    Fx::MsgInfo(Panel1->objectName());
}

void TFrmMain::svuota(int index)
{
    const Slot s = slot(index);
    s.hour->setText(Sveglie::Vuoto);
    s.minute->setText(Sveglie::Vuoto);
    AggiornaRisveglio();
}

void TFrmMain::sbCanc1Click()
{
    svuota(1);
}

void TFrmMain::sbCanc2Click()
{
    svuota(2);
}

void TFrmMain::sbCanc3Click()
{
    svuota(3);
}

void TFrmMain::SbCanc4Click()
{
    svuota(4);
}

void TFrmMain::SbCanc5Click()
{
    svuota(5);
}

void TFrmMain::TimerEliminaTimer()
{
    for (int i = 1; i <= 5; ++i) {
        const Slot s = slot(i);
        s.cancel->setEnabled(Sveglie::occupato(s.hour->text(), s.minute->text()));
    }
}

// ---- Sound options: the captions are the whole state.

void TFrmMain::sbSuonoClick()
{
    sbSuono->setText(sbSuono->text() == QLatin1String("Speaker") ? QStringLiteral("Casse")
                                                                  : QStringLiteral("Speaker"));
}

void TFrmMain::sbDurataClick()
{
    sbDurata->setText(sbDurata->text() == QLatin1String("Maggiore") ? QStringLiteral("Minore")
                                                                     : QStringLiteral("Maggiore"));
}

// ---- Alarm file

QStringList TFrmMain::campiFile() const
{
    QStringList lines;
    for (int i = 1; i <= 5; ++i) {
        const Slot s = slot(i);
        lines << s.hour->text() << s.minute->text();
    }
    lines << sbSuono->text() << sbDurata->text();
    return lines;
}

void TFrmMain::impostaCampiFile(const QStringList &lines)
{
    const auto line = [&lines](int n) { return n < lines.size() ? lines[n] : QString(); };
    for (int i = 1; i <= 5; ++i) {
        const Slot s = slot(i);
        s.hour->setText(line(2 * i - 2));
        s.minute->setText(line(2 * i - 1));
    }
    sbSuono->setText(line(10));
    sbDurata->setText(line(11));
}

void TFrmMain::SpeedButton1Click()
{
    if (!FileSveglie::scrivi(fileSveglie(true), campiFile())) {
        Fx::MsgErrore(QStringLiteral("Scrittura non eseguita."));
        return;
    }
    Fx::MsgInfo(QStringLiteral("Orari e tipologia di suono memorizzati!"));
    sbLoad->setEnabled(true);
}

// Beside the program, as ever; but where the program's folder may not be written (installed for the
// whole system), a save there could only fail, and the file lives in the user's own configuration
// folder, made by the first save. A folder that cannot be made leaves no file to write, and the save
// fails with its own message.
QString TFrmMain::fileSveglie(bool salvando) const
{
    const QString cartella = Fx::CartellaProgramma();
    if (platform().folderWritable(cartella))
        return cartella + FileSveglie::NomeFile;
    const QString propria = platform().configFolder() + QStringLiteral("/trillora/");
    if (salvando && !FileSveglie::creaCartella(propria))
        return QString();
    return propria + FileSveglie::NomeFile;
}

void TFrmMain::sbLoadClick()
{
    const auto lines = FileSveglie::leggi(fileSveglie(false));
    if (!lines) {
        Fx::MsgErrore(QStringLiteral("Recupero impossibile."));
        return;
    }
    impostaCampiFile(*lines);
    AggiornaRisveglio();
}

// ---- Other windows, help and exit

void TFrmMain::sbControllaVersioneClick()
{
    // Destroyed when its modal run ends, whatever ended it.
    std::unique_ptr<TFrmControllaVersione> window(new TFrmControllaVersione(this));
    mostraModale(window.get());
}

void TFrmMain::sbBugClick()
{
    std::unique_ptr<TfrmBug> window(new TfrmBug(this));
    mostraModale(window.get());
}

void TFrmMain::sbHelpClick()
{
    if (FrmAbout)
        mostraModale(FrmAbout);
}

void TFrmMain::HelpClick()
{
    const QString path = Fx::CartellaProgramma() + QStringLiteral("help.html");
    if (!platform().fileExists(path)) {
        Fx::MsgErrore(QStringLiteral("Impossibile aprire la guida, file help.html non trovato"));
        return;
    }
    platform().shellOpen(path);
}

void TFrmMain::SpeedButton4Click()
{
    QCoreApplication::quit();
}

void TFrmMain::closeEvent(QCloseEvent *event)
{
    event->accept();
    QCoreApplication::quit();
}
