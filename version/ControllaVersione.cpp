// The version check window (placeholder).
#include "version/ControllaVersione.h"

TFrmControllaVersione::TFrmControllaVersione(QWidget *parent)
    : QDialog(parent)
{
}
