// Which of the program's windows the user works in, by the X11 window manager's record while one keeps it.
#include "linux/WindowManager.h"

#include <QGuiApplication>
#include <QWindow>
#include <qpa/qplatformnativeinterface.h>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace {

template <typename T>
using XcbReply = std::unique_ptr<T, decltype(&std::free)>;

xcb_connection_t *x11(void *connection)
{
    return static_cast<xcb_connection_t *>(connection);
}

// The one window that `property` of `window` names, 0 for none or for a window that is gone (an
// error taken here, or Qt would report it as its own).
xcb_window_t windowNamed(xcb_connection_t *c, xcb_window_t window, xcb_atom_t property)
{
    xcb_generic_error_t *error = nullptr;
    const XcbReply<xcb_get_property_reply_t> value(
        xcb_get_property_reply(c, xcb_get_property(c, 0, window, property, XCB_ATOM_WINDOW, 0, 1), &error),
        &std::free);
    std::free(error);
    if (!value || value->type != XCB_ATOM_WINDOW || xcb_get_property_value_length(value.get()) < 4)
        return 0;
    return *static_cast<const xcb_window_t *>(xcb_get_property_value(value.get()));
}

// Whether the atom list `property` of `window` holds `atom`.
bool listed(xcb_connection_t *c, xcb_window_t window, xcb_atom_t property, xcb_atom_t atom)
{
    xcb_generic_error_t *error = nullptr;
    const XcbReply<xcb_get_property_reply_t> value(
        xcb_get_property_reply(c, xcb_get_property(c, 0, window, property, XCB_ATOM_ATOM, 0, 1024), &error),
        &std::free);
    std::free(error);
    if (!value || value->type != XCB_ATOM_ATOM)
        return false;
    const auto *atoms = static_cast<const xcb_atom_t *>(xcb_get_property_value(value.get()));
    const int count = xcb_get_property_value_length(value.get()) / int(sizeof(xcb_atom_t));
    return std::find(atoms, atoms + count, atom) != atoms + count;
}

// The root of the display's default screen, where Qt puts the program's windows: on a display with
// several X screens it need not be the first.
xcb_window_t defaultRoot(xcb_connection_t *c)
{
    QPlatformNativeInterface *native = QGuiApplication::platformNativeInterface();
    const auto number = native ? reinterpret_cast<quintptr>(native->nativeResourceForIntegration("x11screen")) : 0;
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (quintptr i = 0; i < number && screens.rem > 1; ++i)
        xcb_screen_next(&screens);
    return screens.data->root;
}

} // namespace

WindowManager::WindowManager(QObject *parent)
    : FocusWitness(parent)
{
    connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, &WindowManager::tell);
    qGuiApp->installNativeEventFilter(this);
}

WindowManager::~WindowManager()
{
    if (qGuiApp)
        qGuiApp->removeNativeEventFilter(this);
}

void WindowManager::start()
{
    // Off X11, and should the server not answer, Qt's focus answers for good.
    record = Record::Unkept;
    // The offscreen platform answers for X11 too, with no connection.
    auto *native = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t *c = native ? native->connection() : nullptr;
    if (!c)
        return;
    connection = c;
    root = defaultRoot(c);
    // Made if no client has named them yet, so that a window manager started later is heard from.
    const char active[] = "_NET_ACTIVE_WINDOW";
    const char check[] = "_NET_SUPPORTING_WM_CHECK";
    const char supported[] = "_NET_SUPPORTED";
    const xcb_intern_atom_cookie_t activeCookie = xcb_intern_atom(c, 0, sizeof active - 1, active);
    const xcb_intern_atom_cookie_t checkCookie = xcb_intern_atom(c, 0, sizeof check - 1, check);
    const xcb_intern_atom_cookie_t supportedCookie = xcb_intern_atom(c, 0, sizeof supported - 1, supported);
    const XcbReply<xcb_intern_atom_reply_t> activeReply(xcb_intern_atom_reply(c, activeCookie, nullptr), &std::free);
    const XcbReply<xcb_intern_atom_reply_t> checkReply(xcb_intern_atom_reply(c, checkCookie, nullptr), &std::free);
    const XcbReply<xcb_intern_atom_reply_t> supportedReply(xcb_intern_atom_reply(c, supportedCookie, nullptr),
                                                           &std::free);
    if (!activeReply || !checkReply || !supportedReply)
        return;
    activeAtom = activeReply->atom;
    checkAtom = checkReply->atom;
    supportedAtom = supportedReply->atom;
    // The root's events are the program's one mask on it, Qt's own included: added to, never replaced.
    const XcbReply<xcb_get_window_attributes_reply_t> attributes(
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, root), nullptr), &std::free);
    if (!attributes)
        return;
    if (!(attributes->your_event_mask & XCB_EVENT_MASK_PROPERTY_CHANGE)) {
        const std::uint32_t mask = attributes->your_event_mask | XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &mask);
    }
    readManager();
}

void WindowManager::readManager()
{
    xcb_connection_t *c = x11(connection);
    manager = 0;
    const xcb_window_t candidate = windowNamed(c, root, checkAtom);
    if (candidate != 0) {
        // Followed first, then asked: a window manager that exits between the two is still heard.
        const std::uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
        std::free(xcb_request_check(
            c, xcb_change_window_attributes_checked(c, candidate, XCB_CW_EVENT_MASK, &mask)));
        // One that keeps no record of the active window may have left an old one behind.
        if (windowNamed(c, candidate, checkAtom) == candidate && listed(c, root, supportedAtom, activeAtom))
            manager = candidate;
    }
    record = manager != 0 ? Record::Kept : Record::Unkept;
    readRecord();
}

void WindowManager::readRecord()
{
    named = record == Record::Kept ? windowNamed(x11(connection), root, activeAtom) : 0;
}

QWindow *WindowManager::userWindow()
{
    if (record == Record::Unread)
        start();
    if (record != Record::Kept)
        return QGuiApplication::focusWindow();
    for (QWindow *window : QGuiApplication::topLevelWindows()) {
        // Only windows the X server knows: asking another for its id would make it.
        if (window->handle() && window->winId() == named)
            return window;
    }
    return nullptr;
}

bool WindowManager::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (record == Record::Unread || eventType != "xcb_generic_event_t")
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    switch (event->response_type & ~0x80) {
    case XCB_PROPERTY_NOTIFY: {
        const auto *change = static_cast<const xcb_property_notify_event_t *>(message);
        if (change->window != root)
            return false;
        if (change->atom == checkAtom || change->atom == supportedAtom)
            readManager();
        else if (change->atom == activeAtom && record == Record::Kept)
            readRecord();
        else
            return false;
        break;
    }
    case XCB_DESTROY_NOTIFY:
        if (manager == 0 || static_cast<const xcb_destroy_notify_event_t *>(message)->window != manager)
            return false;
        manager = 0;
        record = Record::Unkept;
        named = 0;
        break;
    default:
        return false;
    }
    tell();
    return false;
}

void WindowManager::tell()
{
    if (record == Record::Unread)
        return;
    QWindow *now = userWindow();
    if (now == told)
        return;
    told = now;
    emit userWindowChanged();
}
