// Recording must cost little (target: under 5 % of one core), transcription
// must run well faster than the audio (target: real-time factor under 0.5),
// and a click on the record button must start capturing at once.
#include "PrivatePulse.h"
#include "notes/AudioCapture.h"
#include "notes/AudioFileWriter.h"
#include "notes/AudioMeter.h"
#include "notes/RecorderModel.h"
#include "notes/Transcriber.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <sys/resource.h>

namespace {

PrivatePulse* pulse = nullptr;
QString pulseError;

double cpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

void wait(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Encoding and metering one second of audio, as the capture does it.
void BM_EncodeOneSecond(benchmark::State& state)
{
    QTemporaryDir dir;
    std::vector<qint16> block(4410);
    for (size_t i = 0; i < block.size(); ++i)
        block[i] = qint16(3000 * std::sin(double(i) * 0.0627));
    int n = 0;
    const double cpu0 = cpuSeconds();
    for (auto _ : state) {
        AudioFileWriter w;
        AudioMeter meter;
        w.open(dir.filePath(QStringLiteral("b%1.m4a").arg(n++)));
        for (int i = 0; i < 10; ++i) {
            meter.add(block.data(), qsizetype(block.size()));
            w.write(block.data(), qsizetype(block.size()));
        }
        benchmark::DoNotOptimize(meter.averagePower());
        w.finish();
    }
    // Per cent of one core that encoding one second of audio takes.
    state.counters["cpu_percent"] = (cpuSeconds() - cpu0) / double(state.iterations()) * 100;
}
BENCHMARK(BM_EncodeOneSecond)->Unit(benchmark::kMillisecond);

// The whole recorder recording from the (private) sound server: process CPU
// time over wall time.
void BM_RecordingCpu(benchmark::State& state)
{
    if (!pulseError.isEmpty()) {
        state.SkipWithError(qPrintable(pulseError));
        return;
    }
    double share = 0;
    for (auto _ : state) {
        RecorderModel m;
        QElapsedTimer wall;
        const double cpu0 = cpuSeconds();
        wall.start();
        m.startRecording();
        wait(3000);
        const double used = cpuSeconds() - cpu0;
        share = used / (double(wall.elapsed()) / 1000.0);
        m.stopRecording();
    }
    state.counters["cpu_percent"] = share * 100;
}
BENCHMARK(BM_RecordingCpu)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// From the click (requestAndRecord) to the first samples.
void BM_ClickToCapturing(benchmark::State& state)
{
    if (!pulseError.isEmpty()) {
        state.SkipWithError(qPrintable(pulseError));
        return;
    }
    for (auto _ : state) {
        RecorderModel m;
        QEventLoop loop;
        QObject::connect(&m, &RecorderModel::capturing, &loop, &QEventLoop::quit);
        QTimer::singleShot(5000, &loop, &QEventLoop::quit);
        QElapsedTimer t;
        t.start();
        m.requestAndRecord();
        loop.exec();
        state.SetIterationTime(double(t.nsecsElapsed()) / 1e9);
        state.PauseTiming();
        m.stopRecording();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ClickToCapturing)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

// Recognising the recogniser's test recording after the recorder's encoding.
void BM_TranscriptionRealTimeFactor(benchmark::State& state)
{
    QFile raw(QStringLiteral("/usr/share/pocketsphinx/test/data/goforward.raw"));
    const std::optional<Transcriber::Recogniser> r = Transcriber::recogniserFor(QLocale());
    if (!r || !raw.open(QIODevice::ReadOnly)) {
        state.SkipWithError("the speech model or its test recording is not installed");
        return;
    }
    const QByteArray bytes = raw.readAll();
    std::vector<qint16> in(size_t(bytes.size() / 2));
    std::memcpy(in.data(), bytes.constData(), in.size() * 2);
    std::vector<qint16> out(in.size() * 44100 / 16000);
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = in[std::min(in.size() - 1, i * 16000 / 44100)];
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("speech.m4a"));
    AudioFileWriter w;
    w.open(path);
    w.write(out.data(), qsizetype(out.size()));
    w.finish();
    const double audioSeconds = double(out.size()) / 44100;
    std::atomic<bool> cancel{false};
    double rtf = 0;
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        benchmark::DoNotOptimize(Transcriber::recognise(*r, path, cancel));
        rtf = double(t.nsecsElapsed()) / 1e9 / audioSeconds;
    }
    state.counters["real_time_factor"] = rtf;
}
BENCHMARK(BM_TranscriptionRealTimeFactor)->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir data;
    qputenv("VEXO_BW_DATA_DIR", data.path().toLocal8Bit());
    PrivatePulse server;
    pulseError = server.start();
    pulse = &server;
    // Sound at the microphone all along, delivered in small blocks as a real
    // microphone does.
    const QString sine = data.path() + QStringLiteral("/sine.wav");
    if (pulseError.isEmpty() && (!PrivatePulse::writeSine(sine, 120, -20) || !server.play(sine)))
        pulseError = QStringLiteral("could not play into the private server");
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
