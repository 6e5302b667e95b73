#pragma once

// Runs the program (or the bare window) once on the X server and times what
// the server shows, from outside: windows of the process as they are mapped
// and every area they paint (X Damage), from the moment the process was
// started. A window has settled at its last paint before it goes quiet;
// paints a caret's width wide (a caret blink) are not counted.

#include <QString>
#include <QStringList>
#include <vector>

namespace ProbeRun {

struct Options {
    QString clickTool;      // once the first window settled, click this tool's button
    QStringList openAtStart; // tools opened at start (VEXO_BW_OPEN)
};

struct Result {
    double mapped = -1;       // first window mapped (ms from the start)
    double settled = -1;      // last paint before the windows went quiet
    double clickMapped = -1;  // click -> tool window mapped
    double clickSettled = -1; // click -> its last paint
    double rssMiB = -1;       // resident memory once everything settled
    int libraries = -1;       // shared libraries mapped then
};

// Runs under a fresh data folder and home.
Result run(const QString& exe, const Options& options = {});

// Re-runs the calling program under its own Xvfb when there is no display;
// returns only when there is one.
void ensureDisplay(int argc, char** argv);

// The program to measure: BW_BENCH_EXE (another build, to compare), else
// `built`.
QString program(const QString& built);

// How many runs (BW_BENCH_RUNS, else `fallback`).
int runs(int fallback);

double median(std::vector<double> v);

// "  what: 51.2 ms, floor 33.0 ms, ratio 1.55 (target <= 1.2)"
QString row(const QString& what, double value, double floor, const QString& unit, double target);

} // namespace ProbeRun
