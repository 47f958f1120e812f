// Which of the program's windows the user works in, by the X11 window manager's record where it keeps one.
#pragma once

#include <cstdint>
#include <optional>

class QWindow;

// A window manager that keeps a window behind another program's (focus-stealing prevention) may
// still let Qt believe the window active; its own record on the root window is what the user sees.
class WindowManager
{
public:
    // The program's window that _NET_ACTIVE_WINDOW names, or null when it names another program's;
    // Qt's focus window off X11, or where no window manager keeps the record. One round trip to
    // the X server.
    QWindow *userWindow();

private:
    // The X id that _NET_ACTIVE_WINDOW names (0 for none); nothing where there is no such record.
    std::optional<std::uint32_t> recordedActive();

    std::uint32_t atomoAttiva = 0;
};
