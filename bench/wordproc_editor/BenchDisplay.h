#pragma once

// Windows in the editor benchmarks are shown on a real X server, as a user
// sees them: the one DISPLAY names, else a private Xvfb started for the run
// (stopped when the benchmark ends). Call before the QApplication is made.
namespace BenchDisplay {

void ensure();

} // namespace BenchDisplay
