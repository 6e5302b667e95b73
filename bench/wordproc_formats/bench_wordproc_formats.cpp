// Milliseconds to save and to open the generated 200-page document (about
// 100,000 words in formatted paragraphs and lists, 40 pictures and 20
// tables) in every format.
//
// Target: each format opens and saves such a document in well under a
// second, so that saving never makes the editor stutter.
#include "LongDocument.h"

#include "wordproc/WPFormat.h"
#include "wordproc/WPTextModel.h"

#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>
#include <QTextDocument>

namespace {

using WPFormat::DocType;

const QTextDocument& sample()
{
    static QTextDocument* doc = [] {
        auto* d = new QTextDocument;
        makeLongDocument(d);
        return d;
    }();
    return *doc;
}

WPDocAttributes attributes()
{
    WPDocAttributes a;
    a.paperSize = QSizeF(612, 792);
    a.leftMargin = a.rightMargin = a.topMargin = a.bottomMargin = 72;
    a.comment = WPHeaderFooter::encode(QStringLiteral("{title}"), QStringLiteral("Page {page} of {pages}"));
    return a;
}

void BM_Save(benchmark::State& state)
{
    const DocType type = DocType(state.range(0));
    const WPDocAttributes a = attributes();
    qint64 bytes = 0;
    for (auto _ : state) {
        const std::optional<QByteArray> out = WPFormat::write(sample(), type, a, nullptr);
        if (!out) {
            state.SkipWithError("writer unavailable");
            return;
        }
        bytes = out->size();
        benchmark::DoNotOptimize(out->constData());
    }
    state.counters["bytes"] = double(bytes);
    state.SetLabel(WPFormat::extension(type).toStdString());
}

void BM_Open(benchmark::State& state)
{
    const DocType type = DocType(state.range(0));
    const std::optional<QByteArray> bytes = WPFormat::write(sample(), type, attributes(), nullptr);
    if (!bytes || bytes->isEmpty()) {
        state.SkipWithError("writer unavailable");
        return;
    }
    for (auto _ : state) {
        QTextDocument doc;
        WPDocAttributes a;
        if (!WPFormat::read(*bytes, type, &doc, &a, nullptr)) {
            state.SkipWithError("read failed");
            return;
        }
        benchmark::DoNotOptimize(doc.characterCount());
    }
    state.SetLabel(WPFormat::extension(type).toStdString());
}

// A document of 40 photos inserted as JPEG, saved as DOCX again and again
// (saves and recovery copies): the photos become PNG once, not at every save.
void BM_SaveDocxPhotos(benchmark::State& state)
{
    static QTextDocument* doc = [] {
        auto* d = new QTextDocument;
        WPTextModel::Builder b(d);
        QImage img(800, 600, QImage::Format_RGB32);
        quint32 seed = 1;
        for (int y = 0; y < img.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
            for (int x = 0; x < img.width(); ++x) {
                seed = seed * 1664525u + 1013904223u;
                line[x] = qRgb((x + int(seed >> 28)) & 0xFF, (y + int(seed >> 24)) & 0xFF, (x + y) & 0xFF);
            }
        }
        for (int i = 0; i < 40; ++i) {
            img.setPixel(0, 0, qRgb(i, i, i));
            QByteArray jpeg;
            QBuffer buffer(&jpeg);
            buffer.open(QIODevice::WriteOnly);
            img.save(&buffer, "JPEG", 85);
            WPTextModel::Run run;
            run.text = QString(QChar(0xFFFC));
            run.picture = WPTextModel::Picture{};
            run.picture->data = jpeg;
            run.picture->sizePt = QSizeF(400, 300);
            WPTextModel::Paragraph p;
            p.runs = {run};
            b.addParagraph(p);
        }
        return d;
    }();
    const WPDocAttributes a = attributes();
    WPFormat::write(*doc, DocType::Docx, a, nullptr); // the first save, which encodes them
    for (auto _ : state) {
        const std::optional<QByteArray> out = WPFormat::write(*doc, DocType::Docx, a, nullptr);
        benchmark::DoNotOptimize(out);
    }
}

void BM_SaveRtfd(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Bench.rtfd"));
    for (auto _ : state) {
        if (!WPFormat::writeRtfd(sample(), attributes(), path, nullptr)) {
            state.SkipWithError("save failed");
            return;
        }
    }
}

void BM_OpenRtfd(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Bench.rtfd"));
    WPFormat::writeRtfd(sample(), attributes(), path, nullptr);
    for (auto _ : state) {
        QTextDocument doc;
        if (!WPFormat::readRtfd(path, &doc, nullptr, nullptr)) {
            state.SkipWithError("read failed");
            return;
        }
        benchmark::DoNotOptimize(doc.characterCount());
    }
}

void formats(benchmark::internal::Benchmark* b)
{
    for (DocType t : {DocType::Docx, DocType::Doc, DocType::Rtf, DocType::Odt, DocType::PlainText, DocType::Html, DocType::WordML})
        b->Arg(int(t));
    b->Unit(benchmark::kMillisecond);
}

} // namespace

BENCHMARK(BM_Save)->Apply(formats);
BENCHMARK(BM_Open)->Apply(formats);
BENCHMARK(BM_SaveDocxPhotos)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveRtfd)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenRtfd)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
