// The user's clicks on a Wayland desktop, as tokens a compositor grants an activation for.
#include "linux/WaylandInput.h"

#include "xdg-activation-v1-client-protocol.h"

#include <QGuiApplication>
#include <QWindow>
#include <qpa/qplatformnativeinterface.h>

#include <wayland-client.h>

#include <cstring>

namespace {

// The compositor answers a token's commit at once; a second round trip is for one that answers late.
constexpr int RoundTrips = 2;

} // namespace

struct WaylandInput::Listeners
{
    static void global(void *data, wl_registry *registry, uint32_t name, const char *interface, uint32_t)
    {
        auto *input = static_cast<WaylandInput *>(data);
        // Version 1 of each is all that is used: no event of a later one arrives unasked.
        if (!input->seat && std::strcmp(interface, wl_seat_interface.name) == 0)
            input->seat = static_cast<wl_seat *>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
        else if (!input->activation && std::strcmp(interface, xdg_activation_v1_interface.name) == 0)
            input->activation =
                static_cast<xdg_activation_v1 *>(wl_registry_bind(registry, name, &xdg_activation_v1_interface, 1));
    }
    static void globalRemove(void *, wl_registry *, uint32_t) {}

    static void enter(void *data, wl_pointer *, uint32_t, wl_surface *surface, wl_fixed_t, wl_fixed_t)
    {
        static_cast<WaylandInput *>(data)->under = surface;
    }
    static void leave(void *data, wl_pointer *, uint32_t, wl_surface *)
    {
        static_cast<WaylandInput *>(data)->under = nullptr;
    }
    static void motion(void *, wl_pointer *, uint32_t, wl_fixed_t, wl_fixed_t) {}
    static void button(void *data, wl_pointer *, uint32_t serial, uint32_t, uint32_t, uint32_t state)
    {
        auto *input = static_cast<WaylandInput *>(data);
        if (state == WL_POINTER_BUTTON_STATE_PRESSED) {
            input->pressSerial = serial;
            input->pressedOn = input->under;
        }
    }
    static void axis(void *, wl_pointer *, uint32_t, uint32_t, wl_fixed_t) {}

    static void done(void *data, xdg_activation_token_v1 *, const char *token)
    {
        auto *input = static_cast<WaylandInput *>(data);
        input->token = token;
        input->tokenDone = true;
    }

    static constexpr wl_registry_listener registry {global, globalRemove};
    static constexpr xdg_activation_token_v1_listener token {done};
    // Later versions of the protocol add events (and fields) that version 1 never sends.
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
};

WaylandInput::WaylandInput(wl_display *display)
    : display(display)
{
    if (!display)
        return;
    queue = wl_display_create_queue(display);
    wrapper = static_cast<wl_display *>(wl_proxy_create_wrapper(display));
    wl_proxy_set_queue(reinterpret_cast<wl_proxy *>(wrapper), queue);
    wl_registry *registry = wl_display_get_registry(wrapper);
    wl_registry_add_listener(registry, &Listeners::registry, this);
    wl_display_roundtrip_queue(display, queue);
    wl_registry_destroy(registry);
    if (seat) {
        pointer = wl_seat_get_pointer(seat);
        wl_pointer_add_listener(pointer, Listeners::pointer(), this);
    }
}

WaylandInput::~WaylandInput()
{
    if (pointer)
        wl_pointer_destroy(pointer);
    if (seat)
        wl_seat_destroy(seat);
    if (activation)
        xdg_activation_v1_destroy(activation);
    if (wrapper)
        wl_proxy_wrapper_destroy(wrapper);
    if (queue)
        wl_event_queue_destroy(queue);
}

QByteArray WaylandInput::activationToken(QWindow *window)
{
    if (!activation || !pointer || !window || !window->handle())
        return {};
    // The presses Qt's reading of the connection has queued for this pointer since the last look.
    wl_display_dispatch_queue_pending(display, queue);
    auto *surface = static_cast<wl_surface *>(
        QGuiApplication::platformNativeInterface()->nativeResourceForWindow("surface", window));
    if (!surface || pressedOn != surface)
        return {};
    xdg_activation_token_v1 *asked = xdg_activation_v1_get_activation_token(activation);
    xdg_activation_token_v1_add_listener(asked, &Listeners::token, this);
    xdg_activation_token_v1_set_serial(asked, pressSerial, seat);
    xdg_activation_token_v1_set_surface(asked, surface);
    xdg_activation_token_v1_set_app_id(asked, QGuiApplication::desktopFileName().toUtf8().constData());
    xdg_activation_token_v1_commit(asked);
    token.clear();
    tokenDone = false;
    for (int i = 0; i < RoundTrips && !tokenDone; ++i) {
        if (wl_display_roundtrip_queue(display, queue) < 0)
            break;
    }
    xdg_activation_token_v1_destroy(asked);
    return token;
}
