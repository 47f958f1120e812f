// The windows made once at start, in their fixed order, and their end.
#include "app/Startup.h"

#include "app/Main.h"
#include "ringing/Sveglia.h"
#include "support/About.h"
#include "support/Start.h"

void creaFinestre()
{
    FrmMain = new TFrmMain;
    // Owned by the main window so that it can be modal to it alone.
    FrmAbout = new TFrmAbout(FrmMain);
    frmStart = new TfrmStart;
    FrmSveglia = new TFrmSveglia;
}

void distruggiFinestre()
{
    delete FrmSveglia;
    FrmSveglia = nullptr;
    delete frmStart;
    frmStart = nullptr;
    delete FrmAbout;
    FrmAbout = nullptr;
    delete FrmMain;
    FrmMain = nullptr;
}
