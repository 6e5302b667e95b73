#pragma once

#include <QString>
#include <optional>

class QWidget;

// The few things the shell asks an X11 window manager directly. Every call
// does nothing (or answers as a composited desktop would) on other
// platforms.
namespace X11Desktop {

// Whether the program talks to an X server.
bool isX11();

// Whether a compositing manager runs on the default screen, so translucent
// window areas show what lies beneath. True when not on X11.
bool compositing();

// The selection a compositing manager owns for `screen` ("_NET_WM_CM_S0").
QString compositingSelection(int screen);
// The screen number of a display name (":0.1" -> 1; ":0" -> 0).
int screenOfDisplay(const QString& display);

// Puts `window` on every virtual desktop: before it is first shown as a
// property, afterwards as a request to the window manager.
void showOnAllDesktops(QWidget* window);

// Sends whatever requests are waiting to the X server now (a window just
// shown is mapped before the program goes on to other work).
void flush();

// Whether some client (this program included) owns the clipboard; nothing
// off X11. Asking the X server this is one round trip, where Qt's clipboard
// answers any question about an empty clipboard by first loading every image
// plugin it has.
std::optional<bool> clipboardOwned();

// The desktop the window is kept on as its native window carries it
// (0xFFFFFFFF: all of them); nothing off X11 or before it says.
std::optional<quint32> desktopOf(QWidget* window);

} // namespace X11Desktop
