// Start-up benchmark, side by side in one run under one display (Xvfb when
// there is none): the program and a bare Qt window built with the same
// flags, started in turn, median of repeated runs. For each: the first
// window mapped and its first frame settled (the last frame before the
// window goes quiet), then the same with the Calculator opened from the
// floating menu as soon as the menu has settled; resident memory of each.
#include "ProbeRun.h"

#include <QCoreApplication>
#include <QTextStream>

namespace {

struct Series {
    std::vector<double> mapped, settled, clickMapped, clickSettled, rss;
    void add(const ProbeRun::Result& r)
    {
        mapped.push_back(r.mapped);
        settled.push_back(r.settled);
        clickMapped.push_back(r.clickMapped);
        clickSettled.push_back(r.clickSettled);
        rss.push_back(r.rssMiB);
    }
};

} // namespace

int main(int argc, char** argv)
{
    ProbeRun::ensureDisplay(argc, argv);
    QCoreApplication app(argc, argv);
    const int runs = 17;
    const QString exe = QStringLiteral(BW_EXE), bare = QStringLiteral(BARE_EXE);
    Series program, floor, withTool;
    for (int i = 0; i < runs; ++i) {
        program.add(ProbeRun::run(exe, {}));
        floor.add(ProbeRun::run(bare, {}));
        withTool.add(ProbeRun::run(exe, QStringLiteral("calculator")));
    }
    using ProbeRun::median;
    QTextStream out(stdout);
    out.setRealNumberPrecision(3);
    auto row = [&](const char* what, double p, double b) {
        out << "  " << what << ": brindleworks " << p << ", bare Qt window " << b;
        if (p > 0 && b > 0)
            out << ", ratio " << p / b;
        out << "\n";
    };
    out << "start-up, median of " << runs << " runs (ms from exec; MiB)\n";
    row("first window mapped", median(program.mapped), median(floor.mapped));
    row("first frame settled", median(program.settled), median(floor.settled));
    row("idle resident memory", median(program.rss), median(floor.rss));
    out << "with the Calculator opened from the menu\n";
    row("first frame settled", median(withTool.settled), median(floor.settled));
    row("calculator settled (from exec)", median(withTool.settled) + median(withTool.clickSettled),
        median(floor.settled));
    out << "  click -> mapped " << median(withTool.clickMapped) << " ms, click -> settled "
        << median(withTool.clickSettled) << " ms\n";
    row("resident memory", median(withTool.rss), median(floor.rss));
    return median(program.settled) > 0 ? 0 : 1;
}
