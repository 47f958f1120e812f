// The bug report window.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class ClickableLabel;

class TfrmBug : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmBug(QWidget *parent = nullptr);

    QLabel *Label4;
    QLabel *Label1;
    QPushButton *ButSegnala;
    QPushButton *ButEsci;
    QLabel *Label2;
    QLabel *Label3;
    ClickableLabel *lblLink;

    void FormCreate();
    void ButSegnalaClick();
    void ButEsciClick();
    void lblLinkClick();

private:
    void buildLayout();
    void TraduciInterfaccia();
    void adattaTesti();
};
