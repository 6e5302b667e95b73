// The focus window opened with 10,000 to-dos against the empty window
// (target: at most 3 times its time and 150 MB of memory in all), each
// opened in a fresh process on an X server.
#include "WindowOpenBench.h"
#include "planner/FocusModel.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

bool writeTasks(const QString& folder, int count)
{
    FocusModel::Saved saved;
    const QDateTime created(QDate(2026, 3, 1), QTime(8, 0), Qt::UTC);
    for (int i = 0; i < count; ++i) {
        FocusTask t = FocusTask::make(QStringLiteral("Read chapter %1 and write the summary").arg(i),
                                      created.addSecs(i));
        t.done = i % 4 == 0;
        t.pomodoros = i % 9;
        saved.tasks.append(t);
    }
    saved.day = QStringLiteral("2026-03-01");
    QFile f(folder + QStringLiteral("/focus.json"));
    return f.open(QIODevice::WriteOnly) && f.write(QJsonDocument(saved.toJson().toObject()).toJson()) > 0;
}

void BM_OpenWithTasks(benchmark::State& state)
{
    const int count = int(state.range(0));
    QTemporaryDir empty, full, home;
    if (!writeTasks(full.path(), count)) {
        state.SkipWithError("could not write the tasks");
        return;
    }
    const QString exe = WindowOpenBench::sibling(QStringLiteral("bench_focus_open"));
    const QString homeVar = QStringLiteral("HOME=") + home.path();
    WindowOpenBench::Comparison c;
    for (auto _ : state)
        c = WindowOpenBench::compare(exe, {QStringLiteral("VEXO_BW_DATA_DIR=") + empty.path(), homeVar},
                                     {QStringLiteral("VEXO_BW_DATA_DIR=") + full.path(), homeVar}, 7);
    const double mb = c.rssMiB * 1.048576;
    state.counters["ms"] = c.ms;
    state.counters["floor_ms"] = c.floorMs;
    state.counters["ratio"] = c.ratio();
    state.counters["rss_MB"] = mb;
    std::printf("focus window with %d to-dos: %.0f ms, floor (empty window) %.0f ms, ratio %.2fx (target <= 3x); "
                "memory %.1f MB (target <= 150 MB), floor %.1f MiB, +%.1f MiB\n",
                count, c.ms, c.floorMs, c.ratio(), mb, c.floorRssMiB, c.rssDeltaMiB());
}
BENCHMARK(BM_OpenWithTasks)->Arg(10000)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
