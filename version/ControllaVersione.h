// The version check window.
#pragma once

#include <QDialog>

class TFrmControllaVersione : public QDialog
{
    Q_OBJECT
public:
    explicit TFrmControllaVersione(QWidget *parent = nullptr);
};
