#pragma once

// The font library reads its configuration and caches, and Qt's font
// database lists the installed faces (a few milliseconds together), on a
// worker started as soon as the first window is on its way to the screen
// (earlier, it would hold back the window's mapping); the first paint, which
// needs both, waits for that to finish rather than doing it again. Only the
// first call starts anything.
namespace FontLibraryWarmUp {

void start();

} // namespace FontLibraryWarmUp
