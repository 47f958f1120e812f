// The splash window shown for ten seconds at start.
#pragma once

#include <QDialog>

class TfrmStart : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmStart(QWidget *parent = nullptr);
};

extern TfrmStart *frmStart;
