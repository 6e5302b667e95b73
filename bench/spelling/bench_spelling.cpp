// Typing into a 10,000-word text must stay smooth: one keystroke (the edit
// plus the highlighter's pass over the changed paragraph) should take well
// under a frame (16 ms), and the checking's own share of it under 4 ms even
// when the whole text is one paragraph (only the changed sentence is looked
// at again). Also measured: the first full pass over the text and a
// single-line field's check after a keystroke.
//
// Arg 10000 is the long-paragraph case. The *NoLayout pairs leave Qt's
// re-layout of the paragraph out, so their difference is what checking costs.
//
// BM_TextViewKeystroke is what a user sees: a text view checking spelling
// and grammar, shown on a real X server, holding one 10,000-word paragraph
// of prose, beside a bare QPlainTextEdit with the same text; each key's
// frame, all the interface-thread work it sets off and its longest pass.
#include "BenchDisplay.h"
#include "ProseText.h"
#include "WorkClock.h"
#include "ui/FieldSpelling.h"
#include "ui/SpellChecker.h"
#include "ui/SpellHighlighter.h"
#include "ui/SpellLineEdit.h"
#include "ui/SpellTextView.h"
#include "ui/TextChecker.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QPlainTextDocumentLayout>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

QString longText(int words, int wordsPerParagraph)
{
    static const char* const vocabulary[] = {"the", "student", "wrote", "a", "careful", "summary", "of",
                                             "chapter", "seven", "before", "the", "exam", "and", "recieved",
                                             "useful", "notes", "from", "her", "teacher", "yesterday."};
    QString text;
    for (int i = 0; i < words; ++i) {
        text += QString::fromLatin1(vocabulary[i % 20]);
        text += (i + 1) % wordsPerParagraph == 0 ? QLatin1Char('\n') : QLatin1Char(' ');
    }
    return text;
}

void BM_FirstPass(benchmark::State& state)
{
    const QString text = longText(10000, int(state.range(0)));
    SpellChecker::shared().misspellings(QStringLiteral("warm up"));
    for (auto _ : state) {
        QTextDocument doc;
        doc.setDocumentLayout(new QPlainTextDocumentLayout(&doc));
        doc.setPlainText(text);
        SpellHighlighter h(&doc);
        h.setGrammarHeld(true); // sentences are only collected
        // Every paragraph checked, in the idle slices it takes.
        do
            QCoreApplication::processEvents();
        while (!h.isSettled());
        benchmark::DoNotOptimize(doc.blockCount());
    }
}
BENCHMARK(BM_FirstPass)->Arg(100)->Arg(10000)->Unit(benchmark::kMillisecond);

// One typed character in the middle of the text; range(0) is the paragraph
// length in words (10000: the whole text is one paragraph). `laidOut`: the
// document has a plain-text layout, as in an editor; `checked`: a
// highlighter is attached.
void BM_Keystroke(benchmark::State& state, bool laidOut, bool checked)
{
    QTextDocument doc;
    if (laidOut)
        doc.setDocumentLayout(new QPlainTextDocumentLayout(&doc));
    doc.setPlainText(longText(10000, int(state.range(0))));
    std::unique_ptr<SpellHighlighter> h;
    if (checked) {
        h = std::make_unique<SpellHighlighter>(&doc);
        h->rehighlight();
    }
    QTextCursor c(&doc);
    c.setPosition(doc.characterCount() / 2);
    int n = 0;
    for (auto _ : state) {
        c.insertText((n++ % 2) ? QStringLiteral("x") : QStringLiteral(" "));
        benchmark::DoNotOptimize(doc.characterCount());
    }
}
BENCHMARK_CAPTURE(BM_Keystroke, checked, true, true)->Arg(100)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Keystroke, unchecked, true, false)->Arg(100)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Keystroke, checked_no_layout, false, true)->Arg(100)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Keystroke, unchecked_no_layout, false, false)->Arg(100)->Arg(10000)->Unit(benchmark::kMicrosecond);

void BM_FieldKeystroke(benchmark::State& state)
{
    SpellLineEdit field(QStringLiteral("Send the recieved invoice to the accounts team before Friday"));
    int n = 0;
    for (auto _ : state) {
        field.insert((n++ % 2) ? QStringLiteral("x") : QStringLiteral(" "));
        benchmark::DoNotOptimize(field.spelling()->misspelt().size());
    }
}
BENCHMARK(BM_FieldKeystroke)->Unit(benchmark::kMicrosecond);

void BM_TextViewKeystroke(benchmark::State& state)
{
    const QString text = ProseText::paragraph(11, 10000);
    SpellTextView view(text, QFont(), Qt::white, true, Qt::black, true);
    QPlainTextEdit bare;
    bare.setPlainText(text);
    for (QPlainTextEdit* e : {static_cast<QPlainTextEdit*>(&view), &bare}) {
        e->resize(700, 600);
        e->show();
        QTextCursor c(e->document());
        c.setPosition(e->document()->characterCount() / 2);
        c.movePosition(QTextCursor::EndOfWord);
        e->setTextCursor(c);
        e->centerCursor();
    }
    SpellHighlighter* h = view.checker()->highlighter();
    // Typing starts once the text's own checking is done.
    WorkClock settle([h] { return h->isSettled(); });
    settle.measure([h] { h->setGrammarHeld(false); }, 150, 600000);
    WorkClock viewClock([h] { return h->isSettled(); });
    WorkClock bareClock;
    std::vector<double> work, bareWork, slice, bareSlice;
    const QString keys = QStringLiteral(" words");
    for (auto _ : state) {
        for (int i = 0; i < 60; ++i) {
            const QChar ch = keys.at(i % keys.size());
            const int key = ch == QLatin1Char(' ') ? int(Qt::Key_Space) : Qt::Key_A + (ch.unicode() - 'a');
            const ActionCost a = viewClock.measure([&] { WorkClock::type(&view, key, QString(ch)); });
            const ActionCost b = bareClock.measure([&] { WorkClock::type(&bare, key, QString(ch)); });
            work.push_back(a.workMs);
            slice.push_back(a.sliceMs);
            bareWork.push_back(b.workMs);
            bareSlice.push_back(b.sliceMs);
        }
    }
    state.counters["work_med"] = medianOf(work);
    state.counters["floor_work_med"] = medianOf(bareWork);
    state.counters["x_work_med"] = medianOf(work) / std::max(0.001, medianOf(bareWork));
    state.counters["work_worst"] = worstOf(work);
    state.counters["floor_work_worst"] = worstOf(bareWork);
    state.counters["x_work_worst"] = worstOf(work) / std::max(0.001, worstOf(bareWork));
    state.counters["slice_worst"] = worstOf(slice);
    state.counters["floor_slice_worst"] = worstOf(bareSlice);
}
BENCHMARK(BM_TextViewKeystroke)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    BenchDisplay::ensure();
    QTemporaryDir data; // never the user's learned words
    qputenv("VEXO_BW_DATA_DIR", data.path().toUtf8());
    QApplication app(argc, argv);
    QApplication::setCursorFlashTime(0); // keys are timed without the caret's blinking
    SpellChecker::shared().hasSpelling(); // the word list, built before timing
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
