// Start-up benchmark, side by side in one interleaved run on an X server
// (an Xvfb of its own when there is no display): the program against a
// bare Qt window built with the same flags, timed from outside by what the
// server shows. For each: the first window mapped and settled (its last
// paint before it goes quiet), the same start with the Calculator opened
// at start, resident memory and shared libraries once settled.
#include "ProbeRun.h"

#include <QCoreApplication>
#include <QTextStream>

namespace {

struct Series {
    std::vector<double> mapped, settled, rss, libraries;
    void add(const ProbeRun::Result& r)
    {
        mapped.push_back(r.mapped);
        settled.push_back(r.settled);
        rss.push_back(r.rssMiB);
        libraries.push_back(r.libraries);
    }
};

} // namespace

int main(int argc, char** argv)
{
    ProbeRun::ensureDisplay(argc, argv);
    QCoreApplication app(argc, argv);
    const int runs = ProbeRun::runs(15);
    const QString exe = ProbeRun::program(QStringLiteral(BW_EXE)), bare = QStringLiteral(BARE_EXE);
    Series program, floor, withCalculator;
    for (int i = 0; i < runs; ++i) {
        program.add(ProbeRun::run(exe));
        floor.add(ProbeRun::run(bare));
        withCalculator.add(ProbeRun::run(exe, {{}, {QStringLiteral("calculator")}}));
    }
    using ProbeRun::median;
    using ProbeRun::row;
    QTextStream out(stdout);
    out << "start-up on the X server, median of " << runs
        << " interleaved runs; floor: a bare Qt 6 window built with the same flags\n"
        << "that draws one line of text in the menu's caption font (the program draws text too)\n";
    out << row(QStringLiteral("floating menu mapped"), median(program.mapped), median(floor.mapped), QStringLiteral("ms"), 1.2)
        << "\n";
    out << row(QStringLiteral("floating menu settled"), median(program.settled), median(floor.settled), QStringLiteral("ms"), 1.3)
        << "\n";
    out << row(QStringLiteral("with the Calculator opened at start, settled"), median(withCalculator.settled),
               median(floor.settled), QStringLiteral("ms"), 1.5)
        << "\n";
    out << row(QStringLiteral("resident memory after start"), median(program.rss), median(floor.rss), QStringLiteral("MiB"), 1.3)
        << "\n";
    const double libs = median(program.libraries), floorLibs = median(floor.libraries);
    out << "  " << QStringLiteral("shared libraries after start").leftJustified(44) << ": " << libs << ", floor "
        << floorLibs << ", " << (libs - floorLibs) << " more (target <= 20 more)\n";
    return median(program.settled) > 0 ? 0 : 1;
}
