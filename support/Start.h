// The splash window shown for ten seconds at start.
#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QTimer;
class ClickableLabel;

class TfrmStart : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmStart(QWidget *parent = nullptr);

    ClickableLabel *ImageLogo;
    QFrame *Panel1;
    QLabel *Label1;
    QLabel *LabelStato;
    ClickableLabel *LabelSito;
    QTimer *TimerStart;

    void FormCreate();
    void TimerStartTimer();
    void ImageLogoClick();
    void LabelSitoClick();

    // The splash offers no way out: only its timer ends it.
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildLayout();
    void FormShow();
    void TraduciInterfaccia();
    bool chiusaDalTimer = false;
};

extern TfrmStart *frmStart;
