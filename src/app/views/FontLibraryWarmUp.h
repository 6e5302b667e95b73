#pragma once

// The font library reads its configuration and caches (a few milliseconds)
// on a worker, started with the application (and, failing that, as soon as
// the first window is on its way to the screen); the first paint, which
// needs the library, waits for that to finish rather than doing it again.
// Only the first call starts anything.
namespace FontLibraryWarmUp {

void start();

} // namespace FontLibraryWarmUp
