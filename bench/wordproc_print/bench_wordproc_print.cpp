// Exporting a 200-page document as PDF should take under 3 s (more than 67
// pages per second); also measured: counting its pages, which the editor's
// status bar and every print job do first.
#include "wordproc/WPDocument.h"
#include "wordproc/WPDocumentSample.h"
#include "wordproc/print/WPPrint.h"

#include <QDir>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTextDocument>
#include <benchmark/benchmark.h>

namespace {

// The sample document grown to about 200 Letter pages.
WPDocument& longDocument()
{
    static WPDocument* document = [] {
        auto* d = new WPDocument;
        WPDocumentSample::fill(*d, 2880);
        return d;
    }();
    return *document;
}

void BM_ExportPDF(benchmark::State& state)
{
    WPDocument& document = longDocument();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("long.pdf"));
    const int pages = WPPrint::pageCount(*document.storage(), document.pageSetup());
    for (auto _ : state) {
        if (!document.exportPDF(path))
            state.SkipWithError("export failed");
    }
    state.counters["pages"] = pages;
    state.counters["pages_per_second"] =
        benchmark::Counter(double(pages) * double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ExportPDF)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_PageCount(benchmark::State& state)
{
    WPDocument& document = longDocument();
    int pages = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(pages = WPPrint::pageCount(*document.storage(), document.pageSetup()));
    state.counters["pages"] = pages;
}
BENCHMARK(BM_PageCount)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
