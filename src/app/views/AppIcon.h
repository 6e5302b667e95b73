#pragma once

#include <QIcon>

#include <functional>

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
// the window system. The renderings are decoded meanwhile on a worker, or,
// `after` the window's first frame, on the interface thread (where a window
// is about to be made: the worker would share the processor with it). Asked
// for again while waiting, it does nothing.
enum class Decoding { ahead, after };
void applyWithFirstWindow(Decoding decoding = Decoding::ahead);
// Runs `then` once the icon has been handed over with a window that has
// been shown and is being waited for, else at once.
void afterFirstWindowDrawn(const std::function<void()>& then);

} // namespace AppIcon
