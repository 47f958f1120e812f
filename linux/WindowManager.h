// What the X11 window manager says of the program's windows, where it says anything.
#pragma once

#include <cstdint>
#include <optional>

class QWindow;

// A window manager that keeps a window behind another program's (focus-stealing prevention) may
// still let Qt believe the window active; its own record on the root window is what the user sees.
class WindowManager
{
public:
    // Whether _NET_ACTIVE_WINDOW names `window`; none off X11, or where the window manager keeps no
    // such record. One round trip to the X server.
    std::optional<bool> holdsActive(const QWindow *window);

private:
    std::uint32_t atomoAttiva = 0;
    bool atomoChiesto = false;
};
