// The red ringing window.
#pragma once

#include <QWidget>

class TFrmSveglia : public QWidget
{
    Q_OBJECT
public:
    explicit TFrmSveglia(QWidget *parent = nullptr);
};

extern TFrmSveglia *FrmSveglia;
