// The about window; its two labels hold the product's caption and version for the whole program.
#pragma once

#include <QDialog>

class QLabel;

class TFrmAbout : public QDialog
{
    Q_OBJECT
public:
    explicit TFrmAbout(QWidget *parent = nullptr);

    QLabel *LabelPrg;
    QLabel *LabelVers;
};

extern TFrmAbout *FrmAbout;
