// Bringing a window of the program to the front, as the desktop allows it.
#pragma once

#include <memory>

class QWidget;
class QWindow;
class WaylandInput;

// Under X11 a window is raised and activated whenever the program asks. A Wayland compositor
// grants an activation only for a token of the user's own input; one asked without it comes back
// as a nag ("is ready", an attention flag, an urgent mark), so without such input nothing is asked.
class Activation
{
public:
    // `wayland`: the program runs natively on Wayland; the user's input is followed from now on.
    explicit Activation(bool wayland);
    ~Activation();

    // `byInputIn`: the window, still shown, in which the user's last press, tap or key asked for it, or null.
    void activate(QWidget *window, QWindow *byInputIn);

private:
    std::unique_ptr<WaylandInput> wayland;
};
