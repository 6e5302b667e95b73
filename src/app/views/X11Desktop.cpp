#include "app/views/X11Desktop.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace X11Desktop {

namespace {

// The window manager reads this desktop number as "all desktops".
constexpr quint32 kAllDesktops = 0xFFFFFFFF;

xcb_connection_t* connection()
{
    if (!isX11())
        return nullptr;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

xcb_atom_t atom(xcb_connection_t* c, const QByteArray& name)
{
    const xcb_intern_atom_cookie_t cookie = xcb_intern_atom(c, 0, quint16(name.size()), name.constData());
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(xcb_intern_atom_reply(c, cookie, nullptr),
                                                                         &std::free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

xcb_window_t rootWindow(xcb_connection_t* c)
{
    const int screen = screenOfDisplay(qEnvironmentVariable("DISPLAY"));
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; it.rem > 0; xcb_screen_next(&it), ++i) {
        if (i == screen)
            return it.data->root;
    }
    it = xcb_setup_roots_iterator(xcb_get_setup(c));
    return it.rem > 0 ? it.data->root : xcb_window_t(XCB_WINDOW_NONE);
}

} // namespace

bool isX11()
{
    return qGuiApp && QGuiApplication::platformName() == QLatin1String("xcb");
}

QString compositingSelection(int screen)
{
    return QStringLiteral("_NET_WM_CM_S%1").arg(screen);
}

int screenOfDisplay(const QString& display)
{
    const qsizetype colon = display.lastIndexOf(QLatin1Char(':'));
    const qsizetype dot = display.indexOf(QLatin1Char('.'), colon + 1);
    if (colon < 0 || dot < 0)
        return 0;
    bool ok = false;
    const int screen = display.mid(dot + 1).toInt(&ok);
    return ok && screen >= 0 ? screen : 0;
}

bool compositing()
{
    xcb_connection_t* c = connection();
    if (!c)
        return true;
    const QByteArray name = compositingSelection(screenOfDisplay(qEnvironmentVariable("DISPLAY"))).toLatin1();
    const xcb_atom_t selection = atom(c, name);
    if (selection == XCB_ATOM_NONE)
        return false;
    std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(&std::free)> owner(
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, selection), nullptr), &std::free);
    return owner && owner->owner != XCB_WINDOW_NONE;
}

std::optional<bool> clipboardOwned()
{
    xcb_connection_t* c = connection();
    if (!c)
        return std::nullopt;
    // Atoms keep their number while the server runs, and the program keeps
    // its one connection.
    static const xcb_atom_t clipboard = atom(c, QByteArrayLiteral("CLIPBOARD"));
    if (clipboard == XCB_ATOM_NONE)
        return std::nullopt;
    std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(&std::free)> owner(
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, clipboard), nullptr), &std::free);
    if (!owner)
        return std::nullopt;
    return owner->owner != XCB_WINDOW_NONE;
}

void showOnAllDesktops(QWidget* window)
{
    xcb_connection_t* c = connection();
    if (!c || !window)
        return;
    const xcb_atom_t desktop = atom(c, QByteArrayLiteral("_NET_WM_DESKTOP"));
    if (desktop == XCB_ATOM_NONE)
        return;
    // The widget's own id goes stale when a change of its flags (the
    // on-top level) re-makes the native window; its window handle always
    // holds the current one.
    window->winId();
    const QWindow* handle = window->windowHandle();
    if (!handle)
        return;
    const auto id = xcb_window_t(handle->winId());
    // An unmapped window carries the wish as a property; a mapped one asks
    // the window manager, which owns the property from then on.
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, desktop, XCB_ATOM_CARDINAL, 32, 1, &kAllDesktops);
    if (window->isVisible()) {
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = id;
        event.type = desktop;
        event.data.data32[0] = kAllDesktops;
        event.data.data32[1] = 1; // asked by the application itself
        xcb_send_event(c, 0, rootWindow(c),
                       XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&event));
    }
    xcb_flush(c);
}

void flush()
{
    if (xcb_connection_t* c = connection())
        xcb_flush(c);
}

std::optional<quint32> desktopOf(QWidget* window)
{
    xcb_connection_t* c = connection();
    if (!c || !window || !window->windowHandle() || !window->windowHandle()->handle())
        return std::nullopt;
    const xcb_atom_t desktop = atom(c, QByteArrayLiteral("_NET_WM_DESKTOP"));
    const auto id = xcb_window_t(window->windowHandle()->winId());
    std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
        xcb_get_property_reply(c, xcb_get_property(c, 0, id, desktop, XCB_ATOM_CARDINAL, 0, 1), nullptr),
        &std::free);
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) != 4)
        return std::nullopt;
    return *static_cast<const quint32*>(xcb_get_property_value(reply.get()));
}

} // namespace X11Desktop
