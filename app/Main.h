// The main window: clock, five alarm slots, sound options, alarm file and the doors to the other windows.
#pragma once

#include "app/WakeTime.h"
#include "app/MissedAlarms.h"

#include <QStringList>
#include <QWidget>

class QAction;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QTimer;
class QToolButton;

class TFrmMain : public QWidget
{
    Q_OBJECT

public:
    explicit TFrmMain(QWidget *parent = nullptr);

    // Top band: clock, window commands, entry of a new alarm.
    QFrame *PanIns;
    QLineEdit *EdOrologio;
    QToolButton *sbControllaVersione;
    QToolButton *sbBug;
    QToolButton *sbHelp;
    QToolButton *sbSuono;
    QLineEdit *Edsveglia1;
    QLineEdit *EDSveglia2;
    QToolButton *sbConferma;

    // Middle band: the five slots.
    QGroupBox *PanControllo;
    QLabel *Label2;
    QLabel *Label3;
    QFrame *Panel1;
    QFrame *Panel3;
    QFrame *Panel5;
    QFrame *Panel7;
    QFrame *Panel11;
    QLineEdit *ed1sv1;
    QLineEdit *Ed1sv2;
    QLineEdit *Ed2sv1;
    QLineEdit *ED2sv2;
    QLineEdit *Ed3sv1;
    QLineEdit *ed3sv2;
    QLineEdit *ed4sv1;
    QLineEdit *ed4sv2;
    QLineEdit *ed5sv1;
    QLineEdit *ed5sv2;
    QToolButton *sbCanc1;
    QToolButton *sbCanc2;
    QToolButton *sbCanc3;
    QToolButton *SbCanc4;
    QToolButton *SbCanc5;

    // Bottom band: sound length, save, load, exit.
    QFrame *Panel10;
    QToolButton *sbDurata;
    QToolButton *SpeedButton1;
    QToolButton *sbLoad;
    QToolButton *SpeedButton4;

    QTimer *Timer1;
    QTimer *TimerElimina;
    QMenu *MainMenu1;
    QAction *Help;

    // "9x", "NT" or empty; read by the ringing window to choose how to drive the speaker.
    QString TipoSistema;

public slots:
    void Timer1Timer();
    void sbConfermaClick();
    void Edsveglia1Change();
    void Panel1Click();
    void SpeedButton1Click();
    void sbLoadClick();
    void sbControllaVersioneClick();
    void sbHelpClick();
    void SpeedButton4Click();
    void sbCanc1Click();
    void sbCanc2Click();
    void sbCanc3Click();
    void SbCanc4Click();
    void SbCanc5Click();
    void TimerEliminaTimer();
    void FormCreate();
    void sbSuonoClick();
    void sbDurataClick();
    void FormShow();
    void sbBugClick();
    void HelpClick();

public:
    // Key-release handler of both entry fields; true when the release was an Enter that inserted.
    bool Edsveglia1KeyUp(QLineEdit *field, int key);

    void setVisible(bool visible) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    struct Slot
    {
        QLineEdit *hour;
        QLineEdit *minute;
        QToolButton *cancel;
    };
    Slot slot(int index) const;

    bool ControllaSveglia(QLineEdit *hour, QLineEdit *minute);
    bool OrarioValido() const;
    bool SvegliaPresente(QLineEdit *hour, QLineEdit *minute) const;
    void CompletaZeri();
    void InserisciSveglia();
    void RilevaSistema();
    void svuota(int index);

    QStringList campiFile() const;
    QString fileSveglie(bool salvando) const;
    void impostaCampiFile(const QStringList &lines);

    void buildLayout();
    void caratteriPropri();

    // Tells the platform the earliest upcoming alarm, so that the computer is awake for it.
    void AggiornaRisveglio();
    WakeTime risveglio;
    MissedAlarms mancate;

    bool giaMostrata = false;
    // The clock text last shown and its second of the day.
    QString orologio;
    int secondoMostrato = -2;
    // The Enter whose release may insert must have been pressed in an entry field.
    bool invioPremutoInIngresso = false;
};

extern TFrmMain *FrmMain;
