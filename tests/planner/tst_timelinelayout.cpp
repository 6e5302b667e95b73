#include "TestEnvironment.h"
#include "planner/TimelineLayout.h"
#include "planner/TimelineMath.h"

#include <QTest>
#include <QTimeZone>

namespace {

const QTimeZone kUtc = QTimeZone::utc();
const QTimeZone kNewYork("America/New_York");
const QLocale kUs(QLocale::English, QLocale::UnitedStates);

QDateTime day(int y, int m, int d, int h = 0, const QTimeZone& zone = kUtc)
{
    return QDateTime(QDate(y, m, d), QTime(h, 0), zone);
}

StudyGoal goal(const QString& title, const QDateTime& start, const QDateTime& due, double progress = 0)
{
    StudyGoal g = StudyGoal::make(title, GoalTerm::shortTerm, start, due);
    g.manualProgress = progress;
    return g;
}

TimelineLayout layOut(const QList<StudyGoal>& goals, qreal dayWidth = 8, const QDateTime& now = day(2026, 3, 5, 12),
                      const std::optional<QUuid>& selected = std::nullopt)
{
    return TimelineLayout::build(goals, selected, dayWidth, now, kUtc, kUs);
}

} // namespace

class TimelineLayoutTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void emptyTimeline();
    void oneGoal();
    void barWidths_data();
    void barWidths();
    void labels_data();
    void labels();
    void monthLabelsByZoom_data();
    void monthLabelsByZoom();
    void monthLineAtZeroWhenSpanStartsAMonth();
    void rowsAndDiamonds();
    void everyBarInsideTheSurface_data();
    void everyBarInsideTheSurface();
    void daysAcrossDaylightSaving();
    void hitTesting_data();
    void hitTesting();
    void toolTips();
};

void TimelineLayoutTest::emptyTimeline()
{
    const TimelineLayout l = layOut({});
    QCOMPARE(l.days, qint64(21));
    QCOMPARE(l.width, 168.0);
    QCOMPARE(l.height, 90.0);
    QVERIFY(l.bars.isEmpty());
    QCOMPARE(l.width + 2 * TimelineLayout::kPadding, 188.0);
    QCOMPARE(l.height + 2 * TimelineLayout::kPadding, 110.0);
    QCOMPARE(l.months.size(), 1); // 1 March; 1 February lies before the span
    // At noon the "Today" line is half a day into today's column.
    QCOMPARE(l.x(day(2026, 3, 5)), 56.0);
    QCOMPARE(l.todayX(day(2026, 3, 5, 12)), 60.0);
}

void TimelineLayoutTest::oneGoal()
{
    StudyGoal g = goal(QStringLiteral("Algebra"), day(2026, 3, 1), day(2026, 3, 15), 0.25);
    g.colorIndex = 7;
    const TimelineLayout l = layOut({g});
    QCOMPARE(l.lo, day(2026, 2, 22));
    QCOMPARE(l.hi, day(2026, 3, 29));
    const TimelineLayout::Bar& b = l.bars.first();
    QCOMPARE(b.rect, QRectF(56, 34, 112, 26));
    QCOMPARE(b.fill, QRectF(59, 37, 28, 20));
    QCOMPARE(b.label, QStringLiteral("Algebra  25%"));
    QCOMPARE(b.labelRect, QRectF(66, 34, 92, 26));
    QCOMPARE(b.colorSlot, 1);
    QCOMPARE(l.months.first().x, 56.0);
    QCOMPARE(l.months.first().label, QStringLiteral("Mar 2026"));
}

void TimelineLayoutTest::barWidths_data()
{
    QTest::addColumn<QDateTime>("start");
    QTest::addColumn<QDateTime>("due");
    QTest::addColumn<double>("progress");
    QTest::addColumn<qreal>("width");
    QTest::addColumn<qreal>("fill");
    QTest::newRow("due on the start day") << day(2026, 3, 1, 9) << day(2026, 3, 1, 17) << 0.5 << 24.0 << 12.0;
    QTest::newRow("due before start") << day(2026, 3, 10) << day(2026, 3, 2) << 0.0 << 24.0 << 0.0;
    QTest::newRow("one day") << day(2026, 3, 1) << day(2026, 3, 2) << 1.0 << 24.0 << 18.0;
    QTest::newRow("full bar stays inside its track") << day(2026, 3, 1) << day(2026, 3, 15) << 1.0 << 112.0 << 106.0;
    QTest::newRow("negative progress") << day(2026, 3, 1) << day(2026, 3, 15) << -2.0 << 112.0 << 0.0;
}

void TimelineLayoutTest::barWidths()
{
    QFETCH(QDateTime, start);
    QFETCH(QDateTime, due);
    QFETCH(double, progress);
    QFETCH(qreal, width);
    QFETCH(qreal, fill);
    const TimelineLayout l = layOut({goal(QStringLiteral("g"), start, due, progress)});
    const TimelineLayout::Bar& b = l.bars.first();
    QCOMPARE(b.rect.x(), l.x(start));
    QCOMPARE(b.rect.width(), width);
    QCOMPARE(b.fill.width(), fill);
    QCOMPARE(b.fill.left(), b.rect.left() + 3);
}

void TimelineLayoutTest::labels_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("done");
    QTest::addColumn<int>("of");
    QTest::addColumn<double>("manual");
    QTest::addColumn<QString>("label");
    QTest::newRow("2/3") << "G" << 2 << 3 << 0.0 << "G  66%";
    QTest::newRow("all") << "G" << 3 << 3 << 0.0 << "G  100%";
    QTest::newRow("0.29 by hand") << "G" << 0 << 0 << 0.29 << "G  29%";
    QTest::newRow("1e300 by hand") << "G" << 0 << 0 << 1e300 << "G  100%";
    QTest::newRow("title holding %1") << "Score %1 up" << 0 << 0 << 0.5 << "Score %1 up  50%";
    QTest::newRow("title holding %2") << "Top %2" << 1 << 4 << 0.0 << "Top %2  25%";
}

void TimelineLayoutTest::labels()
{
    QFETCH(QString, title);
    QFETCH(int, done);
    QFETCH(int, of);
    QFETCH(double, manual);
    QFETCH(QString, label);
    StudyGoal g = goal(title, day(2026, 3, 1), day(2026, 3, 15), manual);
    for (int i = 0; i < of; ++i)
        g.milestones.append(Milestone::make(QStringLiteral("m"), day(2026, 3, 2 + i), i < done));
    QCOMPARE(layOut({g}).bars.first().label, label);
}

void TimelineLayoutTest::monthLabelsByZoom_data()
{
    QTest::addColumn<qreal>("dayWidth");
    QTest::addColumn<QString>("label");
    QTest::newRow("5") << 5.0 << "Mar 26";
    QTest::newRow("5.5") << 5.5 << "Mar 2026";
}

void TimelineLayoutTest::monthLabelsByZoom()
{
    QFETCH(qreal, dayWidth);
    QFETCH(QString, label);
    const TimelineLayout l = layOut({}, dayWidth);
    QCOMPARE(l.months.first().label, label);
    QCOMPARE(l.months.first().x, 3 * dayWidth); // 26 February to 1 March
    QCOMPARE(l.width, 21 * dayWidth);
}

void TimelineLayoutTest::monthLineAtZeroWhenSpanStartsAMonth()
{
    // Seen on 8 March, the span starts on 1 March; a goal due in May adds
    // April and May.
    const TimelineLayout l = layOut({goal(QStringLiteral("g"), day(2026, 3, 8), day(2026, 5, 10))}, 8,
                                    day(2026, 3, 8, 12));
    QCOMPARE(l.months.size(), 3);
    QCOMPARE(l.months.at(0).x, 0.0);
    QCOMPARE(l.months.at(1).x, 31 * 8.0);
    QCOMPARE(l.months.at(2).x, (31 + 30) * 8.0);
    QCOMPARE(l.months.at(2).label, QStringLiteral("May 2026"));
}

void TimelineLayoutTest::rowsAndDiamonds()
{
    StudyGoal first = goal(QStringLiteral("a"), day(2026, 3, 1), day(2026, 3, 10));
    StudyGoal second = goal(QStringLiteral("b"), day(2026, 3, 2), day(2026, 3, 20));
    second.milestones = {Milestone::make(QStringLiteral("open"), day(2026, 3, 6, 18), false),
                         Milestone::make(QStringLiteral("done"), day(2026, 3, 9), true)};
    const TimelineLayout l = layOut({first, second});
    QCOMPARE(l.height, 2 * 46.0 + 34 + 10);
    const TimelineLayout::Bar& b = l.bars.at(1);
    QCOMPARE(b.rect.y(), 80.0);
    QCOMPARE(b.marks.size(), 2);
    const TimelineLayout::Mark& open = b.marks.at(0);
    QCOMPARE(open.square, QRectF(l.x(day(2026, 3, 6)) - 5.5, 108, 11, 11));
    QCOMPARE(open.square.center().y(), 113.5);
    QVERIFY(!open.done);
    QVERIFY(b.marks.at(1).done);
}

void TimelineLayoutTest::everyBarInsideTheSurface_data()
{
    QTest::addColumn<QDateTime>("start");
    QTest::addColumn<QDateTime>("due");
    QTest::newRow("start after due, both before now") << day(2026, 2, 10) << day(2026, 1, 20);
    QTest::newRow("start after due, both after now") << day(2026, 6, 30) << day(2026, 6, 1);
    QTest::newRow("start after due around now") << day(2026, 4, 1) << day(2026, 2, 1);
    QTest::newRow("ordinary") << day(2026, 3, 1) << day(2026, 3, 15);
}

void TimelineLayoutTest::everyBarInsideTheSurface()
{
    QFETCH(QDateTime, start);
    QFETCH(QDateTime, due);
    const TimelineLayout l = layOut({goal(QStringLiteral("g"), start, due)});
    const QRectF bar = l.bars.first().rect;
    QVERIFY2(bar.left() >= 0 && bar.right() <= l.width,
             qPrintable(QStringLiteral("bar %1…%2 on a surface 0…%3").arg(bar.left()).arg(bar.right()).arg(l.width)));
}

void TimelineLayoutTest::daysAcrossDaylightSaving()
{
    // In New York, 8 March 2026 has 23 hours: bars still start on day edges.
    const StudyGoal g = goal(QStringLiteral("g"), day(2026, 3, 9, 0, kNewYork), day(2026, 3, 12, 0, kNewYork));
    const TimelineLayout l = TimelineLayout::build({g}, std::nullopt, 10, day(2026, 3, 5, 12, kNewYork), kNewYork, kUs);
    QCOMPARE(l.lo, day(2026, 2, 26, 0, kNewYork));
    QCOMPARE(l.hi, day(2026, 3, 26, 0, kNewYork));
    QCOMPARE(l.days, qint64(28));
    QCOMPARE(l.width, 280.0);
    QCOMPARE(l.bars.first().rect.x(), 11 * 10.0);
    QCOMPARE(l.bars.first().rect.width(), 30.0);
    QCOMPARE(l.months.first().x, 3 * 10.0);
}

void TimelineLayoutTest::hitTesting_data()
{
    QTest::addColumn<QPointF>("point");
    QTest::addColumn<int>("goal"); // -1: none
    // Goal 0: bar 56…168 at y 34…60; goal 1: bar at y 80…106 with a mark
    // centred at (x of 10 March = 128, 113.5).
    QTest::newRow("middle of first bar") << QPointF(100, 47) << 0;
    QTest::newRow("middle of second bar") << QPointF(100, 93) << 1;
    QTest::newRow("rounded end's corner is outside") << QPointF(57, 35) << -1;
    QTest::newRow("on a milestone") << QPointF(128, 113.5) << -1;
    QTest::newRow("milestone tip over the bar") << QPointF(128, 105.9) << -1;
    QTest::newRow("bar beside the milestone tip") << QPointF(120, 105.5) << 1;
    QTest::newRow("empty band") << QPointF(100, 10) << -1;
    QTest::newRow("right of a bar") << QPointF(200, 47) << -1;
    QTest::newRow("outside the surface") << QPointF(-20, 47) << -1;
}

void TimelineLayoutTest::hitTesting()
{
    QFETCH(QPointF, point);
    QFETCH(int, goal);
    StudyGoal a = ::goal(QStringLiteral("a"), day(2026, 3, 1), day(2026, 3, 15));
    StudyGoal b = ::goal(QStringLiteral("b"), day(2026, 3, 1), day(2026, 3, 20));
    b.milestones = {Milestone::make(QStringLiteral("m"), day(2026, 3, 10), false)};
    const TimelineLayout l = layOut({a, b});
    const std::optional<QUuid> expected = goal < 0 ? std::nullopt : std::optional<QUuid>((goal ? b : a).id);
    QCOMPARE(l.goalAt(point), expected);
}

void TimelineLayoutTest::toolTips()
{
    StudyGoal g = goal(QStringLiteral("Algebra"), day(2026, 3, 1), day(2026, 3, 19));
    g.milestones = {Milestone::make(QStringLiteral("Quiz"), day(2026, 3, 10), true),
                    Milestone::make(QStringLiteral("Test"), day(2026, 3, 17), false)};
    const TimelineLayout l = layOut({g});
    const QDateTime now = day(2026, 3, 5, 12);
    QCOMPARE(l.toolTipAt(l.bars.first().rect.center(), now),
             QStringLiteral("Algebra — Short-term, due Mar 19, 2026 • On track"));
    QCOMPARE(l.toolTipAt(l.bars.first().rect.center(), day(2026, 3, 15)),
             QStringLiteral("Algebra — Short-term, due Mar 19, 2026 • Due soon"));
    QCOMPARE(l.toolTipAt(l.bars.first().marks.at(0).square.center(), now), QStringLiteral("Quiz — Mar 10, 2026 ✓"));
    QCOMPARE(l.toolTipAt(l.bars.first().marks.at(1).square.center(), now), QStringLiteral("Test — Mar 17, 2026"));
    QCOMPARE(l.toolTipAt(QPointF(5, 5), now), QString());
}

QTEST_GUILESS_MAIN(TimelineLayoutTest)
#include "tst_timelinelayout.moc"
