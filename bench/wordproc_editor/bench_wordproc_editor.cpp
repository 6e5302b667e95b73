// The word processor as a user meets it, on a real X server with spelling
// and grammar checked as you type, beside its floor: a bare QTextEdit in a
// window of the same size holding the same text. Each figure is printed
// with its floor and the ratio.
//
// - Opening a 200-page DOCX (100,000 words, 40 pictures, 20 tables) in its
//   window: the first frame and the moment all work is settled, over an
//   empty window, against reading the file and laying it out without one.
// - A keystroke in that document and in one 10,000-word paragraph: the
//   frame that shows it, all interface-thread work it sets off (spelling,
//   grammar, highlighting, counts) and the longest single pass of it;
//   median and worst of 60 keys.
// - Idle: paints while the caret blinks and nothing else happens.
#include "BenchDisplay.h"
#include "ProseDocument.h"
#include "ProseText.h"
#include "WorkClock.h"
#include "wordproc/WPCommands.h"
#include "wordproc/WPCounts.h"
#include "wordproc/WPDocument.h"
#include "wordproc/WPText.h"
#include "wordproc/views/PageTextView.h"
#include "wordproc/views/WPWindowController.h"
#include "ui/SpellChecker.h"
#include "ui/SpellHighlighter.h"
#include "ui/TextChecker.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

QTemporaryDir& scratch()
{
    static QTemporaryDir dir;
    return dir;
}

QString docxPath()
{
    static const QString path = [] {
        const QString p = scratch().filePath(QStringLiteral("long.docx"));
        if (!ProseDocument::writeDocx(p))
            qFatal("could not write the test document");
        return p;
    }();
    return path;
}

std::unique_ptr<WPDocument> readDocx()
{
    auto doc = std::make_unique<WPDocument>();
    QString error;
    if (!doc->read(docxPath(), WPDocument::kDocxType, &error))
        qFatal("could not read the test document: %s", qPrintable(error));
    return doc;
}

bool checkingSettled(PageTextView* view)
{
    TextChecker* checker = TextChecker::of(view);
    return !checker || checker->highlighter()->isSettled();
}

// The window, shown and active, its checking let loose as after a first edit.
std::unique_ptr<WPWindowController> openWindow(WPDocument* doc)
{
    auto window = std::make_unique<WPWindowController>(doc);
    window->show();
    window->activateWindow();
    return window;
}

void releaseGrammar(PageTextView* view)
{
    if (TextChecker* checker = TextChecker::of(view))
        checker->highlighter()->setGrammarHeld(false);
}

// The floor: a bare QTextEdit in a window of the word processor's size.
std::unique_ptr<QTextEdit> bareEditor(const QString& text)
{
    auto edit = std::make_unique<QTextEdit>();
    QFont font = WPCommands::defaultFont();
    font.setPixelSize(int(std::lround(font.pointSizeF() * WPText::pixelsPerPoint())));
    edit->setFont(font);
    edit->setPlainText(text);
    edit->resize(980, 900);
    edit->show();
    return edit;
}

void putCaretInMiddle(QTextEdit* edit)
{
    QTextCursor c(edit->document());
    c.setPosition(edit->document()->characterCount() / 2);
    c.movePosition(QTextCursor::EndOfWord);
    edit->setTextCursor(c);
    edit->ensureCursorVisible();
}

struct Figures {
    std::vector<double> frame, work, slice;
    void add(const ActionCost& c)
    {
        frame.push_back(c.frameMs);
        work.push_back(c.workMs);
        slice.push_back(c.sliceMs);
    }
};

void report(benchmark::State& state, const Figures& wp, const Figures& floor)
{
    auto put = [&](const char* name, double value) { state.counters[name] = value; };
    put("frame_med", medianOf(wp.frame));
    put("floor_frame_med", medianOf(floor.frame));
    put("work_med", medianOf(wp.work));
    put("floor_work_med", medianOf(floor.work));
    put("x_work_med", medianOf(wp.work) / std::max(0.001, medianOf(floor.work)));
    put("work_worst", worstOf(wp.work));
    put("floor_work_worst", worstOf(floor.work));
    put("x_work_worst", worstOf(wp.work) / std::max(0.001, worstOf(floor.work)));
    put("slice_worst", worstOf(wp.slice));
    put("floor_slice_worst", worstOf(floor.slice));
}

// Types 60 keys (" words" over and over, or other `keys`) into both
// editors in the middle of the text, one after the other, each settled
// before the next.
void typeInterleaved(benchmark::State& state, PageTextView* view, QTextEdit* floorEdit,
                     const QString& keys = QStringLiteral(" words"))
{
    // Typing starts once the document's own checking is done.
    WorkClock settle([view] { return checkingSettled(view); });
    settle.measure([&] {
        putCaretInMiddle(view);
        putCaretInMiddle(floorEdit);
        releaseGrammar(view);
    }, 150, 600000);
    WorkClock wpClock([view] { return checkingSettled(view); });
    WorkClock floorClock;
    Figures wp, floor;
    for (auto _ : state) {
        for (int i = 0; i < 60; ++i) {
            const QChar ch = keys.at(i % keys.size());
            const int key = ch == QLatin1Char(' ') ? int(Qt::Key_Space) : Qt::Key_A + (ch.unicode() - 'a');
            wp.add(wpClock.measure([&] { WorkClock::type(view, key, QString(ch)); }));
            floor.add(floorClock.measure([&] { WorkClock::type(floorEdit, key, QString(ch)); }));
        }
    }
    report(state, wp, floor);
}

void BM_OpenDocx(benchmark::State& state)
{
    docxPath();
    std::vector<double> floorMs, emptyMs, firstMs, settledMs;
    for (auto _ : state) {
        for (int round = 0; round < 5; ++round) {
            {
                // The floor: read the file and lay it out, no window.
                QElapsedTimer t;
                t.start();
                auto doc = readDocx();
                doc->storage()->setTextWidth(WPText::toPixels(doc->pageSetup().textWidth()));
                benchmark::DoNotOptimize(doc->storage()->documentLayout()->documentSize());
                floorMs.push_back(double(t.nsecsElapsed()) / 1e6);
            }
            {
                WPDocument empty;
                std::unique_ptr<WPWindowController> window;
                WorkClock clock;
                emptyMs.push_back(clock.measure([&] { window = openWindow(&empty); }).doneMs);
            }
            {
                std::unique_ptr<WPDocument> doc;
                std::unique_ptr<WPWindowController> window;
                WorkClock clock([&] { return window && checkingSettled(window->textView()); });
                const ActionCost c = clock.measure([&] {
                    doc = readDocx();
                    window = openWindow(doc.get());
                });
                firstMs.push_back(c.frameMs);
                settledMs.push_back(c.doneMs);
                state.counters["pages"] = window->textView()->usedHeightPoints() / WPCounts::usableHeight(doc->pageSetup());
            }
        }
    }
    const double floor = medianOf(floorMs);
    const double empty = medianOf(emptyMs);
    state.counters["floor_read_layout"] = floor;
    state.counters["empty_window"] = empty;
    state.counters["first_frame"] = medianOf(firstMs);
    state.counters["settled"] = medianOf(settledMs);
    state.counters["x_over_empty"] = (medianOf(settledMs) - empty) / floor;
}
BENCHMARK(BM_OpenDocx)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_KeystrokeDocx(benchmark::State& state)
{
    auto doc = readDocx();
    auto window = openWindow(doc.get());
    PageTextView* view = window->textView();
    auto floorEdit = bareEditor(doc->storage()->toPlainText());
    // range(0) 1: a misspelt word each time, which automatic correction
    // puts right (its suggestions are found off the interface thread).
    typeInterleaved(state, view, floorEdit.get(),
                    state.range(0) ? QStringLiteral(" wrods tihs thier") : QStringLiteral(" words"));
}
BENCHMARK(BM_KeystrokeDocx)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_KeystrokeLongParagraph(benchmark::State& state)
{
    const QString text = ProseText::paragraph(7, 10000);
    WPDocument doc;
    {
        QTextCursor c(doc.storage());
        QTextCharFormat f;
        WPCommands::putFont(f, WPCommands::defaultFont());
        c.insertText(text, f);
        doc.storage()->clearUndoRedoStacks();
    }
    auto window = openWindow(&doc);
    PageTextView* view = window->textView();
    auto floorEdit = bareEditor(text);
    typeInterleaved(state, view, floorEdit.get());
    state.counters["words"] = ProseText::wordCount(text);
}
BENCHMARK(BM_KeystrokeLongParagraph)->Unit(benchmark::kMillisecond)->Iterations(1);

// Counts paints and painted pixels in a window.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* window) : m_window(window) { qApp->installEventFilter(this); }
    ~PaintCounter() override { qApp->removeEventFilter(this); }
    int paints = 0;
    qint64 pixels = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType()
            && static_cast<QWidget*>(watched)->window() == m_window) {
            ++paints;
            for (const QRect& r : static_cast<QPaintEvent*>(event)->region())
                pixels += qint64(r.width()) * r.height();
        }
        return false;
    }

private:
    QWidget* m_window;
};

// Three seconds of nothing but a blinking caret.
void BM_IdleRepaints(benchmark::State& state)
{
    auto doc = readDocx();
    auto window = openWindow(doc.get());
    auto floorEdit = bareEditor(doc->storage()->toPlainText());
    WorkClock settle([&] { return checkingSettled(window->textView()); });
    settle.measure([&] {
        putCaretInMiddle(window->textView());
        putCaretInMiddle(floorEdit.get());
    });
    QApplication::setCursorFlashTime(1000); // blinking twice a second
    for (auto _ : state) {
        auto sample = [](QWidget* w, QWidget* focus) {
            w->activateWindow();
            focus->setFocus();
            QApplication::processEvents();
            PaintCounter counter(w);
            QEventLoop loop;
            QTimer::singleShot(3000, &loop, &QEventLoop::quit);
            loop.exec();
            return std::pair<double, double>(counter.paints / 3.0, double(counter.pixels) / 3.0 / 1000.0);
        };
        const auto wp = sample(window.get(), window->textView());
        const auto floor = sample(floorEdit.get(), floorEdit.get());
        state.counters["paints_per_s"] = wp.first;
        state.counters["floor_paints_per_s"] = floor.first;
        state.counters["kpx_per_s"] = wp.second;
        state.counters["floor_kpx_per_s"] = floor.second;
        state.counters["x_kpx"] = wp.second / std::max(0.001, floor.second);
    }
    QApplication::setCursorFlashTime(0);
}
BENCHMARK(BM_IdleRepaints)->Unit(benchmark::kMillisecond)->Iterations(1);

// The recount that follows typing: one paragraph changed since the last one.
void BM_RecountAfterTyping(benchmark::State& state)
{
    auto doc = readDocx();
    QTextCursor middle(doc->storage());
    middle.setPosition(doc->storage()->characterCount() / 2);
    benchmark::DoNotOptimize(WPCounts::count(*doc->storage()));
    for (auto _ : state) {
        state.PauseTiming();
        middle.insertText(QStringLiteral("x"));
        state.ResumeTiming();
        benchmark::DoNotOptimize(WPCounts::count(*doc->storage()));
    }
}
BENCHMARK(BM_RecountAfterTyping)->Unit(benchmark::kMillisecond);

// The first count of a document just opened: every paragraph.
void BM_FirstCount(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto doc = readDocx();
        state.ResumeTiming();
        benchmark::DoNotOptimize(WPCounts::count(*doc->storage()));
    }
}
BENCHMARK(BM_FirstCount)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    BenchDisplay::ensure();
    qputenv("VEXO_BW_DATA_DIR", scratch().path().toUtf8());
    QApplication app(argc, argv);
    // Keys are timed without the caret's blinking (its own figure is the
    // idle one).
    QApplication::setCursorFlashTime(0);
    SpellChecker::shared().hasSpelling();   // the word list, built before timing
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
