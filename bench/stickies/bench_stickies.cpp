// Sticky notes: restoring 200 visible notes to windows (target: under a
// second), the memory one note window costs, and the writes typing causes
// (target: never more than two a second).
//
// Runs on the offscreen platform unless QT_QPA_PLATFORM says otherwise
// (QT_QPA_PLATFORM=xcb under xvfb-run for real windows).
#include "core/Json.h"
#include "core/Store.h"
#include "notes/StickyFrame.h"
#include "notes/StickyStore.h"
#include "notes/views/StickyWindows.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QEventLoop>
#include <QTimer>
#include <benchmark/benchmark.h>

namespace {

void writeNotes(int count)
{
    QList<StickyNote> notes;
    for (int i = 0; i < count; ++i) {
        StickyNote n = StickyNote::make(i, QStringLiteral("Note %1: remember the thing about the other thing").arg(i));
        n.frame = StickyFrame::toText(QRectF(20 + (i % 20) * 30, 100 + (i / 20) * 20, 320, 300));
        notes.append(n);
    }
    Store::save(Json::fromList(notes), StickyStore::fileName());
}

void waitMs(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

qint64 residentKiB()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : f.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

// First, before other windows have come and gone and left freed memory
// behind to reuse.
void BM_MemoryPerWindow(benchmark::State& state)
{
    const int count = int(state.range(0));
    writeNotes(count);
    double perWindow = 0;
    for (auto _ : state) {
        auto* store = new StickyStore;
        auto* windows = new StickyWindows(*store);
        QApplication::processEvents();
        const qint64 before = residentKiB();
        store->restoreWindows();
        QApplication::processEvents();
        perWindow = double(residentKiB() - before) / count;
        delete windows;
        delete store;
        QApplication::processEvents();
    }
    state.counters["KiB_per_window"] = perWindow;
}
BENCHMARK(BM_MemoryPerWindow)->Arg(100)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_RestoreWindows(benchmark::State& state)
{
    const int count = int(state.range(0));
    writeNotes(count);
    for (auto _ : state) {
        auto* store = new StickyStore;
        auto* windows = new StickyWindows(*store);
        QElapsedTimer t;
        t.start();
        store->restoreWindows();
        // Until every window has been laid out and painted once.
        QApplication::processEvents();
        state.SetIterationTime(double(t.nsecsElapsed()) / 1e9);
        state.PauseTiming();
        delete windows;
        delete store;
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["notes"] = count;
}
BENCHMARK(BM_RestoreWindows)->Arg(200)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

// Ten keystrokes a second for four seconds, with a short pause after every
// sentence: the writes that causes per second of typing.
void BM_TypingWrites(benchmark::State& state)
{
    writeNotes(0);
    double perSecond = 0;
    for (auto _ : state) {
        StickyStore store;
        const QUuid id = store.newNote(0, QString());
        const int start = store.writeCount();
        QString text;
        QElapsedTimer t;
        t.start();
        for (int i = 0; i < 40; ++i) {
            text += QLatin1Char('a' + i % 26);
            store.setText(id, text);
            waitMs(i % 12 == 11 ? 600 : 100);
        }
        perSecond = (store.writeCount() - start) / (double(t.elapsed()) / 1000.0);
    }
    state.counters["writes_per_second"] = perSecond;
}
BENCHMARK(BM_TypingWrites)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir data;
    qputenv("VEXO_BW_DATA_DIR", data.path().toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
