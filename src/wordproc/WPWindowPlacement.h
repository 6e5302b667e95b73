#pragma once

#include <QRect>
#include <QSize>

// Where the first document window opens when no frame of one was saved.
namespace WPWindowPlacement {

// The window's frame for content of `size` (at least `minimum`) on a
// screen whose free area is `available`, both in the same units at any
// scale factor: centred on the free area, made smaller where it does not
// fit, and never smaller than `minimum`; `decoration` is the room the
// window manager's title bar and borders take.
QRect firstFrame(QSize size, QSize minimum, const QRect& available, QSize decoration = QSize(0, 0));

} // namespace WPWindowPlacement
