// Self-test suite of the study timeline's goal arithmetic, and the sample
// goals of its snapshot.
#include "core/Json.h"
#include "core/Store.h"
#include "planner/StudyGoal.h"
#include "planner/TimelineMath.h"
#include "planner/TimelineModel.h"
#include "selftest/SelfTest.h"
#include "selftest/Snapshots.h"

#include <QTimeZone>

namespace {

QDateTime at(int y, int m, int d, int h = 12, int min = 0)
{
    return QDateTime(QDate(y, m, d), QTime(h, min), QTimeZone::utc());
}

SelfTest::Suite timelineSuite("Study timeline", [](SelfTest::Check& c) {
    const QTimeZone utc = QTimeZone::utc();
    StudyGoal g = StudyGoal::make(QStringLiteral("Algebra"), GoalTerm::shortTerm, at(2026, 3, 1), at(2026, 3, 15));
    g.milestones = {Milestone::make(QStringLiteral("a"), at(2026, 3, 3), true),
                    Milestone::make(QStringLiteral("b"), at(2026, 3, 9), false)};
    c.near(g.progress(), 0.5, 1e-12, QStringLiteral("one of two milestones done is half way"));
    g.milestones.clear();
    g.manualProgress = 1.7;
    c.near(g.progress(), 1.0, 1e-12, QStringLiteral("manual progress is limited to 1"));

    c.near(TimelineMath::fraction(at(2026, 3, 8), at(2026, 3, 1), at(2026, 3, 15)), 0.5, 1e-12,
           QStringLiteral("halfway is 0.5"));
    c.equal(TimelineMath::daysBetween(at(2026, 3, 1, 23, 59), at(2026, 3, 2, 0, 1), utc), 1,
            QStringLiteral("23:59 to 00:01 next day is one day"));

    StudyGoal s = StudyGoal::make(QStringLiteral("s"), GoalTerm::longTerm, at(2026, 1, 1), at(2026, 7, 20));
    s.manualProgress = 0.2;
    const QDateTime mid = at(2026, 4, 11);
    c.equal(TimelineMath::status(s, mid, utc).rawValue(), QStringLiteral("Behind"), QStringLiteral("behind at 0.2"));
    s.manualProgress = 0.25;
    c.equal(TimelineMath::status(s, mid, utc).rawValue(), QStringLiteral("On track"),
            QStringLiteral("on track at 0.25"));

    const auto [lo, hi] = TimelineMath::range({}, at(2026, 3, 5), utc);
    c.equal(TimelineMath::daysBetween(lo, hi, utc), 21, QStringLiteral("no goals: three weeks"));

    const std::optional<StudyGoal> back = StudyGoal::fromJson(g.toJson());
    c.that(back && back->id == g.id && back->due == g.due, QStringLiteral("a goal reads back from its JSON"));
});

// Three goals with milestones, around today, for the snapshot.
Snapshots::Sample timelineSample("timeline", [] {
    const QTimeZone zone = TimelineMath::currentZone();
    const QDate today = QDate::currentDate();
    auto day = [&](int offset) { return today.addDays(offset).startOfDay(zone).toUTC(); };

    StudyGoal exam = StudyGoal::make(QStringLiteral("Calculus exam"), GoalTerm::shortTerm, day(-6), day(9));
    exam.colorIndex = 0;
    exam.notes = QStringLiteral("Chapters 4 to 7, past papers first.");
    exam.milestones = {Milestone::make(QStringLiteral("Limits review"), day(-3), true),
                       Milestone::make(QStringLiteral("Past paper 2024"), day(2), false),
                       Milestone::make(QStringLiteral("Mock exam"), day(6), false)};

    StudyGoal essay = StudyGoal::make(QStringLiteral("History essay"), GoalTerm::shortTerm, day(-12), day(3));
    essay.colorIndex = 1;
    essay.progressFromMilestones = false;
    essay.manualProgress = 0.29;

    StudyGoal spanish = StudyGoal::make(QStringLiteral("Spanish to B1"), GoalTerm::longTerm, day(-30), day(120));
    spanish.colorIndex = 3;
    spanish.milestones = {Milestone::make(QStringLiteral("A2 certificate"), day(-10), true),
                          Milestone::make(QStringLiteral("Conversation club"), day(40), false),
                          Milestone::make(QStringLiteral("B1 exam"), day(110), false)};

    Store::save(Json::fromList(QList<StudyGoal>{exam, essay, spanish}), TimelineModel::fileName());
});

} // namespace
