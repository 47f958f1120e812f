// The red ringing window: shown by the clock for an alarm, it sounds once per activation and hides itself.
#pragma once

#include <QElapsedTimer>
#include <QWidget>
#include <cstdint>

class QLabel;
class QTimer;
class QToolButton;
class QWindow;

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
    void fuocoCambiato(QWindow *fuoco);
    void controllaVisibilita();

    bool shownOnce = false;
    // This window is the program's active window: made so by its showing, whatever the window
    // system does with the focus, and by the focus coming to it from another window of the program.
    bool attiva = false;
    // Since its last showing the window system has given this window the focus.
    bool fuocoRicevuto = false;
    // The alarm's minute ("07.30"), read from the clock when the window was shown.
    QString orario;
    // One second after the showing: without the focus by then, the desktop is told.
    QTimer *attesaFuoco;
    QElapsedTimer mostrataDa;
    bool rinviata = false;
    bool avvisoInviato = false;
};

extern TFrmSveglia *FrmSveglia;
