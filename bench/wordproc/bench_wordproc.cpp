// DOCX writing and reading of a 200-page document, and the ZIP layer alone.
#include "LongDocument.h"

#include "wordproc/docx/Docx.h"
#include "wordproc/docx/Zip.h"

#include <QGuiApplication>
#include <QTextDocument>
#include <benchmark/benchmark.h>

namespace {

QTextDocument& longDocument()
{
    static QTextDocument* doc = [] {
        auto* d = new QTextDocument;
        makeLongDocument(d);
        return d;
    }();
    return *doc;
}

const QByteArray& longPackage()
{
    static const QByteArray data = Docx::write(longDocument(), {});
    return data;
}

void BM_DocxWrite(benchmark::State& state)
{
    qint64 bytes = 0;
    for (auto _ : state) {
        const QByteArray out = Docx::write(longDocument(), {});
        bytes += out.size();
        benchmark::DoNotOptimize(out.constData());
    }
    state.SetBytesProcessed(bytes);
}
BENCHMARK(BM_DocxWrite)->Unit(benchmark::kMillisecond);

void BM_DocxRead(benchmark::State& state)
{
    const QByteArray& data = longPackage();
    for (auto _ : state) {
        QTextDocument doc;
        WPDocAttributes attributes;
        QString error;
        Docx::read(data, &doc, &attributes, &error);
        Docx::readHeaderFooter(data);
        Docx::restoreImages(data, &doc);
        benchmark::DoNotOptimize(doc.characterCount());
    }
    state.SetBytesProcessed(qint64(state.iterations()) * data.size());
}
BENCHMARK(BM_DocxRead)->Unit(benchmark::kMillisecond);

void BM_ZipStore(benchmark::State& state)
{
    QList<Zip::Entry> entries;
    for (int i = 0; i < 50; ++i)
        entries.append({QStringLiteral("word/media/image%1.png").arg(i), QByteArray(1 << 20, char(i))});
    for (auto _ : state)
        benchmark::DoNotOptimize(Zip::store(entries).size());
    state.SetBytesProcessed(qint64(state.iterations()) * 50 * (1 << 20));
}
BENCHMARK(BM_ZipStore)->Unit(benchmark::kMillisecond);

void BM_ZipExtract(benchmark::State& state)
{
    const QByteArray& data = longPackage();
    for (auto _ : state) {
        Zip::Archive archive(data);
        qint64 total = 0;
        for (const QString& name : archive.names())
            total += archive.read(name).value_or(QByteArray()).size();
        benchmark::DoNotOptimize(total);
    }
    state.SetBytesProcessed(qint64(state.iterations()) * data.size());
}
BENCHMARK(BM_ZipExtract)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
