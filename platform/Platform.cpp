// The installed platform seam.
#include "platform/Platform.h"

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
