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
    void buildLayout();
    void diventaAttiva();
    void fuocoCambiato();
    // Says once in the run why the pattern had to ring through the bell.
    void riferisciGuastoSuono();

    bool shownOnce = false;
    // This window is the program's active window: made so by its showing, whatever the window
    // system does with the focus, and by the focus coming to it from another window of the program.
    bool attiva = false;
    // The window system has given this window the focus since its last showing.
    bool fuocoDopoMostrata = false;
    SeenWatch *vista;
    bool guastoSuonoDetto = false;
    // The close under way comes from the user's own input in this window: "Chiudi" or the close box.
    bool chiusaDallUtente = false;
};

extern TFrmSveglia *FrmSveglia;
