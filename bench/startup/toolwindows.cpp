// Each tool window after its click on the floating menu, timed from outside
// on the X server: click -> mapped, click -> settled (its last paint before
// it goes quiet; a caret blink is not a paint), and the program's resident
// memory with that window open; median of runs, one fresh program per run.
// Floor: the Calculator's window, the lightest of them.
#include "ProbeRun.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTextStream>

int main(int argc, char** argv)
{
    ProbeRun::ensureDisplay(argc, argv);
    QCoreApplication app(argc, argv);
    const int runs = ProbeRun::runs(7);
    // The tools named on the command line (after the Calculator, the
    // floor), else all of them.
    QStringList tools{QStringLiteral("calculator")};
    for (const QString& a : app.arguments().mid(1)) {
        if (!tools.contains(a))
            tools.append(a);
    }
    if (tools.size() == 1)
        tools = QStringList{QStringLiteral("calculator"), QStringLiteral("scientific"), QStringLiteral("converter"),
                            QStringLiteral("loanGPA"), QStringLiteral("stickyNotes"), QStringLiteral("recorder"),
                            QStringLiteral("focus"), QStringLiteral("citation"), QStringLiteral("invoice"),
                            QStringLiteral("timeline"), QStringLiteral("passwords"), QStringLiteral("solitaire"),
                            QStringLiteral("bingo"), QStringLiteral("wordProcessor")};
    struct Row {
        QString tool;
        double mapped, settled, rss;
    };
    std::vector<Row> rows;
    for (const QString& tool : std::as_const(tools)) {
        std::vector<double> mapped, settled, rss;
        for (int i = 0; i < runs; ++i) {
            const ProbeRun::Result r = ProbeRun::run(ProbeRun::program(QStringLiteral(BW_EXE)), {tool, {}});
            mapped.push_back(r.clickMapped);
            settled.push_back(r.clickSettled);
            rss.push_back(r.rssMiB);
        }
        rows.push_back({tool, ProbeRun::median(mapped), ProbeRun::median(settled),
                        ProbeRun::median(rss)});
    }
    const Row& floor = rows.front();
    QTextStream out(stdout);
    out << "tool window after its click on the X server, median of " << runs
        << " runs; floor: the Calculator's window\n";
    out << "tool                 click->mapped ms  click->settled ms  floor ms  ratio  RSS MiB  floor MiB\n";
    const Row* slowest = &floor;
    for (const Row& r : rows) {
        out << r.tool.leftJustified(20) << " " << QString::number(r.mapped, 'f', 1).rightJustified(16) << " "
            << QString::number(r.settled, 'f', 1).rightJustified(18) << " "
            << QString::number(floor.settled, 'f', 1).rightJustified(9) << " "
            << QString::number(r.settled / floor.settled, 'f', 2).rightJustified(6) << " "
            << QString::number(r.rss, 'f', 1).rightJustified(8) << " "
            << QString::number(floor.rss, 'f', 1).rightJustified(10) << "\n";
        if (r.settled > slowest->settled)
            slowest = &r;
    }
    out << ProbeRun::row(QStringLiteral("slowest (") + slowest->tool + QStringLiteral(") click -> settled"),
                         slowest->settled, floor.settled, QStringLiteral("ms"), 1.3)
        << "\n";
    return 0;
}
