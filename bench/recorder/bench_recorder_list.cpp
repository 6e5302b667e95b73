// The recorder opened with 1,000 notes against the empty recorder (target:
// at most 1.3 times its time and 10 MiB more memory), each opened in a fresh
// process on an X server; and opening writes nothing.
#include "WindowOpenBench.h"
#include "notes/VoiceNote.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QUuid>
#include <benchmark/benchmark.h>

namespace {

// A data folder with `count` notes (a third with a transcript) and their
// audio files.
bool writeNotes(const QString& folder, int count)
{
    QDir(folder).mkpath(QStringLiteral("Recordings"));
    QJsonArray list;
    const QDateTime start(QDate(2026, 1, 5), QTime(9, 0), Qt::UTC);
    for (int i = 0; i < count; ++i) {
        VoiceNote n;
        n.id = QUuid::createUuid();
        n.title = QStringLiteral("Lecture notes %1 — cell biology").arg(i);
        n.fileName = QStringLiteral("Voice Note %1.m4a").arg(i);
        n.created = start.addSecs(qint64(i) * 3600);
        n.duration = 30 + i % 600;
        if (i % 3 == 0)
            n.transcript = QStringLiteral("Membranes are selectively permeable. Review the fluid mosaic model "
                                          "before the quiz on Friday, and bring the lab notebook.");
        QFile audio(folder + QStringLiteral("/Recordings/") + n.fileName);
        if (!audio.open(QIODevice::WriteOnly) || audio.write(QByteArray(2048, 'a')) != 2048)
            return false;
        list.append(n.toJson());
    }
    QFile f(folder + QStringLiteral("/recordings.json"));
    return f.open(QIODevice::WriteOnly) && f.write(QJsonDocument(list).toJson()) > 0;
}

void BM_OpenWithNotes(benchmark::State& state)
{
    const int count = int(state.range(0));
    QTemporaryDir empty, full, home;
    if (!writeNotes(full.path(), count)) {
        state.SkipWithError("could not write the notes");
        return;
    }
    const QString list = full.path() + QStringLiteral("/recordings.json");
    const QDateTime written = QFileInfo(list).lastModified();
    const QString exe = WindowOpenBench::sibling(QStringLiteral("bench_recorder_open"));
    const QString homeVar = QStringLiteral("HOME=") + home.path();
    WindowOpenBench::Comparison c;
    for (auto _ : state)
        c = WindowOpenBench::compare(exe, {QStringLiteral("VEXO_BW_DATA_DIR=") + empty.path(), homeVar},
                                     {QStringLiteral("VEXO_BW_DATA_DIR=") + full.path(), homeVar},
                                     WindowOpenBench::runs(7));
    const bool rewritten = QFileInfo(list).lastModified() != written || QFileInfo::exists(list + QStringLiteral(".bak"));
    state.counters["ms"] = c.ms;
    state.counters["floor_ms"] = c.floorMs;
    state.counters["ratio"] = c.ratio();
    state.counters["rss_delta_MiB"] = c.rssDeltaMiB();
    state.counters["writes_at_open"] = rewritten ? 1 : 0;
    std::printf("recorder with %d notes: %.1f ms, floor (empty recorder) %.1f ms, ratio %.2fx (target <= 1.3x); "
                "memory %.1f MiB, floor %.1f MiB, +%.1f MiB (target <= +10 MiB); file rewritten at open: %s\n",
                count, c.ms, c.floorMs, c.ratio(), c.rssMiB, c.floorRssMiB, c.rssDeltaMiB(), rewritten ? "yes" : "no");
}
BENCHMARK(BM_OpenWithNotes)->Arg(1000)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
