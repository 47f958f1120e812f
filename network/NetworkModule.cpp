// The network module: the page loader on Qt Network and libxml2, loaded when the version check first needs it.
#include "BuildIdentity.h"
#include "linux/Modules.h"
#include "network/NetworkBrowser.h"

#include <QWidget>

// Read from the file by the program before it loads the module (Modules.h).
extern "C" Q_DECL_EXPORT const char trillora_identita[] = TRILLORA_MARCA_IDENTITA TRILLORA_IDENTITA;

extern "C" Q_DECL_EXPORT Browser *trillora_network_browser(QWidget *parent)
{
    return new NetworkBrowser(parent);
}
