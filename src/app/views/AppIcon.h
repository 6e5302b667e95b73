#pragma once

#include <QIcon>

// The program's own icon: the vector drawing where an SVG image plugin is
// installed, always backed by bundled PNG renderings so that windows, the
// taskbar and the About window show it on every system.
namespace AppIcon {

QIcon icon();
// Sets the renderings as the application's icon, which every window then
// inherits.
void apply();
// The same, done once the first window that shows an icon (not a tool panel
// such as the floating menu) has been drawn: until then no icon is handed to
// the window system (it is decoded meanwhile on a worker). Asked for again
// while waiting, it does nothing.
void applyWithFirstWindow();

} // namespace AppIcon
