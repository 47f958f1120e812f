// The user's presses, taps and keys on a Wayland desktop, as tokens a compositor grants an activation for.
#include "linux/WaylandInput.h"

#include "xdg-activation-v1-client-protocol.h"

#include <QGuiApplication>
#include <qpa/qplatformnativeinterface.h>

#include <wayland-client.h>

#include <unistd.h>

#include <algorithm>
#include <cstring>

namespace {

// Version 3 brings the devices' release; nothing of a later one is listened to.
constexpr quint32 SeatVersion = 3;

wl_surface *surfaceOf(QWindow *window)
{
    if (!window || !window->handle())
        return nullptr;
    return static_cast<wl_surface *>(
        QGuiApplication::platformNativeInterface()->nativeResourceForWindow("surface", window));
}

QWindow *windowOf(wl_surface *surface)
{
    const QWindowList windows = QGuiApplication::topLevelWindows();
    const auto found = std::find_if(windows.begin(), windows.end(),
                                    [surface](QWindow *window) { return surface && surfaceOf(window) == surface; });
    return found == windows.end() ? nullptr : *found;
}

} // namespace

struct WaylandInput::Listeners
{
    static WaylandInput *of(void *data) { return static_cast<WaylandInput *>(data); }

    static void global(void *data, wl_registry *registry, uint32_t name, const char *interface, uint32_t version)
    {
        WaylandInput *input = of(data);
        if (!input->seat && std::strcmp(interface, wl_seat_interface.name) == 0) {
            input->seatVersion = std::min(version, SeatVersion);
            input->seat = static_cast<wl_seat *>(wl_registry_bind(registry, name, &wl_seat_interface, input->seatVersion));
            wl_seat_add_listener(input->seat, &Listeners::seat, input);
        } else if (!input->activation && std::strcmp(interface, xdg_activation_v1_interface.name) == 0) {
            input->activation =
                static_cast<xdg_activation_v1 *>(wl_registry_bind(registry, name, &xdg_activation_v1_interface, 1));
        }
    }
    static void globalRemove(void *, wl_registry *, uint32_t) {}

    static void capabilities(void *data, wl_seat *, uint32_t capabilities) { of(data)->capabilities(capabilities); }
    static void seatName(void *, wl_seat *, const char *) {}

    static void enter(void *data, wl_pointer *, uint32_t, wl_surface *surface, wl_fixed_t, wl_fixed_t)
    {
        of(data)->pointerOn = surface;
    }
    // The press stays the user's when the pointer moves off the window while the click waits for
    // the pattern's end: the window, and so the press's surface, are still there.
    static void leave(void *data, wl_pointer *, uint32_t, wl_surface *) { of(data)->pointerOn = nullptr; }
    static void motion(void *, wl_pointer *, uint32_t, wl_fixed_t, wl_fixed_t) {}
    static void button(void *data, wl_pointer *, uint32_t serial, uint32_t, uint32_t, uint32_t state)
    {
        if (state == WL_POINTER_BUTTON_STATE_PRESSED)
            of(data)->input(serial, of(data)->pointerOn);
    }
    static void axis(void *, wl_pointer *, uint32_t, uint32_t, wl_fixed_t) {}

    static void keymap(void *, wl_keyboard *, uint32_t, int32_t fd, uint32_t) { close(fd); }
    static void keyboardEnter(void *data, wl_keyboard *, uint32_t, wl_surface *surface, wl_array *)
    {
        of(data)->keyboardOn = surface;
    }
    static void keyboardLeave(void *data, wl_keyboard *, uint32_t, wl_surface *) { of(data)->keyboardOn = nullptr; }
    // Any key: "Chiudi" takes no keyboard focus, and the desktop's close shortcut reaches the window
    // only with its first key (Alt of Alt+F4, the logo key), whose serial the compositor honours.
    static void key(void *data, wl_keyboard *, uint32_t serial, uint32_t, uint32_t, uint32_t state)
    {
        if (state == WL_KEYBOARD_KEY_STATE_PRESSED)
            of(data)->input(serial, of(data)->keyboardOn);
    }
    static void modifiers(void *, wl_keyboard *, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t) {}

    static void down(void *data, wl_touch *, uint32_t serial, uint32_t, wl_surface *surface, int32_t, wl_fixed_t,
                     wl_fixed_t)
    {
        of(data)->input(serial, surface);
    }
    static void up(void *, wl_touch *, uint32_t, uint32_t, int32_t) {}
    static void touchMotion(void *, wl_touch *, uint32_t, int32_t, wl_fixed_t, wl_fixed_t) {}
    static void frame(void *, wl_touch *) {}
    static void cancel(void *, wl_touch *) {}

    static void done(void *data, xdg_activation_token_v1 *, const char *token)
    {
        auto *pending = static_cast<Pending *>(data);
        pending->input->tokenDone(pending, token);
    }

    static constexpr wl_registry_listener registry {global, globalRemove};
    static constexpr wl_seat_listener seat {capabilities, seatName};
    static constexpr xdg_activation_token_v1_listener token {done};
    // Later versions of the protocol add events (and fields) that version 3 never sends.
    static const wl_pointer_listener *pointer()
    {
        static const wl_pointer_listener listener = [] {
            wl_pointer_listener events {};
            events.enter = enter;
            events.leave = leave;
            events.motion = motion;
            events.button = button;
            events.axis = axis;
            return events;
        }();
        return &listener;
    }
    static const wl_keyboard_listener *keyboard()
    {
        static const wl_keyboard_listener listener = [] {
            wl_keyboard_listener events {};
            events.keymap = keymap;
            events.enter = keyboardEnter;
            events.leave = keyboardLeave;
            events.key = key;
            events.modifiers = modifiers;
            return events;
        }();
        return &listener;
    }
    static const wl_touch_listener *touch()
    {
        static const wl_touch_listener listener = [] {
            wl_touch_listener events {};
            events.down = down;
            events.up = up;
            events.motion = touchMotion;
            events.frame = frame;
            events.cancel = cancel;
            return events;
        }();
        return &listener;
    }
};

WaylandInput::WaylandInput(wl_display *display)
    : display(display)
{
    // The globals, and then the seat's devices, come as Qt dispatches its queue: nothing is waited for.
    if (!display)
        return;
    registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &Listeners::registry, this);
}

WaylandInput::~WaylandInput()
{
    forget();
    for (const auto &asked : pending)
        xdg_activation_token_v1_destroy(asked->token);
    capabilities(0);
    if (seat)
        wl_seat_destroy(seat); // its release comes with version 5
    if (activation)
        xdg_activation_v1_destroy(activation);
    if (registry)
        wl_registry_destroy(registry);
}

// Asking a seat for a device it has not announced is a protocol error that ends the connection,
// and with it the program: each device is made when the seat tells of it, and let go when it goes.
// A device going (a keyboard unplugged after its shortcut) leaves the user's last input as it was.
void WaylandInput::capabilities(quint32 capabilities)
{
    const bool release = seatVersion >= WL_POINTER_RELEASE_SINCE_VERSION;
    if ((capabilities & WL_SEAT_CAPABILITY_POINTER) && !pointer) {
        pointer = wl_seat_get_pointer(seat);
        wl_pointer_add_listener(pointer, Listeners::pointer(), this);
    } else if (!(capabilities & WL_SEAT_CAPABILITY_POINTER) && pointer) {
        release ? wl_pointer_release(pointer) : wl_pointer_destroy(pointer);
        pointer = nullptr;
        pointerOn = nullptr;
    }
    if ((capabilities & WL_SEAT_CAPABILITY_KEYBOARD) && !keyboard) {
        keyboard = wl_seat_get_keyboard(seat);
        wl_keyboard_add_listener(keyboard, Listeners::keyboard(), this);
    } else if (!(capabilities & WL_SEAT_CAPABILITY_KEYBOARD) && keyboard) {
        release ? wl_keyboard_release(keyboard) : wl_keyboard_destroy(keyboard);
        keyboard = nullptr;
        keyboardOn = nullptr;
    }
    if ((capabilities & WL_SEAT_CAPABILITY_TOUCH) && !touch) {
        touch = wl_seat_get_touch(seat);
        wl_touch_add_listener(touch, Listeners::touch(), this);
    } else if (!(capabilities & WL_SEAT_CAPABILITY_TOUCH) && touch) {
        release ? wl_touch_release(touch) : wl_touch_destroy(touch);
        touch = nullptr;
    }
}

void WaylandInput::input(quint32 serial, wl_surface *surface)
{
    forget();
    QWindow *window = windowOf(surface);
    if (!window)
        return;
    last.serial = serial;
    last.window = window;
    last.hidden = QObject::connect(window, &QWindow::visibleChanged, window, [this] { forget(); });
}

void WaylandInput::forget()
{
    QObject::disconnect(last.hidden);
    last.window = nullptr;
}

void WaylandInput::activate(QWindow *target, QWindow *byInputIn)
{
    wl_surface *surface = surfaceOf(byInputIn);
    if (!activation || !target || !surface || last.window != byInputIn)
        return;
    xdg_activation_token_v1 *asked = xdg_activation_v1_get_activation_token(activation);
    pending.push_back(std::make_unique<Pending>(Pending {this, asked, target}));
    xdg_activation_token_v1_add_listener(asked, &Listeners::token, pending.back().get());
    xdg_activation_token_v1_set_serial(asked, last.serial, seat);
    xdg_activation_token_v1_set_surface(asked, surface);
    const QByteArray appId = QGuiApplication::desktopFileName().toUtf8();
    if (!appId.isEmpty())
        xdg_activation_token_v1_set_app_id(asked, appId.constData());
    xdg_activation_token_v1_commit(asked);
    // One input, one activation.
    forget();
    // Sent at once rather than at Qt's next flush, so that the focus follows the click without delay.
    wl_display_flush(display);
}

void WaylandInput::tokenDone(Pending *asked, const char *token)
{
    if (wl_surface *surface = surfaceOf(asked->target)) {
        xdg_activation_v1_activate(activation, token, surface);
        wl_display_flush(display);
    }
    xdg_activation_token_v1_destroy(asked->token);
    pending.erase(std::find_if(pending.begin(), pending.end(), [asked](const auto &p) { return p.get() == asked; }));
}
