#pragma once

class StickyWindow;

// Carries what happens to a note window back to the store: moves and
// resizes become frameChanged (in stored coordinates), a close request hides
// the note. Windows without a note id are ignored, and never closed.
class StickyWindowDelegate {
public:
    static StickyWindowDelegate& shared();

    void report(StickyWindow* window);
    // Always false: a note window is hidden, never closed.
    bool windowShouldClose(StickyWindow* window);
};
