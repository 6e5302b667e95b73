#pragma once

// Runs the program (or the bare window) once with the start-up probe on and
// times the lines it prints, as they arrive, from the moment it was started.

#include <QString>
#include <vector>

namespace ProbeRun {

struct Result {
    double mapped = -1;      // first window mapped
    double settled = -1;     // last frame of the first window before the click
    double clickMapped = -1; // click -> tool window mapped
    double clickSettled = -1; // click -> its last frame
    double rssMiB = -1;      // resident memory once everything settled
};

// Runs under a fresh data folder; `clickTool`: the tool id to click once the
// first window has settled (empty: none).
Result run(const QString& exe, const QString& clickTool);

// Re-runs the calling program under xvfb-run when there is no display;
// returns only when there is one.
void ensureDisplay(int argc, char** argv);

double median(std::vector<double> v);

} // namespace ProbeRun
