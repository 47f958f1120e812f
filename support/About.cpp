// The about window (placeholder layout).
#include "support/About.h"

#include <QLabel>

TFrmAbout *FrmAbout = nullptr;

TFrmAbout::TFrmAbout(QWidget *parent)
    : QDialog(parent)
{
    LabelPrg = new QLabel(QStringLiteral("TQZ_Trillora"), this);
    LabelPrg->setObjectName(QStringLiteral("LabelPrg"));
    LabelVers = new QLabel(QStringLiteral("04.2002-18"), this);
    LabelVers->setObjectName(QStringLiteral("LabelVers"));
}
