// The red ringing window: shown by the clock for an alarm, it sounds once per activation and hides itself.
#pragma once

#include <QWidget>
#include <cstdint>

class QLabel;
class QTimer;
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
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void buildLayout();

    bool shownOnce = false;
    // A click is a press and a release both on the red surface.
    bool premutoSulFondo = false;
};

extern TFrmSveglia *FrmSveglia;
