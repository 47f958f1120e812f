// The network module: the page loader on Qt Network and libxml2, loaded when the version check first needs it.
#include "platform/Modules.h"
#include "platform/NetworkBrowser.h"

#include <QWidget>

extern "C" Q_DECL_EXPORT Browser *trillora_network_browser(QWidget *parent)
{
    return new NetworkBrowser(parent);
}
