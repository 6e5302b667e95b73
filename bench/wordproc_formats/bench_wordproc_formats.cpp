// Milliseconds to save and to open a 200-page document (about 100,000
// words in 2,000 paragraphs of mixed formatting, with lists, a table every
// hundred paragraphs and a picture every two hundred) in every format.
//
// Target: each format opens and saves such a document in well under a
// second, so that saving never makes the editor stutter.
#include "wordproc/WPFormat.h"
#include "wordproc/WPText.h"
#include "wordproc/formats/FormatSupport.h"

#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTextTable>

namespace {

using WPFormat::DocType;

const QStringList& words()
{
    static const QStringList list = QStringLiteral(
        "the quarterly figures show steady growth across every region while costs held firm and "
        "students reported that the new timetable made revision easier than before résumé naïve")
                                        .split(QLatin1Char(' '));
    return list;
}

void generate(QTextDocument* doc)
{
    using namespace FormatSupport;
    doc->clear();
    QTextCursor c(doc);
    QImage image(120, 80, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");

    QTextCharFormat plain;
    setFontFamily(plain, QStringLiteral("Liberation Sans"));
    plain.setFontPointSize(12);
    QTextCharFormat bold = plain;
    bold.setFontWeight(QFont::Bold);
    QTextCharFormat underlined = plain;
    setUnderlineStyle(underlined, WPText::StyleSingle);
    QTextCharFormat colored = plain;
    colored.setForeground(QColor(180, 30, 40));

    int w = 0;
    for (int p = 0; p < 2000; ++p) {
        QTextBlockFormat block;
        const bool listItem = p % 20 >= 15;
        if (listItem) {
            block.setProperty(WPText::ListKind, p % 40 < 20 ? WPText::ListBullet : WPText::ListNumber);
            setIndents(block, WPText::kListHeadIndent, 0, 0);
            setTabStops(block, {{WPText::kListTab1, 0}, {WPText::kListTab2, 0}});
        }
        if (p > 0)
            c.insertBlock(block);
        else
            c.setBlockFormat(block);
        if (listItem)
            c.insertText(markerFor(listKind(block), p % 20 - 14), plain);
        for (int k = 0; k < 50; ++k, ++w) {
            const QTextCharFormat& f = k % 17 == 3 ? bold : k % 23 == 5 ? underlined : k % 29 == 7 ? colored : plain;
            c.insertText(words()[w % words().size()] + QLatin1Char(' '), f);
        }
        if (p % 200 == 199) {
            Picture picture;
            picture.data = png;
            picture.sizePt = QSizeF(90, 60);
            insertPicture(c, picture, plain);
        }
        if (p % 100 == 99) {
            c.insertBlock();
            QTextTable* table = c.insertTable(4, 3);
            for (int r = 0; r < 4; ++r)
                for (int col = 0; col < 3; ++col)
                    table->cellAt(r, col).firstCursorPosition().insertText(QStringLiteral("%1.%2").arg(r).arg(col), plain);
            c = table->lastCursorPosition();
            c.movePosition(QTextCursor::NextBlock);
        }
    }
}

const QTextDocument& sample()
{
    static QTextDocument* doc = [] {
        auto* d = new QTextDocument;
        generate(d);
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
