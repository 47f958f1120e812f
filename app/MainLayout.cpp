// The main window's controls as its layout lists them: places, captions, fonts, states, bound handlers.
#include "app/Main.h"

#include "core/AlarmSchedule.h"
#include "widgets/Click.h"
#include "widgets/ErrorDisplay.h"
#include "widgets/Layout.h"
#include "widgets/ProgramTimer.h"

#include <QAction>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>
#include <QToolButton>
#include <QValidator>
#include <limits>

namespace {

using Layout::button;
using Layout::control;
using Layout::pixelFont;

// A field of two typed characters, of any kind: what the user types, pastes or drops is cut to the
// room left. Texts set by the program (the padding, the copy of slot 1) are not cut.
class TwoCharacters : public QValidator
{
public:
    explicit TwoCharacters(QLineEdit *field)
        : QValidator(field), field(field), previous(field->text())
    {
        connect(field, &QLineEdit::textChanged, this, [this](const QString &text) { previous = text; });
    }

    State validate(QString &input, int &pos) const override
    {
        // setText clears the user's modifications before the text comes here: a text of the program.
        if (field->isModified())
            input = Sveglie::limitaInserimento(previous, input, pos, 2);
        return Acceptable;
    }

private:
    QLineEdit *field;
    // The text before the edit being checked.
    QString previous;
};

QLineEdit *campo(QWidget *parent, const char *name, QRect place, const QString &text)
{
    auto *e = control<QLineEdit>(parent, name, place);
    // The fields are the program's storage: a loaded text must not be cut at Qt's default 32767.
    e->setMaxLength(std::numeric_limits<int>::max());
    e->setText(text);
    e->setAlignment(Qt::AlignCenter);
    e->setTextMargins(0, 0, 0, 0);
    return e;
}

QFrame *pannello(QWidget *parent, const char *name, QRect place, int shape)
{
    auto *f = control<QFrame>(parent, name, place);
    f->setFrameStyle(shape);
    f->setLineWidth(1);
    return f;
}

} // namespace

void TFrmMain::buildLayout()
{
    setObjectName(QStringLiteral("FrmMain"));
    setWindowTitle(QStringLiteral("TQZ_Trillora"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFont(pixelFont(QStringLiteral("MS Sans Serif"), 11, false));
    setFixedSize(371, 112);

    PanIns = pannello(this, "PanIns", {0, 0, 371, 30}, QFrame::Panel | QFrame::Raised);
    EdOrologio = campo(PanIns, "EdOrologio", {6, 4, 63, 23}, QStringLiteral("12.00.00"));
    EdOrologio->setEnabled(false);
    sbControllaVersione = button(PanIns, "sbControllaVersione", {73, 4, 23, 22}, {}, QStringLiteral("check"),
                                 QStringLiteral("Controlla versione"));
    sbBug = button(PanIns, "sbBug", {100, 4, 23, 22}, {}, QStringLiteral("bug"), QStringLiteral("Segnala Bug"));
    sbHelp = button(PanIns, "sbHelp", {125, 3, 23, 23}, {}, QStringLiteral("info"),
                    QStringLiteral("Visualizza informazioni"));
    sbSuono = button(PanIns, "sbSuono", {155, 4, 72, 22}, QStringLiteral("Casse"), QStringLiteral("speaker"),
                     QStringLiteral("Tipo di suono"));
    Edsveglia1 = campo(PanIns, "Edsveglia1", {232, 3, 25, 23}, Sveglie::Vuoto);
    EDSveglia2 = campo(PanIns, "EDSveglia2", {261, 3, 25, 23}, Sveglie::Vuoto);
    for (QLineEdit *entry : {Edsveglia1, EDSveglia2}) {
        entry->setValidator(new TwoCharacters(entry));
        entry->installEventFilter(this);
    }
    sbConferma = button(PanIns, "sbConferma", {289, 3, 78, 23}, QStringLiteral("Inserisci"),
                        QStringLiteral("insert"), QStringLiteral("Inserisci sveglia"));
    QFont bold = font();
    bold.setBold(true);
    sbConferma->setFont(bold);

    PanControllo = control<QGroupBox>(this, "PanControllo", {0, 30, 371, 57});
    Label2 = control<QLabel>(PanControllo, "Label2", {19, 20, 50, 13});
    Label2->setText(QStringLiteral("Sveglie"));
    Label2->setFont(bold);
    Label2->adjustSize();
    Label3 = control<QLabel>(PanControllo, "Label3", {23, 34, 50, 13});
    Label3->setText(QStringLiteral("attive"));
    Label3->setFont(bold);
    Label3->adjustSize();

    const char *frames[] = {"Panel1", "Panel3", "Panel5", "Panel7", "Panel11"};
    const char *hours[] = {"ed1sv1", "Ed2sv1", "Ed3sv1", "ed4sv1", "ed5sv1"};
    const char *minutes[] = {"Ed1sv2", "ED2sv2", "ed3sv2", "ed4sv2", "ed5sv2"};
    const char *cancels[] = {"sbCanc1", "sbCanc2", "sbCanc3", "SbCanc4", "SbCanc5"};
    QFrame **frameMembers[] = {&Panel1, &Panel3, &Panel5, &Panel7, &Panel11};
    QLineEdit **hourMembers[] = {&ed1sv1, &Ed2sv1, &Ed3sv1, &ed4sv1, &ed5sv1};
    QLineEdit **minuteMembers[] = {&Ed1sv2, &ED2sv2, &ed3sv2, &ed4sv2, &ed5sv2};
    QToolButton **cancelMembers[] = {&sbCanc1, &sbCanc2, &sbCanc3, &SbCanc4, &SbCanc5};
    for (int i = 0; i < 5; ++i) {
        const int left = 76 + 58 * i;
        QFrame *frame = pannello(PanControllo, frames[i], {left, 24, 57, 31}, QFrame::Panel | QFrame::Raised);
        frame->setAutoFillBackground(true);
        frame->setBackgroundRole(QPalette::Highlight);
        *frameMembers[i] = frame;
        *hourMembers[i] = campo(frame, hours[i], {5, 5, 22, 21}, Sveglie::Vuoto);
        *minuteMembers[i] = campo(frame, minutes[i], {30, 5, 22, 21}, Sveglie::Vuoto);
        (*hourMembers[i])->setEnabled(false);
        (*minuteMembers[i])->setEnabled(false);
        QToolButton *cancel = button(PanControllo, cancels[i], {left + 1, 7, 54, 16}, QStringLiteral("Elimina"),
                                     {}, {});
        cancel->setEnabled(false);
        *cancelMembers[i] = cancel;
    }
    // A double-click on the frame is one click, as everywhere in the program.
    auto *clicPanel1 = new ClickWatcher(Panel1);

    Panel10 = pannello(this, "Panel10", {0, 87, 371, 25}, QFrame::Panel | QFrame::Sunken);
    sbDurata = button(Panel10, "sbDurata", {4, 1, 77, 21}, QStringLiteral("Maggiore"), QStringLiteral("duration"),
                      QStringLiteral("Allunga/diminuisci suono"));
    SpeedButton1 = button(Panel10, "SpeedButton1", {83, 1, 117, 21}, QStringLiteral("Salva impostazioni"),
                          QStringLiteral("save"), QStringLiteral("Salva le impostazioni"));
    sbLoad = button(Panel10, "sbLoad", {201, 1, 118, 21}, QStringLiteral("Carica impostazioni"),
                    QStringLiteral("load"), QStringLiteral("Carica le impostazioni salvate"));
    SpeedButton4 = button(Panel10, "SpeedButton4", {320, 1, 48, 21}, QStringLiteral("Esci"),
                          QStringLiteral("exit"), QStringLiteral("Esci"));

    // The menu is never shown; its one item exists for the F1 shortcut.
    MainMenu1 = new QMenu(this);
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    Help = new QAction(QStringLiteral("Help"), this);
    Help->setObjectName(QStringLiteral("Help"));
    Help->setShortcut(QKeySequence(Qt::Key_F1));
    Help->setShortcutContext(Qt::WindowShortcut);
    MainMenu1->addAction(Help);
    addAction(Help);

    // Precise, so the clock and the trigger do not drift behind the real seconds.
    Timer1 = new ProgramTimer(this, "Timer1", 400);
    TimerElimina = new ProgramTimer(this, "TimerElimina", 5000);

    ErrorDisplay::attach(Timer1, &QTimer::timeout, this, &TFrmMain::Timer1Timer);
    ErrorDisplay::attach(TimerElimina, &QTimer::timeout, this, &TFrmMain::TimerEliminaTimer);
    ErrorDisplay::attach(sbConferma, &QToolButton::clicked, this, &TFrmMain::sbConfermaClick);
    ErrorDisplay::attach(Edsveglia1, &QLineEdit::textChanged, this, &TFrmMain::Edsveglia1Change);
    ErrorDisplay::attach(SpeedButton1, &QToolButton::clicked, this, &TFrmMain::SpeedButton1Click);
    ErrorDisplay::attach(sbLoad, &QToolButton::clicked, this, &TFrmMain::sbLoadClick);
    ErrorDisplay::attach(sbControllaVersione, &QToolButton::clicked, this, &TFrmMain::sbControllaVersioneClick);
    ErrorDisplay::attach(sbHelp, &QToolButton::clicked, this, &TFrmMain::sbHelpClick);
    ErrorDisplay::attach(SpeedButton4, &QToolButton::clicked, this, &TFrmMain::SpeedButton4Click);
    ErrorDisplay::attach(sbCanc1, &QToolButton::clicked, this, &TFrmMain::sbCanc1Click);
    ErrorDisplay::attach(sbCanc2, &QToolButton::clicked, this, &TFrmMain::sbCanc2Click);
    ErrorDisplay::attach(sbCanc3, &QToolButton::clicked, this, &TFrmMain::sbCanc3Click);
    ErrorDisplay::attach(SbCanc4, &QToolButton::clicked, this, &TFrmMain::SbCanc4Click);
    ErrorDisplay::attach(SbCanc5, &QToolButton::clicked, this, &TFrmMain::SbCanc5Click);
    ErrorDisplay::attach(sbSuono, &QToolButton::clicked, this, &TFrmMain::sbSuonoClick);
    ErrorDisplay::attach(sbDurata, &QToolButton::clicked, this, &TFrmMain::sbDurataClick);
    ErrorDisplay::attach(sbBug, &QToolButton::clicked, this, &TFrmMain::sbBugClick);
    ErrorDisplay::attach(Help, &QAction::triggered, this, &TFrmMain::HelpClick);
    ErrorDisplay::attach(clicPanel1, &ClickWatcher::clicked, this, &TFrmMain::Panel1Click);

    Edsveglia1->setFocus();
}

// The window is made at start but comes on screen only after the ten seconds of the splash, so
// its own typefaces (every other text uses the window's font, as the splash does) are loaded
// when it is about to be shown rather than before the splash can appear.
void TFrmMain::caratteriPropri()
{
    const QFont orologio = pixelFont(QStringLiteral("Times New Roman"), 13, true);
    const QFont slotFont = pixelFont(QStringLiteral("Verdana"), 11, true);
    const QFont elimina = pixelFont(QStringLiteral("Verdana"), 9, true);
    for (QLineEdit *field : {EdOrologio, Edsveglia1, EDSveglia2})
        field->setFont(orologio);
    for (int i = 1; i <= 5; ++i) {
        const Slot s = slot(i);
        s.hour->setFont(slotFont);
        s.minute->setFont(slotFont);
        s.cancel->setFont(elimina);
    }
}

TFrmMain::Slot TFrmMain::slot(int index) const
{
    switch (index) {
    case 1:
        return {ed1sv1, Ed1sv2, sbCanc1};
    case 2:
        return {Ed2sv1, ED2sv2, sbCanc2};
    case 3:
        return {Ed3sv1, ed3sv2, sbCanc3};
    case 4:
        return {ed4sv1, ed4sv2, SbCanc4};
    default:
        return {ed5sv1, ed5sv2, SbCanc5};
    }
}
