#include "notes/views/StickyX11.h"

#include <QGuiApplication>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>
#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace StickyX11 {

xcb_connection_t* connection()
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

xcb_atom_t desktopAtom(xcb_connection_t* c)
{
    return atoms(c).desktop;
}

const Atoms& atoms(xcb_connection_t* c)
{
    // Every request goes out before the first answer is read: one round
    // trip for all of them.
    static const Atoms found = [c] {
        Atoms a;
        const std::array<std::pair<const char*, xcb_atom_t*>, 16> names{{
            {"WM_PROTOCOLS", &a.wmProtocols},
            {"WM_DELETE_WINDOW", &a.wmDeleteWindow},
            {"WM_CLIENT_LEADER", &a.wmClientLeader},
            {"_NET_WM_WINDOW_TYPE", &a.windowType},
            {"_NET_WM_WINDOW_TYPE_UTILITY", &a.typeUtility},
            {"_KDE_NET_WM_WINDOW_TYPE_OVERRIDE", &a.typeOverride},
            {"_NET_WM_WINDOW_TYPE_NORMAL", &a.typeNormal},
            {"_MOTIF_WM_HINTS", &a.motifHints},
            {"_NET_WM_NAME", &a.name},
            {"UTF8_STRING", &a.utf8},
            {"_NET_WM_STATE", &a.state},
            {"_NET_WM_STATE_ABOVE", &a.stateAbove},
            {"_NET_WM_STATE_STAYS_ON_TOP", &a.stateStaysOnTop},
            {"_NET_WM_DESKTOP", &a.desktop},
            {"_NET_WM_USER_TIME", &a.userTime},
            {"_NET_WM_PID", &a.pid},
        }};
        std::array<xcb_intern_atom_cookie_t, names.size()> cookies{};
        for (size_t i = 0; i < names.size(); ++i)
            cookies[i] = xcb_intern_atom(c, 0, quint16(std::strlen(names[i].first)), names[i].first);
        for (size_t i = 0; i < names.size(); ++i) {
            xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(c, cookies[i], nullptr);
            *names[i].second = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
            std::free(reply);
        }
        return a;
    }();
    return found;
}

namespace {

QByteArray propertyBytes(xcb_connection_t* c, xcb_get_property_cookie_t cookie)
{
    xcb_get_property_reply_t* reply = xcb_get_property_reply(c, cookie, nullptr);
    QByteArray out;
    if (reply && reply->format == 8)
        out = QByteArray(static_cast<const char*>(xcb_get_property_value(reply)), xcb_get_property_value_length(reply));
    std::free(reply);
    return out;
}

} // namespace

const Identity& identity(xcb_connection_t* c)
{
    static const Identity found = [c] {
        Identity id;
        // Any native window of the application carries it; a window made
        // here only for this is never shown.
        std::unique_ptr<QWindow> made;
        xcb_window_t source = XCB_WINDOW_NONE;
        for (QWindow* w : QGuiApplication::allWindows()) {
            if (w->handle() && !w->parent()) {
                source = xcb_window_t(w->winId());
                break;
            }
        }
        if (source == XCB_WINDOW_NONE) {
            made = std::make_unique<QWindow>();
            made->create();
            source = xcb_window_t(made->winId());
        }
        const xcb_get_property_cookie_t leader =
            xcb_get_property(c, 0, source, atoms(c).wmClientLeader, XCB_ATOM_WINDOW, 0, 1);
        const xcb_get_property_cookie_t wmClass =
            xcb_get_property(c, 0, source, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 0, 256);
        const xcb_get_property_cookie_t machine =
            xcb_get_property(c, 0, source, XCB_ATOM_WM_CLIENT_MACHINE, XCB_ATOM_STRING, 0, 256);
        if (xcb_get_property_reply_t* reply = xcb_get_property_reply(c, leader, nullptr)) {
            if (reply->format == 32 && xcb_get_property_value_length(reply) == 4)
                id.leader = *static_cast<const xcb_window_t*>(xcb_get_property_value(reply));
            std::free(reply);
        }
        id.wmClass = propertyBytes(c, wmClass);
        id.machine = propertyBytes(c, machine);
        return id;
    }();
    return found;
}

} // namespace StickyX11
