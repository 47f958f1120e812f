// The installed platform seam.
#include "platform/Platform.h"

#include "widgets/Fx.h"

#include <cassert>

namespace {
Platform *installed = nullptr;
}

Platform &platform()
{
    assert(installed && "installPlatform() must run before any window is made");
    return *installed;
}

void installPlatform(Platform *p)
{
    installed = p;
}

void Platform::shellOpenMail(const QString &address, const QString &subject, const QString &body)
{
    shellOpen(Fx::TestoMail(address, subject, body));
}
