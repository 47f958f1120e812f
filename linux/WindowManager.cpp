// Which of the program's windows the user works in, by the X11 window manager's record where it keeps one.
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

std::optional<std::uint32_t> WindowManager::recordedActive()
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11)
        return std::nullopt;
    xcb_connection_t *connessione = x11->connection();
    // Made if no client has named it yet, so that a window manager started after the program, which
    // then sets it, is heard from.
    if (atomoAttiva == XCB_ATOM_NONE) {
        const char nome[] = "_NET_ACTIVE_WINDOW";
        const Risposta<xcb_intern_atom_reply_t> atomo(
            xcb_intern_atom_reply(connessione, xcb_intern_atom(connessione, 0, sizeof nome - 1, nome), nullptr),
            &std::free);
        if (!atomo)
            return std::nullopt;
        atomoAttiva = atomo->atom;
    }
    const xcb_window_t radice = xcb_setup_roots_iterator(xcb_get_setup(connessione)).data->root;
    const Risposta<xcb_get_property_reply_t> valore(
        xcb_get_property_reply(connessione,
                               xcb_get_property(connessione, 0, radice, atomoAttiva, XCB_ATOM_WINDOW, 0, 1), nullptr),
        &std::free);
    if (!valore || valore->type != XCB_ATOM_WINDOW || xcb_get_property_value_length(valore.get()) < 4)
        return std::nullopt;
    return *static_cast<const xcb_window_t *>(xcb_get_property_value(valore.get()));
}

QWindow *WindowManager::userWindow()
{
    const std::optional<std::uint32_t> attiva = recordedActive();
    if (!attiva)
        return QGuiApplication::focusWindow();
    for (QWindow *window : QGuiApplication::topLevelWindows()) {
        // Only windows the X server knows: asking another for its id would make it.
        if (window->handle() && window->winId() == *attiva)
            return window;
    }
    return nullptr;
}
