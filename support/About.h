// The about window; its two labels hold the product's caption and version for the whole program.
#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QToolButton;
class ClickableLabel;

class TFrmAbout : public QDialog
{
    Q_OBJECT
public:
    explicit TFrmAbout(QWidget *parent = nullptr);

    QFrame *Panel1;
    QFrame *Panel2;
    QLabel *Label2;
    // The product's identity: other windows read these two captions at run time.
    QLabel *LabelPrg;
    QLabel *Label6;
    QLabel *Image1;
    QLabel *LabelNomeVersione;
    QLabel *LabelVers;
    QToolButton *sbEsci;
    QLabel *Label4;
    ClickableLabel *lblLink;
    ClickableLabel *Label13;

    void sbEsciClick();
    void lblLinkClick();
    void Label13Click();

    void setVisible(bool visible) override;

private:
    void buildLayout();
    void rifinisci();
    bool rifinita = false;
};

extern TFrmAbout *FrmAbout;
