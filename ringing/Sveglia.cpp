// The red ringing window (placeholder).
#include "ringing/Sveglia.h"

TFrmSveglia *FrmSveglia = nullptr;

TFrmSveglia::TFrmSveglia(QWidget *parent)
    : QWidget(parent)
{
}
