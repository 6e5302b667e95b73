#include "TestEnvironment.h"
#include "planner/GoalStatus.h"
#include "planner/StudyGoal.h"
#include "planner/TimelineMath.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QTest>
#include <QTimeZone>
#include <cmath>
#include <ctime>
#include <limits>

namespace {

const QTimeZone kNewYork("America/New_York");

QDateTime ny(int y, int m, int d, int h = 0, int min = 0)
{
    return QDateTime(QDate(y, m, d), QTime(h, min), kNewYork);
}

QDateTime utc(int y, int m, int d, int h = 0, int min = 0)
{
    return QDateTime(QDate(y, m, d), QTime(h, min), QTimeZone::utc());
}

StudyGoal goal(const QDateTime& start, const QDateTime& due, double manual = 0)
{
    StudyGoal g = StudyGoal::make(QStringLiteral("g"), GoalTerm::shortTerm, start, due);
    g.manualProgress = manual;
    return g;
}

// Sets the process's zone for the functions that use the current calendar.
class ZoneScope {
public:
    explicit ZoneScope(const char* tz) : m_old(qgetenv("TZ"))
    {
        qputenv("TZ", tz);
        tzset();
    }
    ~ZoneScope()
    {
        qputenv("TZ", m_old);
        tzset();
    }

private:
    QByteArray m_old;
};

} // namespace

class TimelineMathTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void progress_data();
    void progress();
    void fraction_data();
    void fraction();
    void daysBetween_data();
    void daysBetween();
    void daysBetweenFollowsTheProcessZone();
    void status_data();
    void status();
    void range_data();
    void range();
    void rangeAcrossDaylightSaving();
    void wholePercent_data();
    void wholePercent();
    void paletteSlot_data();
    void paletteSlot();
    void onDayKeepsTheWallClock();
    void addMilestone_data();
    void addMilestone();
    void jsonRoundTrip();
    void malformedGoal_data();
    void malformedGoal();
};

void TimelineMathTest::progress_data()
{
    QTest::addColumn<bool>("follow");
    QTest::addColumn<int>("milestones");
    QTest::addColumn<int>("done");
    QTest::addColumn<double>("manual");
    QTest::addColumn<double>("expected");
    QTest::newRow("one of two milestones") << true << 2 << 1 << 0.9 << 0.5;
    QTest::newRow("no milestones: manual") << true << 0 << 0 << 0.8 << 0.8;
    QTest::newRow("negative manual") << true << 0 << 0 << -0.5 << 0.0;
    QTest::newRow("manual above one") << true << 0 << 0 << 1.7 << 1.0;
    QTest::newRow("huge manual") << true << 0 << 0 << 1e300 << 1.0;
    QTest::newRow("NaN manual") << true << 0 << 0 << std::nan("") << 0.0;
    QTest::newRow("not following: done ignored") << false << 3 << 3 << 0.2 << 0.2;
    QTest::newRow("all done") << true << 3 << 3 << 0.0 << 1.0;
}

void TimelineMathTest::progress()
{
    QFETCH(bool, follow);
    QFETCH(int, milestones);
    QFETCH(int, done);
    QFETCH(double, manual);
    QFETCH(double, expected);
    StudyGoal g = goal(utc(2026, 3, 1), utc(2026, 3, 15), manual);
    g.progressFromMilestones = follow;
    for (int i = 0; i < milestones; ++i)
        g.milestones.append(Milestone::make(QString::number(i), utc(2026, 3, 2 + i), i < done));
    QCOMPARE(g.progress(), expected);
}

void TimelineMathTest::fraction_data()
{
    QTest::addColumn<QDateTime>("date");
    QTest::addColumn<QDateTime>("start");
    QTest::addColumn<QDateTime>("end");
    QTest::addColumn<double>("expected");
    QTest::newRow("halfway") << utc(2026, 3, 8) << utc(2026, 3, 1) << utc(2026, 3, 15) << 0.5;
    QTest::newRow("end equals start") << utc(2026, 3, 8) << utc(2026, 3, 1) << utc(2026, 3, 1) << 0.0;
    QTest::newRow("end before start") << utc(2026, 3, 8) << utc(2026, 3, 15) << utc(2026, 3, 1) << 0.0;
    QTest::newRow("before start") << utc(2026, 2, 22) << utc(2026, 3, 1) << utc(2026, 3, 15) << -0.5;
    QTest::newRow("after end") << utc(2026, 3, 29) << utc(2026, 3, 1) << utc(2026, 3, 15) << 2.0;
}

void TimelineMathTest::fraction()
{
    QFETCH(QDateTime, date);
    QFETCH(QDateTime, start);
    QFETCH(QDateTime, end);
    QFETCH(double, expected);
    QCOMPARE(TimelineMath::fraction(date, start, end), expected);
}

void TimelineMathTest::daysBetween_data()
{
    QTest::addColumn<QDateTime>("a");
    QTest::addColumn<QDateTime>("b");
    QTest::addColumn<qint64>("expected");
    QTest::newRow("same day") << ny(2026, 3, 5, 0, 1) << ny(2026, 3, 5, 23, 59) << qint64(0);
    QTest::newRow("23:59 to 00:01") << ny(2026, 3, 5, 23, 59) << ny(2026, 3, 6, 0, 1) << qint64(1);
    QTest::newRow("swapped") << ny(2026, 3, 6, 0, 1) << ny(2026, 3, 5, 23, 59) << qint64(-1);
    // 8 March 2026 has 23 hours in New York, 1 November 25.
    QTest::newRow("over spring forward") << ny(2026, 3, 7, 12) << ny(2026, 3, 9, 0, 30) << qint64(2);
    QTest::newRow("spring forward day itself") << ny(2026, 3, 8) << ny(2026, 3, 9) << qint64(1);
    QTest::newRow("over fall back") << ny(2026, 10, 31, 23) << ny(2026, 11, 2, 0) << qint64(2);
    QTest::newRow("fall back day itself") << ny(2026, 11, 1) << ny(2026, 11, 2) << qint64(1);
    QTest::newRow("month end") << ny(2026, 1, 31, 22) << ny(2026, 3, 1, 1) << qint64(29);
    QTest::newRow("leap month end") << ny(2028, 1, 31, 22) << ny(2028, 3, 1, 1) << qint64(30);
    // 02:00 UTC on 6 March is still 5 March in New York.
    QTest::newRow("UTC instant, local day") << utc(2026, 3, 5, 12) << utc(2026, 3, 6, 2) << qint64(0);
}

void TimelineMathTest::daysBetween()
{
    QFETCH(QDateTime, a);
    QFETCH(QDateTime, b);
    QFETCH(qint64, expected);
    QCOMPARE(TimelineMath::daysBetween(a, b, kNewYork), expected);
}

void TimelineMathTest::daysBetweenFollowsTheProcessZone()
{
    const ZoneScope scope("America/New_York");
    QCOMPARE(TimelineMath::daysBetween(utc(2026, 3, 5, 12), utc(2026, 3, 6, 2)), qint64(0));
    QCOMPARE(TimelineMath::daysBetween(ny(2026, 3, 7, 12), ny(2026, 3, 9, 0, 30)), qint64(2));
    const auto [lo, hi] = TimelineMath::range({}, ny(2026, 3, 5, 12));
    QCOMPARE(lo, ny(2026, 2, 26));
    QCOMPARE(hi, ny(2026, 3, 19));
    QCOMPARE(lo.secsTo(hi), qint64(21 * 86400 - 3600)); // the spring-forward day is short
}

void TimelineMathTest::status_data()
{
    QTest::addColumn<QDateTime>("start");
    QTest::addColumn<QDateTime>("due");
    QTest::addColumn<double>("progress");
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QString>("expected");
    const QDateTime now = ny(2026, 6, 10, 12);
    QTest::newRow("done even when late") << ny(2026, 5, 1) << ny(2026, 6, 9) << 1.0 << now << "Done";
    QTest::newRow("0.99, due yesterday") << ny(2026, 5, 1) << ny(2026, 6, 9, 23, 59) << 0.99 << now << "Overdue";
    QTest::newRow("due earlier today") << ny(2026, 5, 1) << ny(2026, 6, 10, 8) << 0.0 << now << "Due soon";
    QTest::newRow("due in 7 days") << ny(2026, 6, 9) << ny(2026, 6, 17, 23) << 0.5 << now << "Due soon";
    QTest::newRow("due in 8 days") << ny(2026, 6, 9) << ny(2026, 6, 18, 0, 30) << 0.5 << now << "On track";
    QTest::newRow("behind at 0.2") << now.addDays(-100) << now.addDays(100) << 0.2 << now << "Behind";
    QTest::newRow("on track at 0.25") << now.addDays(-100) << now.addDays(100) << 0.25 << now << "On track";
    QTest::newRow("behind but due soon") << now.addDays(-100) << now.addDays(5) << 0.0 << now << "Due soon";
    QTest::newRow("a tenth elapsed") << now.addDays(-10) << now.addDays(90) << 0.0 << now << "On track";
    QTest::newRow("due before start: never behind") << now.addDays(60) << now.addDays(30) << 0.0 << now
                                                     << "On track";
    QTest::newRow("due before start, soon") << now.addDays(60) << now.addDays(3) << 0.0 << now << "Due soon";
}

void TimelineMathTest::status()
{
    QFETCH(QDateTime, start);
    QFETCH(QDateTime, due);
    QFETCH(double, progress);
    QFETCH(QDateTime, now);
    QFETCH(QString, expected);
    QCOMPARE(TimelineMath::status(goal(start, due, progress), now, kNewYork).rawValue(), expected);
}

void TimelineMathTest::range_data()
{
    QTest::addColumn<QList<StudyGoal>>("goals");
    QTest::addColumn<QDate>("lo");
    QTest::addColumn<QDate>("hi");
    const QDateTime now = ny(2026, 3, 5, 12);
    QTest::newRow("no goals") << QList<StudyGoal>{} << QDate(2026, 2, 26) << QDate(2026, 3, 19);
    QTest::newRow("due in 60 days") << QList<StudyGoal>{goal(now, now.addDays(60))} << QDate(2026, 2, 26)
                                    << QDate(2026, 5, 18);
    StudyGoal early = goal(ny(2026, 3, 1), ny(2026, 3, 15));
    early.milestones.append(Milestone::make(QStringLiteral("m"), ny(2026, 1, 2, 23), false));
    QTest::newRow("milestone before every start") << QList<StudyGoal>{early} << QDate(2025, 12, 26)
                                                  << QDate(2026, 3, 29);
    // A goal whose start lies after its due still has both ends inside.
    QTest::newRow("start after due, both past") << QList<StudyGoal>{goal(ny(2026, 2, 10), ny(2026, 1, 20))}
                                                << QDate(2026, 1, 13) << QDate(2026, 3, 19);
    QTest::newRow("start after due, both ahead") << QList<StudyGoal>{goal(ny(2026, 6, 30), ny(2026, 6, 1))}
                                                 << QDate(2026, 2, 26) << QDate(2026, 7, 14);
}

void TimelineMathTest::range()
{
    QFETCH(QList<StudyGoal>, goals);
    QFETCH(QDate, lo);
    QFETCH(QDate, hi);
    const auto r = TimelineMath::range(goals, ny(2026, 3, 5, 12), kNewYork);
    QCOMPARE(r.first, lo.startOfDay(kNewYork));
    QCOMPARE(r.second, hi.startOfDay(kNewYork));
}

void TimelineMathTest::rangeAcrossDaylightSaving()
{
    // 20:00 on 31 October is already 1 November in UTC: the day is New York's.
    const auto [lo, hi] = TimelineMath::range({}, ny(2026, 10, 31, 20), kNewYork);
    QCOMPARE(lo, ny(2026, 10, 24));
    QCOMPARE(hi, ny(2026, 11, 14));
    QCOMPARE(lo.secsTo(hi), qint64(21 * 86400 + 3600));
    QCOMPARE(TimelineMath::daysBetween(lo, hi, kNewYork), qint64(21));
}

void TimelineMathTest::wholePercent_data()
{
    QTest::addColumn<double>("fraction");
    QTest::addColumn<int>("expected");
    QTest::newRow("0.29") << 0.29 << 29;
    QTest::newRow("0.57") << 0.57 << 57;
    QTest::newRow("0.336") << 0.336 << 33;
    QTest::newRow("2/3") << 2.0 / 3.0 << 66;
    QTest::newRow("0.25") << 0.25 << 25;
    QTest::newRow("just under a half") << 0.4999 << 49;
    QTest::newRow("1") << 1.0 << 100;
    QTest::newRow("1e300") << 1e300 << 100;
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << 100;
    QTest::newRow("negative") << -3.0 << 0;
    QTest::newRow("NaN") << std::nan("") << 0;
}

void TimelineMathTest::wholePercent()
{
    QFETCH(double, fraction);
    QFETCH(int, expected);
    QCOMPARE(TimelineMath::wholePercent(fraction), expected);
}

void TimelineMathTest::paletteSlot_data()
{
    QTest::addColumn<qint64>("index");
    QTest::addColumn<int>("slot");
    QTest::newRow("0") << qint64(0) << 0;
    QTest::newRow("5") << qint64(5) << 5;
    QTest::newRow("6") << qint64(6) << 0;
    QTest::newRow("7") << qint64(7) << 1;
    QTest::newRow("-1") << qint64(-1) << 5;
    QTest::newRow("-6") << qint64(-6) << 0;
    QTest::newRow("most negative") << std::numeric_limits<qint64>::min() << 4;
}

void TimelineMathTest::paletteSlot()
{
    QFETCH(qint64, index);
    QFETCH(int, slot);
    StudyGoal g;
    g.colorIndex = index;
    QCOMPARE(g.paletteSlot(), slot);
}

void TimelineMathTest::onDayKeepsTheWallClock()
{
    // 09:30 in winter moved into summer is still 09:30 on the wall clock.
    const QDateTime moved = TimelineMath::onDay(ny(2026, 3, 1, 9, 30), QDate(2026, 3, 20), kNewYork);
    QCOMPARE(moved, ny(2026, 3, 20, 9, 30));
    // 02:30 does not exist on 8 March; it moves forward with the clocks.
    const QDateTime skipped = TimelineMath::onDay(ny(2026, 3, 1, 2, 30), QDate(2026, 3, 8), kNewYork);
    QVERIFY(skipped.isValid());
    QCOMPARE(TimelineMath::dayOf(skipped, kNewYork), QDate(2026, 3, 8));
}

void TimelineMathTest::addMilestone_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("day");
    QTest::addColumn<bool>("added");
    QTest::addColumn<QStringList>("order");
    QTest::newRow("trimmed, placed by date") << "  Read chapter 3  " << 5 << true
                                             << QStringList{"a", "Read chapter 3", "b"};
    QTest::newRow("tabs trimmed") << "\tTab\t" << 1 << true << QStringList{"Tab", "a", "b"};
    QTest::newRow("same date goes after") << "Same" << 3 << true << QStringList{"a", "Same", "b"};
    QTest::newRow("latest goes last") << "Late" << 20 << true << QStringList{"a", "b", "Late"};
    QTest::newRow("spaces only") << "   " << 5 << false << QStringList{"a", "b"};
    QTest::newRow("empty") << "" << 5 << false << QStringList{"a", "b"};
    QTest::newRow("line breaks are kept") << "x\n" << 5 << true << QStringList{"a", "x\n", "b"};
}

void TimelineMathTest::addMilestone()
{
    QFETCH(QString, typed);
    QFETCH(int, day);
    QFETCH(bool, added);
    QFETCH(QStringList, order);
    StudyGoal g = goal(utc(2026, 3, 1), utc(2026, 3, 30));
    g.milestones = {Milestone::make(QStringLiteral("a"), utc(2026, 3, 3)),
                    Milestone::make(QStringLiteral("b"), utc(2026, 3, 10))};
    QCOMPARE(g.addMilestone(typed, utc(2026, 3, day)), added);
    QStringList titles;
    for (const Milestone& m : g.milestones)
        titles << m.title;
    QCOMPARE(titles, order);

    const QUuid first = g.milestones.first().id;
    g.removeMilestone(first);
    QCOMPARE(g.milestones.size(), order.size() - 1);
    QVERIFY(std::none_of(g.milestones.begin(), g.milestones.end(), [&](const Milestone& m) { return m.id == first; }));
}

void TimelineMathTest::jsonRoundTrip()
{
    StudyGoal g = goal(utc(2026, 3, 1, 8, 15).addMSecs(734), utc(2026, 3, 15), 0.4);
    g.notes = QStringLiteral("Ch. 4 – “limits”");
    g.term = GoalTerm::longTerm;
    g.colorIndex = -3;
    g.progressFromMilestones = false;
    g.milestones = {Milestone::make(QStringLiteral("m"), utc(2026, 3, 2), true)};
    const QJsonObject o = g.toJson().toObject();
    QCOMPARE(o.keys(), (QStringList{"colorIndex", "due", "id", "manualProgress", "milestones", "notes",
                                    "progressFromMilestones", "start", "term", "title"}));
    QCOMPARE(o.value(QStringLiteral("term")).toString(), QStringLiteral("Long-term"));
    QCOMPARE(o.value(QStringLiteral("start")).toString(), QStringLiteral("2026-03-01T08:15:00Z"));
    const std::optional<StudyGoal> back = StudyGoal::fromJson(o);
    QVERIFY(back);
    StudyGoal expected = g;
    expected.start = utc(2026, 3, 1, 8, 15); // whole seconds only
    QCOMPARE(*back, expected);
}

void TimelineMathTest::malformedGoal_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QJsonValue>("value"); // Undefined: the key is removed
    const QJsonValue gone(QJsonValue::Undefined);
    for (const char* k : {"colorIndex", "due", "id", "manualProgress", "milestones", "notes",
                          "progressFromMilestones", "start", "term", "title"})
        QTest::newRow(qPrintable(QStringLiteral("missing %1").arg(QLatin1String(k)))) << QString::fromLatin1(k) << gone;
    QTest::newRow("term in lower case") << "term" << QJsonValue(QStringLiteral("short-term"));
    QTest::newRow("date without zone") << "due" << QJsonValue(QStringLiteral("2026-03-15T00:00:00"));
    QTest::newRow("date as number") << "start" << QJsonValue(1.7e9);
    QTest::newRow("colour index fractional") << "colorIndex" << QJsonValue(1.5);
    QTest::newRow("progress as text") << "manualProgress" << QJsonValue(QStringLiteral("0.5"));
    QTest::newRow("flag as number") << "progressFromMilestones" << QJsonValue(1);
    QTest::newRow("milestone without done")
        << "milestones"
        << QJsonValue(QJsonArray{QJsonObject{{"date", "2026-03-02T00:00:00Z"},
                                             {"id", "6F9619FF-8B86-D011-B42D-00C04FC964FF"},
                                             {"title", "m"}}});
}

void TimelineMathTest::malformedGoal()
{
    QFETCH(QString, key);
    QFETCH(QJsonValue, value);
    QJsonObject o = goal(utc(2026, 3, 1), utc(2026, 3, 15)).toJson().toObject();
    QVERIFY(StudyGoal::fromJson(o));
    if (value.isUndefined())
        o.remove(key);
    else
        o.insert(key, value);
    QVERIFY(!StudyGoal::fromJson(o));
}

QTEST_GUILESS_MAIN(TimelineMathTest)
#include "tst_timelinemath.moc"
