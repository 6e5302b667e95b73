#pragma once

#include "notes/StickyFrame.h"

#include <QRectF>
#include <QUuid>

// The note windows as the store sees them. The store decides what each
// window shows and where it opens; the host (the widget layer) owns the
// windows themselves, one per note id, made at most once per run and kept
// while the note is hidden.
class StickyWindowHost {
public:
    virtual ~StickyWindowHost() = default;

    virtual StickyScreens screens() const = 0;
    virtual bool hasWindow(const QUuid& id) const = 0;
    // Makes the window of `id` at `frame` (window-system coordinates) in
    // palette colour `shownColor`, floating when `onTop`, and orders it front.
    virtual void makeWindow(const QUuid& id, const QRectF& frame, int shownColor, bool onTop) = 0;
    // Brings the window to the front without taking the keyboard focus.
    virtual void orderFront(const QUuid& id) = 0;
    // Takes the window off the screen; it stays made.
    virtual void orderOut(const QUuid& id) = 0;
    virtual void setColor(const QUuid& id, int shownColor) = 0;
    virtual void setOnTop(const QUuid& id, bool onTop) = 0;
    // Takes the window off the screen and forgets it.
    virtual void removeWindow(const QUuid& id) = 0;
};
