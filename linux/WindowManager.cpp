// What the X11 window manager says of the program's windows, where it says anything.
#include "linux/WindowManager.h"

#include <QGuiApplication>
#include <QWindow>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace {

template <typename Reply>
using Risposta = std::unique_ptr<Reply, decltype(&std::free)>;

} // namespace

std::optional<bool> WindowManager::holdsActive(const QWindow *window)
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !window || !window->handle())
        return std::nullopt;
    xcb_connection_t *connessione = x11->connection();
    if (!atomoChiesto) {
        atomoChiesto = true;
        const char nome[] = "_NET_ACTIVE_WINDOW";
        const Risposta<xcb_intern_atom_reply_t> atomo(
            xcb_intern_atom_reply(connessione, xcb_intern_atom(connessione, 1, sizeof nome - 1, nome), nullptr),
            &std::free);
        if (atomo)
            atomoAttiva = atomo->atom;
    }
    if (atomoAttiva == XCB_ATOM_NONE)
        return std::nullopt;
    const xcb_window_t radice = xcb_setup_roots_iterator(xcb_get_setup(connessione)).data->root;
    const Risposta<xcb_get_property_reply_t> valore(
        xcb_get_property_reply(connessione,
                               xcb_get_property(connessione, 0, radice, atomoAttiva, XCB_ATOM_WINDOW, 0, 1), nullptr),
        &std::free);
    if (!valore || valore->type != XCB_ATOM_WINDOW || xcb_get_property_value_length(valore.get()) < 4)
        return std::nullopt;
    const xcb_window_t attiva = *static_cast<const xcb_window_t *>(xcb_get_property_value(valore.get()));
    return attiva == window->winId();
}
