// The focus window left open for 10 s: with the clock stopped nothing may
// wake the program (no timer events, no voluntary context switches of the
// main thread beyond a handful); with the clock running it must stay under
// 1% of one core.
#include "planner/FocusModel.h"
#include "planner/views/FocusView.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <sys/resource.h>

namespace {

constexpr int kSeconds = 10;

// Counts timer events delivered anywhere in the program, except those of
// the timer that ends the measurement.
class TimerCounter : public QObject {
public:
    QObject* ignore = nullptr;
    long events = 0;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Timer && watched != ignore)
            ++events;
        return false;
    }
};

long mainThreadSwitches()
{
    QFile f(QStringLiteral("/proc/thread-self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : f.readAll().split('\n')) {
        if (line.startsWith("voluntary_ctxt_switches:"))
            return line.mid(24).trimmed().toLong();
    }
    return -1;
}

double cpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

FocusModel::Services quietServices()
{
    FocusModel::Services s = FocusModel::systemServices();
    s.notify = [](const FocusNotification&) {};
    s.playSound = [] {};
    return s;
}

// Runs the event loop for kSeconds with the window shown.
void runWindow(benchmark::State& state, bool running)
{
    FocusModel model(quietServices());
    FocusView view(model);
    view.resize(760, 560);
    view.show();
    QCoreApplication::processEvents();
    if (running)
        model.startPause();
    TimerCounter counter;
    qApp->installEventFilter(&counter);
    QTimer end;
    end.setSingleShot(true);
    end.setTimerType(Qt::PreciseTimer);
    counter.ignore = &end;
    QObject::connect(&end, &QTimer::timeout, qApp, &QCoreApplication::quit);

    for (auto _ : state) {
        counter.events = 0;
        const long switches = mainThreadSwitches();
        const double cpu = cpuSeconds();
        end.start(kSeconds * 1000);
        QCoreApplication::exec();
        state.counters["timer_events"] = double(counter.events);
        state.counters["main_thread_wakeups"] = double(mainThreadSwitches() - switches);
        state.counters["cpu_percent_of_one_core"] = (cpuSeconds() - cpu) / kSeconds * 100.0;
    }
    qApp->removeEventFilter(&counter);
    if (running)
        model.startPause();
}

void BM_FocusStopped(benchmark::State& state) { runWindow(state, false); }
void BM_FocusRunning(benchmark::State& state) { runWindow(state, true); }

BENCHMARK(BM_FocusStopped)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_FocusRunning)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir data;
    qputenv("VEXO_BW_DATA_DIR", data.path().toUtf8());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    {
        // One-off work of a first window (spelling dictionaries load in the
        // background) stays out of the measurements.
        FocusModel model(quietServices());
        FocusView view(model);
        view.show();
        QTimer::singleShot(3000, &app, &QCoreApplication::quit);
        QCoreApplication::exec();
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
