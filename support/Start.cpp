// The splash window (placeholder).
#include "support/Start.h"

TfrmStart *frmStart = nullptr;

TfrmStart::TfrmStart(QWidget *parent)
    : QDialog(parent)
{
}
