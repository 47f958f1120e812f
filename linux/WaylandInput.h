// The user's presses, taps and keys on a Wayland desktop, as tokens a compositor grants an activation for.
#pragma once

#include <QMetaObject>
#include <QPointer>
#include <QWindow>

#include <memory>
#include <vector>

struct wl_display;
struct wl_keyboard;
struct wl_pointer;
struct wl_registry;
struct wl_seat;
struct wl_surface;
struct wl_touch;
struct xdg_activation_v1;
struct xdg_activation_token_v1;

// A compositor brings a window forward only for a token of the user's own input (xdg-activation),
// asked with the serial of that input on a surface that still exists: mutter refuses the serial of
// a click's release, or one asked after the clicked window went, and shows an "is ready" notice.
// Qt asks with the last serial it saw, whatever it was, so the program follows the seat's devices
// itself and asks for the token, and the activation, on its own.
//
// Its objects live on the queue Qt dispatches on the windows' thread, so every event is handled,
// and let go, as Qt's own are: nothing piles up while the pointer moves for days, and the
// listeners may look at the program's windows.
class WaylandInput
{
public:
    // Follows the seat of Qt's connection to the compositor; with no display (not Wayland), or a
    // compositor without xdg-activation, no activation is ever asked.
    explicit WaylandInput(wl_display *display);
    ~WaylandInput();
    WaylandInput(const WaylandInput &) = delete;
    WaylandInput &operator=(const WaylandInput &) = delete;

    // Asks the compositor to activate `target`, when the user's last input was a press, a tap or a
    // key in `byInputIn` during its current showing. The token is asked with
    // that input's serial; the activation follows when the compositor hands it over.
    void activate(QWindow *target, QWindow *byInputIn);

    // The listeners of the protocol, kept with the object they fill.
    struct Listeners;

private:
    struct Pending
    {
        WaylandInput *input;
        xdg_activation_token_v1 *token;
        QPointer<QWindow> target;
    };

    void capabilities(quint32 capabilities);
    // The user's input with `serial` on `surface`, or elsewhere when that is none of the program's.
    void input(quint32 serial, wl_surface *surface);
    void forget();
    void tokenDone(Pending *pending, const char *token);

    wl_display *display = nullptr;
    wl_registry *registry = nullptr;
    wl_seat *seat = nullptr;
    quint32 seatVersion = 0;
    wl_pointer *pointer = nullptr;
    wl_keyboard *keyboard = nullptr;
    wl_touch *touch = nullptr;
    xdg_activation_v1 *activation = nullptr;
    // The surfaces under the pointer and with the keyboard's focus.
    wl_surface *pointerOn = nullptr;
    wl_surface *keyboardOn = nullptr;
    // The user's last input: its serial and window, kept until that window hides (its surface goes
    // with it, and the next showing's may be made at the same address).
    struct
    {
        quint32 serial = 0;
        QPointer<QWindow> window;
        QMetaObject::Connection hidden;
    } last;
    std::vector<std::unique_ptr<Pending>> pending;
};
