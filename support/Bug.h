// The bug report window.
#pragma once

#include <QDialog>

class TfrmBug : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmBug(QWidget *parent = nullptr);
};
