// The user's clicks on a Wayland desktop, as tokens a compositor grants an activation for.
#pragma once

#include <QByteArray>

class QWindow;
struct wl_display;
struct wl_event_queue;
struct wl_pointer;
struct wl_seat;
struct wl_surface;
struct xdg_activation_v1;

// A compositor brings a window forward only for a token of the user's own input (xdg-activation),
// asked at the press of a click on a surface that still exists: the serial of the release, or one
// asked after the clicked window went, makes mutter refuse it and show an "is ready" notice. Qt
// itself asks with the last serial it saw, so the program keeps its own pointer, on an event
// queue of its own beside Qt's, and learns every press with its serial and surface.
class WaylandInput
{
public:
    // Listens on Qt's connection to the compositor; a compositor without xdg-activation, or a
    // display that is not Wayland, gives no token.
    explicit WaylandInput(wl_display *display);
    ~WaylandInput();
    WaylandInput(const WaylandInput &) = delete;
    WaylandInput &operator=(const WaylandInput &) = delete;

    // A token of the user's last press, made in `window` (which is still shown); empty when the
    // last press was not there, or the compositor gave none. Waits for the compositor's answer.
    QByteArray activationToken(QWindow *window);

    // The listeners of the protocol, kept with the object they fill.
    struct Listeners;

private:
    wl_display *display = nullptr;
    wl_event_queue *queue = nullptr;
    wl_display *wrapper = nullptr;
    wl_seat *seat = nullptr;
    wl_pointer *pointer = nullptr;
    xdg_activation_v1 *activation = nullptr;
    // The surface under the pointer, and the serial and surface of its last press.
    wl_surface *under = nullptr;
    wl_surface *pressedOn = nullptr;
    quint32 pressSerial = 0;
    QByteArray token;
    bool tokenDone = false;
};
