// Recovery copies of a 200-page document (100,000 words, 40 pictures, 20
// tables) while the user types:
// - Snapshot: what one copy costs the interface thread (the text walked
//   into values for the worker), beside a frame's budget of 16 ms.
// - Written here: the whole copy made on the interface thread, as it would
//   be without the worker (the worker's share).
// - Typing: keys at 20 a second for six seconds with the program's own
//   pause and longest wait, the copies written meanwhile; the longest time
//   a key waited to be taken in, beside the same typing with no copies.
// - Quit: the copies written at quit, after typing since the last copy.
#include "ProseDocument.h"

#include "wordproc/WPDocument.h"
#include "wordproc/WPRecovery.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <functional>
#include <memory>

namespace {

std::unique_ptr<WPDocument> longDocument()
{
    auto doc = std::make_unique<WPDocument>();
    ProseDocument::fill(doc->storage());
    doc->setEdited(true);
    return doc;
}

void typeKey(WPDocument* doc)
{
    QTextCursor c(doc->storage());
    c.setPosition(doc->storage()->characterCount() / 2);
    c.insertText(QStringLiteral("k"));
}

double elapsedMs(const QElapsedTimer& t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

void BM_Snapshot(benchmark::State& state)
{
    auto doc = longDocument();
    WPRecovery recovery;
    recovery.watch(doc.get());
    double worst = 0;
    for (auto _ : state) {
        typeKey(doc.get());
        QElapsedTimer t;
        t.start();
        recovery.writeSoon(doc.get());
        const double ms = elapsedMs(t);
        worst = std::max(worst, ms);
        state.SetIterationTime(ms / 1000);
        state.PauseTiming();
        recovery.waitForWrites();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["worst_ms"] = worst;
    state.counters["frame_budget_ms"] = 16;
}
BENCHMARK(BM_Snapshot)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);

void BM_WrittenHere(benchmark::State& state)
{
    auto doc = longDocument();
    WPRecovery recovery;
    recovery.watch(doc.get());
    for (auto _ : state) {
        typeKey(doc.get());
        if (!recovery.writeNow(doc.get()))
            state.SkipWithError("the copy could not be written");
    }
    state.counters["copy_MiB"] = double(QFileInfo(WPRecovery::pathFor(recovery.idOf(doc.get()))).size()) / (1 << 20);
}
BENCHMARK(BM_WrittenHere)->Unit(benchmark::kMillisecond)->Iterations(5);

// Types `keys` keys 50 ms apart; returns the longest a key waited past its
// moment (the interface thread was busy elsewhere).
double typeFor(WPDocument* doc, int keys, const std::function<void()>& afterKey)
{
    QElapsedTimer clock;
    clock.start();
    double worst = 0;
    for (int i = 0; i < keys; ++i) {
        const qint64 due = qint64(i) * 50;
        while (clock.elapsed() < due)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, int(due - clock.elapsed()));
        worst = std::max(worst, double(clock.nsecsElapsed()) / 1e6 - double(due));
        typeKey(doc);
        afterKey();
    }
    return worst;
}

void BM_Typing(benchmark::State& state)
{
    const bool copying = state.range(0) != 0;
    auto doc = longDocument();
    WPRecovery recovery;
    if (copying)
        recovery.watch(doc.get());
    const QString path = WPRecovery::pathFor(recovery.idOf(doc.get()));
    double worst = 0;
    int copies = 0;
    for (auto _ : state) {
        QDateTime last;
        worst = typeFor(doc.get(), 120, [&] {
            const QDateTime now = QFileInfo(path).lastModified();
            if (copying && now.isValid() && now != last) {
                ++copies;
                last = now;
            }
        });
        recovery.waitForWrites();
    }
    state.counters["key_wait_worst_ms"] = worst;
    state.counters["copies"] = copies;
}
BENCHMARK(BM_Typing)->Arg(0)->Arg(1)->ArgNames({"copying"})->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_Quit(benchmark::State& state)
{
    auto doc = longDocument();
    for (auto _ : state) {
        state.PauseTiming();
        WPRecovery recovery;
        recovery.watch(doc.get());
        typeKey(doc.get());
        recovery.writeSoon(doc.get());
        typeKey(doc.get());
        state.ResumeTiming();
        if (!recovery.writeAll().isEmpty())
            state.SkipWithError("a copy could not be written");
    }
}
BENCHMARK(BM_Quit)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    // The copies go to a data folder of their own.
    QTemporaryDir data;
    qputenv("VEXO_BW_DATA_DIR", QFile::encodeName(data.path()));
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
