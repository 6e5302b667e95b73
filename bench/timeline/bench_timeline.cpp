// The study timeline must stay smooth with 500 goals of 10 milestones each:
// laying them out (done on every change and every zoom step) and painting
// one window's view of them should each take well under a frame (16 ms).
#include "planner/TimelineLayout.h"
#include "planner/TimelineMath.h"
#include "planner/views/TimelinePainter.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTimeZone>
#include <benchmark/benchmark.h>

namespace {

const QDateTime kNow(QDate(2026, 3, 5), QTime(12, 0), QTimeZone::utc());

QList<StudyGoal> manyGoals(int count, int milestones)
{
    QList<StudyGoal> goals;
    for (int i = 0; i < count; ++i) {
        const QDateTime start = kNow.addDays(-30 + i % 60);
        StudyGoal g = StudyGoal::make(QStringLiteral("Goal number %1").arg(i),
                                      i % 3 ? GoalTerm::shortTerm : GoalTerm::longTerm, start,
                                      start.addDays(14 + i % 180));
        g.colorIndex = i;
        for (int j = 0; j < milestones; ++j)
            g.milestones.append(Milestone::make(QStringLiteral("Step %1").arg(j), start.addDays(j * 2), j % 2 == 0));
        goals.append(g);
    }
    return goals;
}

void BM_Layout(benchmark::State& state)
{
    const QList<StudyGoal> goals = manyGoals(int(state.range(0)), 10);
    const QTimeZone zone = QTimeZone::utc();
    qreal dayWidth = 2;
    for (auto _ : state) {
        // A zoom step rebuilds everything.
        dayWidth = dayWidth >= 30 ? 2 : dayWidth + 0.5;
        const TimelineLayout l = TimelineLayout::build(goals, goals.first().id, dayWidth, kNow, zone);
        benchmark::DoNotOptimize(l.bars.size());
    }
}
BENCHMARK(BM_Layout)->Arg(50)->Arg(500)->Unit(benchmark::kMillisecond);

void BM_PaintVisible(benchmark::State& state)
{
    const QList<StudyGoal> goals = manyGoals(500, 10);
    const TimelineLayout l = TimelineLayout::build(goals, goals.first().id, 8, kNow, QTimeZone::utc());
    // What a window of 1100 x 760 shows of the surface, scrolled to the middle.
    const QRectF view(0, l.height / 2, 1060, 420);
    QImage image(view.size().toSize() * 2, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(2);
    for (auto _ : state) {
        image.fill(Qt::transparent);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.translate(-view.topLeft());
        TimelinePainter::paint(p, l, view, kNow);
    }
}

BENCHMARK(BM_PaintVisible)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
