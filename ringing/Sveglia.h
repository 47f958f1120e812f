// The red ringing window: shown by the clock for an alarm, it sounds once per activation and hides itself.
#pragma once

#include <QWidget>
#include <cstdint>

class QLabel;
class QTimer;
class SeenWatch;
class QToolButton;

class TFrmSveglia : public QWidget
{
    Q_OBJECT

public:
    explicit TFrmSveglia(QWidget *parent = nullptr);

    QLabel *Label1;
    QLabel *Label3;
    QLabel *Label2;
    QToolButton *sbChiudi;
    QTimer *TimerClose;
    QTimer *TimerSpeaker;
    QTimer *TimerCasse;

    // The speaker sweep's current frequency in hertz.
    std::int32_t Frequenza = 0;

    void setVisible(bool visible) override;

public slots:
    void FormActivate();
    void FormClick();
    void sbChiudiClick();
    void TimerCloseTimer();
    void TimerSpeakerTimer();
    void TimerCasseTimer();

public:
    // The steps of every close, also when the window is already hidden.
    void FormClose();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // This window as the program's active window. Its showing makes it so, whatever the window
    // system does with the focus; once the window system has given it the focus, the focus may leave
    // it for another window of the program, and coming back makes it active anew.
    enum class Attivazione {
        Nascosta,
        // Active by its showing; the window system has not given it the focus yet.
        Mostrata,
        // Active, and given the focus since its showing.
        ConFuoco,
        // Shown, but the focus went from it to another window of the program.
        Lasciata,
    };
    enum class Evento { Mostrata, Nascosta, FuocoQui, FuocoAltrove };

    void buildLayout();
    // Every change of the activation, in one place; becoming active anew starts a pattern.
    void segui(Evento evento);
    void fuocoCambiato();
    // Says once in the run why the pattern had to ring through the bell.
    void riferisciGuastoSuono();

    bool giaMostrata = false;
    Attivazione attivazione = Attivazione::Nascosta;
    SeenWatch *vista;
    bool guastoSuonoDetto = false;
    // The close under way comes from the user's own input in this window: "Chiudi" or the close box.
    bool chiusaDallUtente = false;
};

extern TFrmSveglia *FrmSveglia;
