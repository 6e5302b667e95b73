#pragma once

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

} // namespace StickyX11
