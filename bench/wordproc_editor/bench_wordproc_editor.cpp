// Typing in a long document must feel instant: a keystroke with its repaint
// within one 60 Hz frame (16 ms), the debounced recount under 20 ms, opening
// a window on a 200-page document under 500 ms, and the process under 150 MB
// with it open. Each is measured for 1 and for 200 pages.
#include "wordproc/WPCommands.h"
#include "wordproc/WPCounts.h"
#include "wordproc/WPDocument.h"
#include "wordproc/views/PageTextView.h"
#include "wordproc/views/WPWindowController.h"
#include "ui/SpellChecker.h"
#include "ui/TextChecker.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QTextCursor>
#include <QTextDocument>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

const QString kParagraph = QStringLiteral(
    "The committee met on Tuesday to review the budget for the spring term, and after a long discussion "
    "of the library hours, the laboratory equipment and the travel grants, it agreed to publish the "
    "minutes before the end of the month so that every student could comment on them. ");

// About 11 paragraphs of four lines fill a page of 12-point text.
void fill(QTextDocument* doc, int pages)
{
    QTextCursor c(doc);
    QTextCharFormat f;
    WPCommands::putFont(f, WPCommands::defaultFont());
    c.beginEditBlock();
    for (int i = 0; i < pages * 57 / 5; ++i) {
        if (i > 0)
            c.insertBlock();
        c.insertText(kParagraph, f);
    }
    c.endEditBlock();
    doc->clearUndoRedoStacks();
}

qint64 residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return 0;
}

// One typed "x" and the editor's repaint.
void typeAndRepaint(PageTextView* view)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    QApplication::sendEvent(view, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    QApplication::sendEvent(view, &release);
    view->repaint();
}

struct Open {
    std::unique_ptr<WPDocument> doc = std::make_unique<WPDocument>();
    std::unique_ptr<WPWindowController> window;
    explicit Open(int pages)
    {
        fill(doc->storage(), pages);
        window = std::make_unique<WPWindowController>(doc.get());
        window->show();
        QApplication::processEvents();
        window->updateCounts();
    }
};

// First, while the process is fresh, so the resident size is this window's.
void BM_OpenWindow(benchmark::State& state)
{
    const int pages = int(state.range(0));
    qint64 rss = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto doc = std::make_unique<WPDocument>();
        fill(doc->storage(), pages);
        state.ResumeTiming();
        auto window = std::make_unique<WPWindowController>(doc.get());
        window->show();
        QApplication::processEvents();
        window->updateCounts();
        state.PauseTiming();
        rss = std::max(rss, residentKiB());
        window.reset();
        doc.reset();
        state.ResumeTiming();
    }
    state.counters["rss_MiB"] = double(rss) / 1024.0;
}
BENCHMARK(BM_OpenWindow)->Arg(1)->Arg(200)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_KeystrokeAndRepaint(benchmark::State& state)
{
    Open open(int(state.range(0)));
    PageTextView* view = open.window->textView();
    QTextCursor middle(open.doc->storage());
    middle.setPosition(open.doc->storage()->characterCount() / 2);
    view->setTextCursor(middle);
    QApplication::processEvents();
    for (auto _ : state) {
        typeAndRepaint(view);
        open.window->repaint();
    }
    state.counters["pages"] = open.window->textView()->usedHeightPoints() / 648;
}
BENCHMARK(BM_KeystrokeAndRepaint)->Arg(1)->Arg(200)->Unit(benchmark::kMillisecond);

// A keystroke with its repaint in the middle of one 10,000-word paragraph;
// range(0): 1 with spelling and grammar checked as you type, 0 without (the
// difference is what checking costs; the rest is the paragraph's layout).
void BM_KeystrokeLongParagraph(benchmark::State& state)
{
    auto doc = std::make_unique<WPDocument>();
    {
        QTextCursor c(doc->storage());
        QTextCharFormat f;
        WPCommands::putFont(f, WPCommands::defaultFont());
        for (int i = 0; i < 200; ++i) // 50 words each
            c.insertText(kParagraph, f);
        doc->storage()->clearUndoRedoStacks();
    }
    WPWindowController window(doc.get());
    window.show();
    QApplication::processEvents();
    PageTextView* view = window.textView();
    if (TextChecker* checker = TextChecker::of(view)) {
        TextCheckingSwitches off = checker->switches();
        off.continuousSpellChecking = state.range(0) != 0;
        off.grammarChecking = state.range(0) != 0;
        checker->setSwitches(off);
    }
    SpellChecker::shared().hasSpelling(); // the word list, built before timing
    QTextCursor middle(doc->storage());
    middle.setPosition(doc->storage()->characterCount() / 2);
    view->setTextCursor(middle);
    QApplication::processEvents();
    for (auto _ : state) {
        typeAndRepaint(view);
    }
    state.counters["words"] = 10000;
}
BENCHMARK(BM_KeystrokeLongParagraph)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

// The recount that follows typing: one paragraph changed since the last one.
void BM_RecountAfterTyping(benchmark::State& state)
{
    Open open(int(state.range(0)));
    QTextCursor middle(open.doc->storage());
    middle.setPosition(open.doc->storage()->characterCount() / 2);
    for (auto _ : state) {
        state.PauseTiming();
        middle.insertText(QStringLiteral("x"));
        state.ResumeTiming();
        open.window->updateCounts();
    }
}
BENCHMARK(BM_RecountAfterTyping)->Arg(1)->Arg(200)->Unit(benchmark::kMillisecond);

// The first count of a document just opened: every paragraph.
void BM_FirstCount(benchmark::State& state)
{
    const int pages = int(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        QTextDocument doc;
        fill(&doc, pages);
        state.ResumeTiming();
        benchmark::DoNotOptimize(WPCounts::count(doc));
    }
}
BENCHMARK(BM_FirstCount)->Arg(1)->Arg(200)->Unit(benchmark::kMillisecond);


} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
