// Return -> result on screen: from the key press to the end of the first
// paint of the result label that follows it, in the Calculator and the
// Scientific Calculator, each in a shown window. Target: 2 ms. Work done
// after the result is painted (saving the history) is not part of it.
#include "calc/views/CalculatorView.h"
#include "calc/views/FitLabel.h"
#include "calc/views/ScientificView.h"
#include "ui/SpellLineEdit.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <benchmark/benchmark.h>

namespace {

// Notes when the watched widget has finished painting.
class PaintClock : public QObject {
public:
    explicit PaintClock(QWidget* w) : m_widget(w) { w->installEventFilter(this); }
    bool painted = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_widget && event->type() == QEvent::Paint) {
            // The label paints itself here; the time is taken after it.
            m_widget->removeEventFilter(this);
            QCoreApplication::sendEvent(m_widget, event);
            m_widget->installEventFilter(this);
            painted = true;
            return true;
        }
        return false;
    }

private:
    QWidget* m_widget;
};

void settle()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

// Presses Return on `target` and waits for `result` to be painted; the
// time to that paint.
double returnToPaint(QWidget* target, QWidget* result)
{
    PaintClock clock(result);
    QElapsedTimer t;
    t.start();
    QTest::keyClick(target, Qt::Key_Return);
    while (!clock.painted && t.elapsed() < 1000) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
    }
    return double(t.nsecsElapsed()) / 1e9;
}

void BM_CalculatorReturn(benchmark::State& state)
{
    CalculatorView view;
    view.show();
    if (!QTest::qWaitForWindowExposed(&view))
        state.SkipWithError("window not shown");
    settle();
    for (auto _ : state) {
        QTest::keyClicks(&view, QStringLiteral("1234+5678*9"));
        settle();
        state.SetIterationTime(returnToPaint(&view, view.displayLabel()));
        settle();
    }
}
BENCHMARK(BM_CalculatorReturn)->UseManualTime()->Unit(benchmark::kMicrosecond);

void BM_ScientificReturn(benchmark::State& state)
{
    ScientificView view;
    view.show();
    if (!QTest::qWaitForWindowExposed(&view))
        state.SkipWithError("window not shown");
    SpellLineEdit* field = view.expressionField();
    field->setFocus();
    settle();
    int n = 0;
    for (auto _ : state) {
        field->selectAll();
        // A new expression each time, so each result differs from the last.
        QTest::keyClicks(field, QStringLiteral("2sin(30)+sqrt(16)+%1").arg(n++ % 97));
        settle();
        state.SetIterationTime(returnToPaint(field, view.resultLabel()));
        settle();
    }
}
BENCHMARK(BM_ScientificReturn)->UseManualTime()->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The calculators keep their history in the data folder: a throw-away one.
    QTemporaryDir data;
    qputenv("VEXO_BW_DATA_DIR", data.path().toLocal8Bit());
    qputenv("HOME", data.path().toLocal8Bit());
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
