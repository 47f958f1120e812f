// The bug report window (placeholder).
#include "support/Bug.h"

TfrmBug::TfrmBug(QWidget *parent)
    : QDialog(parent)
{
}
