#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <xcb/xcb.h>

// What the note windows ask of an X server directly.
namespace StickyX11 {

// The desktop number that stands for every desktop.
constexpr quint32 kAllDesktops = 0xFFFFFFFF;

// The application's X connection, or null off X11.
xcb_connection_t* connection();
// The "_NET_WM_DESKTOP" atom (asked of the server once), or none.
xcb_atom_t desktopAtom(xcb_connection_t* c);

// The atoms note windows set, asked of the server together, once.
struct Atoms {
    xcb_atom_t wmProtocols = XCB_ATOM_NONE;
    xcb_atom_t wmDeleteWindow = XCB_ATOM_NONE;
    xcb_atom_t wmClientLeader = XCB_ATOM_NONE;
    xcb_atom_t windowType = XCB_ATOM_NONE;
    xcb_atom_t typeUtility = XCB_ATOM_NONE;
    xcb_atom_t typeOverride = XCB_ATOM_NONE;
    xcb_atom_t typeNormal = XCB_ATOM_NONE;
    xcb_atom_t motifHints = XCB_ATOM_NONE;
    xcb_atom_t name = XCB_ATOM_NONE;
    xcb_atom_t utf8 = XCB_ATOM_NONE;
    xcb_atom_t state = XCB_ATOM_NONE;
    xcb_atom_t stateAbove = XCB_ATOM_NONE;
    xcb_atom_t stateStaysOnTop = XCB_ATOM_NONE;
    xcb_atom_t desktop = XCB_ATOM_NONE;
    xcb_atom_t userTime = XCB_ATOM_NONE;
    xcb_atom_t pid = XCB_ATOM_NONE;
};
const Atoms& atoms(xcb_connection_t* c);

// What the application's own windows tell the window manager about the
// program: the group leader window, the class and the machine.
struct Identity {
    xcb_window_t leader = XCB_WINDOW_NONE;
    QByteArray wmClass;
    QByteArray machine;
};
// Read once from a window the application made (one is made for it when
// there is none yet).
const Identity& identity(xcb_connection_t* c);

} // namespace StickyX11
