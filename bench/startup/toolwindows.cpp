// Each tool window after its click on the floating menu: click -> mapped,
// click -> settled (last frame before the window goes quiet), and the
// program's resident memory with that window open, median of runs, one
// fresh program per run.
#include "ProbeRun.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char** argv)
{
    ProbeRun::ensureDisplay(argc, argv);
    QCoreApplication app(argc, argv);
    const int runs = 5;
    const char* const tools[] = {"calculator", "scientific", "converter", "loanGPA", "stickyNotes", "recorder",
                                 "focus", "citation", "invoice", "timeline", "passwords", "solitaire",
                                 "bingo", "wordProcessor"};
    QTextStream out(stdout);
    out.setRealNumberPrecision(3);
    out << "tool window after its click, median of " << runs << " runs\n";
    out << "tool                 click->mapped ms  click->settled ms  RSS MiB\n";
    double lightest = -1, heaviestNumberTool = -1;
    for (const char* tool : tools) {
        std::vector<double> mapped, settled, rss;
        for (int i = 0; i < runs; ++i) {
            const ProbeRun::Result r = ProbeRun::run(QStringLiteral(BW_EXE), QString::fromLatin1(tool));
            mapped.push_back(r.clickMapped);
            settled.push_back(r.clickSettled);
            rss.push_back(r.rssMiB);
        }
        const double m = ProbeRun::median(rss);
        out << QString::fromLatin1(tool).leftJustified(20) << " " << QString::number(ProbeRun::median(mapped), 'f', 1).rightJustified(16)
            << " " << QString::number(ProbeRun::median(settled), 'f', 1).rightJustified(18) << " "
            << QString::number(m, 'f', 1).rightJustified(8) << "\n";
        out.flush();
        if (m > 0 && (lightest < 0 || m < lightest))
            lightest = m;
        const QString t = QString::fromLatin1(tool);
        if (t == QLatin1String("calculator") || t == QLatin1String("scientific") || t == QLatin1String("converter")
            || t == QLatin1String("loanGPA"))
            heaviestNumberTool = std::max(heaviestNumberTool, m);
    }
    out << "heaviest number tool above the lightest window: " << heaviestNumberTool - lightest << " MiB\n";
    return 0;
}
