// Sticky notes as a user meets them, on a real X server: 200 notes shown at
// start against the floating menu shown alone (the floor), the memory the
// program holds with them out (read from outside), how many other notes
// repaint when one more is shown, and the writes typing causes (never more
// than two a second).
//
// Without DISPLAY the program runs itself again under xvfb-run; a window
// manager (openbox) is started beside it when one is installed. Every figure
// is printed with its floor and the ratio to it. A window manager takes on
// every note window (frames, stacking, focus rules, its own round trips to
// the server) before the window shows; "bare_x_ms" is what it takes for as
// many windows of a bare X client, the least a window per note can cost.
// A window counts as shown when the server tells it to draw (Expose): under
// a window manager that is once its frame is on screen, and note frames draw
// nothing of their own.
#include "core/Json.h"
#include "core/Store.h"
#include "notes/StickyFrame.h"
#include "notes/StickyStore.h"
#include "notes/views/StickyLightWindow.h"
#include "notes/views/StickyNoteView.h"
#include "notes/views/StickyWindow.h"
#include "notes/views/StickyWindows.h"
#include "notes/views/StickyX11.h"
#include "app/views/FloatingMenuView.h"
#include "app/views/FloatingPanel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <array>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <unistd.h>
#include <xcb/xcb.h>
#include <vector>

namespace {

constexpr int kNotes = 200;
// What a note window may cost, and how much slower than the floor 200 notes
// may come up.
constexpr double kMaxKiBPerNote = 0.15 * 1024;
constexpr double kMaxRatio = 3.0;

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

qint64 residentKiBOf(qint64 pid)
{
    QFile f(QStringLiteral("/proc/%1/status").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : f.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

// The resident size of a fresh program showing `what` (see runChild), read
// from outside once it has shown and painted everything and its size has
// held for half a second (work finishing on other threads, late paints).
qint64 settledResidentKiB(const QString& what)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child"), what});
    while (child.state() != QProcess::NotRunning && !child.readAllStandardOutput().contains("settled"))
        child.waitForReadyRead(20000);
    qint64 kib = residentKiBOf(child.processId());
    QElapsedTimer limit, steady;
    limit.start();
    steady.start();
    while (child.state() == QProcess::Running && steady.elapsed() < 500 && limit.elapsed() < 15000) {
        QThread::msleep(50);
        const qint64 now = residentKiBOf(child.processId());
        if (now != kib) {
            kib = now;
            steady.restart();
        }
    }
    child.kill();
    child.waitForFinished();
    return kib;
}

// Until `done`: events are handled as they come, as the program itself
// handles them, without keeping a processor busy asking.
void settleUntil(const std::function<bool()>& done)
{
    QElapsedTimer limit;
    limit.start();
    QTimer tick;
    tick.start(10);
    while (!done() && limit.elapsed() < 20000)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QApplication::processEvents();
}

// Until every window is on screen and has painted what it shows.
void settle(const QList<QWindow*>& windows)
{
    settleUntil([&windows] {
        return std::all_of(windows.begin(), windows.end(), [](QWindow* w) { return w->isExposed(); });
    });
}

// Until the window of every note, light or full, is on screen and painted.
void settleNotes(const StickyStore& store, StickyWindows& windows)
{
    settleUntil([&store, &windows] {
        for (const StickyNote& n : store.notes()) {
            if (!n.visible)
                continue;
            if (StickyLightWindow* light = windows.lightWindow(n.id)) {
                if (!light->isExposed())
                    return false;
            } else if (StickyWindow* w = windows.window(n.id); !w || !w->windowHandle()->isExposed()) {
                return false;
            }
        }
        return true;
    });
}

// The floor: the floating menu alone, shown and painted.
double floatingMenuMs()
{
    QElapsedTimer t;
    t.start();
    FloatingPanel panel(FloatingMenuView::Options{false, true, true}, false);
    panel.orderFront();
    settle({panel.windowHandle()});
    return double(t.nsecsElapsed()) / 1e6;
}

double g_floorMs = 0;

double floorMs()
{
    if (g_floorMs <= 0) {
        floatingMenuMs(); // fonts and styles loaded once, as at start
        std::vector<double> runs;
        for (int i = 0; i < 5; ++i)
            runs.push_back(floatingMenuMs());
        std::sort(runs.begin(), runs.end());
        g_floorMs = runs[runs.size() / 2];
    }
    return g_floorMs;
}

// Memory as seen from outside, as a user's system monitor shows it: the
// resident size of a fresh program with the floating menu and 200 notes
// out, against one with the floating menu alone, each read once everything
// it shows is on screen and painted and its memory has stopped growing.
// Everything the notes bring counts: the fonts and spelling dictionaries
// they load once, the note windows, the pictures light windows are drawn
// from. (What the X server keeps for the windows is the server's memory,
// not the program's.)
void BM_MemoryWithNotes(benchmark::State& state)
{
    const int count = int(state.range(0));
    writeNotes(count);
    const QString what = state.range(1) ? QStringLiteral("menu-notes") : QStringLiteral("menu-full-notes");
    qint64 menu = 0, notes = 0;
    for (auto _ : state) {
        menu = settledResidentKiB(QStringLiteral("menu"));
        notes = settledResidentKiB(what);
    }
    const double perNote = double(notes - menu) / count;
    state.counters["menu_KiB"] = double(menu);
    state.counters["with_notes_KiB"] = double(notes);
    state.counters["ratio"] = menu > 0 ? double(notes) / double(menu) : 0.0;
    state.counters["ratio_target"] = kMaxRatio;
    state.counters["KiB_per_note"] = perNote;
    state.counters["KiB_target"] = kMaxKiBPerNote;
    state.counters["ratio_to_KiB_target"] = perNote / kMaxKiBPerNote;
}
// Second argument: notes as they come up (1), or all as full windows (0).
BENCHMARK(BM_MemoryWithNotes)->Args({kNotes, 1})->Args({kNotes, 0})->Iterations(1)->Unit(benchmark::kMillisecond);

// A fresh program that shows `what` ("menu": the floating menu alone;
// "notes": every stored note; "full-notes": every note as a full window
// from the start; "menu-notes", "menu-full-notes": the menu and the notes)
// and says when all of it is painted.
int runChild(const QString& what)
{
    // The menu alone, or the menu with the notes, as the program starts.
    const bool withMenu = what.startsWith(QLatin1String("menu"));
    const bool withNotes = what != QLatin1String("menu");
    std::unique_ptr<FloatingPanel> panel;
    if (withMenu) {
        panel = std::make_unique<FloatingPanel>(FloatingMenuView::Options{false, true, true}, false);
        panel->orderFront();
        settle({panel->windowHandle()});
    }
    std::unique_ptr<StickyStore> store;
    std::unique_ptr<StickyWindows> windows;
    if (withNotes) {
        store = std::make_unique<StickyStore>();
        windows = std::make_unique<StickyWindows>(*store);
        windows->setLightWindows(!what.endsWith(QLatin1String("full-notes")));
        store->restoreWindows();
        settleNotes(*store, *windows);
    }
    std::printf("settled\n");
    std::fflush(stdout);
    // Running on as the program does, until the caller has measured it.
    if (withMenu)
        QApplication::exec();
    return 0;
}

// Another floor, for what the window manager does: a bare X client with no
// toolkit that maps `count` plain windows where the notes are, at once, and
// waits until the server has shown every one. A window manager takes each
// window on however little the program asks of it; this is the least any
// program with a window per note can take.
int runBareChild(int count)
{
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c))
        return 1;
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    for (int i = 0; i < count; ++i) {
        const xcb_window_t w = xcb_generate_id(c);
        const std::array<quint32, 2> values{0xFFF28C, XCB_EVENT_MASK_EXPOSURE};
        xcb_create_window(c, XCB_COPY_FROM_PARENT, w, screen->root, qint16(20 + (i % 20) * 30),
                          qint16(100 + (i / 20) * 20), 320, 300, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                          XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values.data());
        xcb_map_window(c, w);
    }
    xcb_flush(c);
    QSet<xcb_window_t> shown;
    while (shown.size() < count) {
        xcb_generic_event_t* event = xcb_wait_for_event(c);
        if (!event)
            break;
        if ((event->response_type & 0x7F) == XCB_EXPOSE)
            shown.insert(reinterpret_cast<xcb_expose_event_t*>(event)->window);
        std::free(event);
    }
    std::printf("settled\n");
    std::fflush(stdout);
    xcb_disconnect(c);
    return 0;
}

// How many windows the window manager looks after (its list on the root
// window); none without one.
int managedWindows()
{
    xcb_connection_t* c = StickyX11::connection();
    if (!c)
        return 0;
    static const xcb_atom_t list = [c] {
        static const char name[] = "_NET_CLIENT_LIST";
        xcb_intern_atom_reply_t* reply =
            xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, sizeof(name) - 1, name), nullptr);
        const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(reply);
        return atom;
    }();
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    xcb_get_property_reply_t* reply =
        xcb_get_property_reply(c, xcb_get_property(c, 0, root, list, XCB_ATOM_WINDOW, 0, 4096), nullptr);
    const int count = reply ? xcb_get_property_value_length(reply) / 4 : 0;
    std::free(reply);
    return count;
}

// Until the window manager has let go of the windows of a program that
// ended: the next one starts on a window manager at rest.
void waitForWindowManager(int atRest)
{
    QElapsedTimer t;
    t.start();
    while (managedWindows() > atRest && t.elapsed() < 10000)
        waitMs(10);
    waitMs(50);
}

// From starting a program to all it shows painted, in milliseconds: the
// median of `runs` of each of `what`, started in turn.
std::vector<double> startMs(const QStringList& what, int runs)
{
    std::vector<std::vector<double>> times(size_t(what.size()));
    const int atRest = managedWindows();
    for (int i = 0; i < runs; ++i) {
        for (qsizetype k = 0; k < what.size(); ++k) {
            QProcess child;
            QElapsedTimer t;
            t.start();
            child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child"), what[k]});
            while (child.state() != QProcess::NotRunning && !child.readAllStandardOutput().contains("settled"))
                child.waitForReadyRead(20000);
            times[size_t(k)].push_back(double(t.nsecsElapsed()) / 1e6);
            child.kill();
            child.waitForFinished();
            waitForWindowManager(atRest);
        }
    }
    std::vector<double> medians;
    for (std::vector<double>& each : times) {
        std::sort(each.begin(), each.end());
        medians.push_back(each[each.size() / 2]);
    }
    return medians;
}

// The program started with 200 notes out, beside the program started with
// the floating menu alone: both until all they show is painted. Beside them
// the bare X client with as many windows (what the window manager alone
// takes for them).
void BM_StartWithNotes(benchmark::State& state)
{
    writeNotes(int(state.range(0)));
    const QString what = state.range(1) ? QStringLiteral("notes") : QStringLiteral("full-notes");
    std::vector<double> ms;
    for (auto _ : state) {
        ms = startMs({QStringLiteral("menu"), what, QStringLiteral("bare")}, 9);
        state.SetIterationTime(ms[1] / 1000);
    }
    state.counters["ms"] = ms[1];
    state.counters["floor_ms"] = ms[0];
    state.counters["ratio"] = ms[1] / ms[0];
    state.counters["ratio_target"] = kMaxRatio;
    state.counters["bare_x_ms"] = ms[2];
    state.counters["ratio_to_bare_x"] = ms[1] / ms[2];
}
// Second argument: notes as they come up (1), or all as full windows (0).
BENCHMARK(BM_StartWithNotes)->Args({kNotes, 1})->Args({kNotes, 0})->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

// 200 notes restored in a running program until every window is painted,
// beside the floating menu shown alone.
void BM_RestoreNotes(benchmark::State& state)
{
    const int count = int(state.range(0));
    const bool light = state.range(1) != 0;
    writeNotes(count);
    const double floor = floorMs();
    double ms = 0;
    for (auto _ : state) {
        auto* store = new StickyStore;
        auto* windows = new StickyWindows(*store);
        windows->setLightWindows(light);
        QElapsedTimer t;
        t.start();
        store->restoreWindows();
        settleNotes(*store, *windows);
        ms = double(t.nsecsElapsed()) / 1e6;
        state.SetIterationTime(ms / 1000);
        state.PauseTiming();
        delete windows;
        delete store;
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["ms"] = ms;
    state.counters["floor_ms"] = floor;
    state.counters["ratio"] = ms / floor;
    state.counters["ratio_target"] = kMaxRatio;
}
// Second argument: light windows (1, as at start) or full ones (0).
BENCHMARK(BM_RestoreNotes)->Args({kNotes, 1})->Args({kNotes, 0})->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);


// Counts the paints of one note's content.
class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

// One note more shown beside 200: how many of the others paint again (none
// should), and how long until the new one is painted.
void BM_ShowOneMore(benchmark::State& state)
{
    const int count = int(state.range(0));
    writeNotes(count);
    auto* store = new StickyStore;
    auto* windows = new StickyWindows(*store);
    store->restoreWindows();
    settleNotes(*store, *windows);
    waitMs(300);
    // Light windows are drawn by the X server: what the program paints is
    // counted on the full ones.
    std::vector<std::unique_ptr<PaintCounter>> counters;
    for (const StickyNote& n : store->notes()) {
        if (windows->lightWindow(n.id))
            continue;
        StickyWindow* full = windows->window(n.id);
        counters.push_back(std::make_unique<PaintCounter>());
        full->windowHandle()->installEventFilter(counters.back().get());
        for (QWidget* child : full->findChildren<QWidget*>())
            child->installEventFilter(counters.back().get());
    }
    int repainted = 0;
    double ms = 0;
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        const QUuid id = store->newNote(1, QString());
        settle({windows->window(id)->windowHandle()});
        ms = double(t.nsecsElapsed()) / 1e6;
        state.SetIterationTime(ms / 1000);
        waitMs(100);
        repainted = 0;
        for (const std::unique_ptr<PaintCounter>& c : counters)
            repainted += c->paints > 0 ? 1 : 0;
    }
    state.counters["ms"] = ms;
    state.counters["floor_ms"] = floorMs();
    state.counters["ratio"] = ms / floorMs();
    state.counters["others_repainted"] = repainted;
    state.counters["others"] = count;
    delete windows;
    delete store;
    QApplication::processEvents();
}
BENCHMARK(BM_ShowOneMore)->Arg(kNotes)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

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
    state.counters["target"] = 2;
    state.counters["ratio"] = perSecond / 2;
}
BENCHMARK(BM_TypingWrites)->Iterations(1)->Unit(benchmark::kMillisecond);

// Without a display, the whole program again under a fresh Xvfb server.
void runUnderXvfb(int argc, char** argv)
{
    if (!qEnvironmentVariableIsEmpty("DISPLAY") || qEnvironmentVariableIsSet("BW_BENCH_XVFB"))
        return;
    setenv("BW_BENCH_XVFB", "1", 1);
    std::vector<char*> args{const_cast<char*>("xvfb-run"), const_cast<char*>("-a"), const_cast<char*>("-s"),
                            const_cast<char*>("-screen 0 1920x1080x24"), argv[0]};
    for (int i = 1; i < argc; ++i)
        args.push_back(argv[i]);
    args.push_back(nullptr);
    execvp("xvfb-run", args.data());
    std::perror("bench_stickies: xvfb-run (install xvfb, or set DISPLAY)");
    std::exit(1);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && qstrcmp(argv[1], "--child") == 0 && qstrcmp(argv[2], "bare") == 0)
        return runBareChild(kNotes);
    if (argc == 3 && qstrcmp(argv[1], "--child") == 0) {
        qputenv("QT_QPA_PLATFORM", "xcb");
        QApplication app(argc, argv);
        return runChild(QString::fromLatin1(argv[2]));
    }
    runUnderXvfb(argc, argv);
    QTemporaryDir data;
    qputenv("VEXO_BW_DATA_DIR", data.path().toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    // A window manager places, stacks and decorates as on a desktop.
    QProcess wm;
    // BW_BENCH_NO_WM=1: the bare server, as without a desktop.
    const QString openbox = qEnvironmentVariableIsSet("BW_BENCH_NO_WM")
        ? QString()
        : QStandardPaths::findExecutable(QStringLiteral("openbox"));
    if (!openbox.isEmpty()) {
        wm.start(openbox, {QStringLiteral("--sm-disable")});
        waitMs(800);
    }
    std::printf("display %s, window manager: %s\n", qgetenv("DISPLAY").constData(),
                openbox.isEmpty() ? "none (install openbox)" : "openbox");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (wm.state() != QProcess::NotRunning) {
        wm.terminate();
        wm.waitForFinished(2000);
    }
    return 0;
}
