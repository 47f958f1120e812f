// Program entry: the application, its title, the start-up windows and the message loop.
#include "BuildIdentity.h"
#include "app/Application.h"
#include "app/Main.h"
#include "app/Startup.h"
#include "linux/LinuxPlatform.h"

int main(int argc, char *argv[])
{
    TrilloraApplication app(argc, argv);
    // Only modules of this very build are loaded.
    LinuxPlatform desktop(TRILLORA_IDENTITA);
    installPlatform(&desktop);

    creaFinestre();
    FrmMain->show();
    const int result = TrilloraApplication::exec();
    distruggiFinestre();
    return result;
}
