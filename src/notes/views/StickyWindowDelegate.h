#pragma once

#include <QRect>
#include <QRectF>
#include <QUuid>
#include <optional>

class StickyStore;

// Carries what happens to a note window back to the store: moves and
// resizes become frameChanged (in stored coordinates), a close request hides
// the note. Requests from a window without a note id are ignored, and such
// a window is never closed either. The window collection calls these from
// its windows' signals.
class StickyWindowDelegate {
public:
    static StickyWindowDelegate& shared();

    // `geometry` in window-system coordinates; `primary` the primary
    // screen's area there.
    void report(StickyStore& store, const std::optional<QUuid>& noteID, const QRect& geometry,
                const QRectF& primary);
    // Always false: a note window is hidden, never closed.
    bool windowShouldClose(StickyStore& store, const std::optional<QUuid>& noteID);
};
