#pragma once

#include <QRect>
#include <QSize>

// Where the first document window opens when no frame of one was saved.
namespace WPWindowPlacement {

// The frame of a window of content `size` on a screen whose free area is
// `available`, both in the screen's own units at any scale factor: centred
// on the free area; a window larger than it starts at its top left edge.
// `decoration` is the room the window manager's title bar and borders take.
QRect firstFrame(QSize size, const QRect& available, QSize decoration = QSize(0, 0));

} // namespace WPWindowPlacement
