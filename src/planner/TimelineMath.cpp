#include "planner/TimelineMath.h"

#include <algorithm>
#include <cmath>

namespace TimelineMath {

QTimeZone currentZone()
{
    return QTimeZone::systemTimeZone();
}

QDate dayOf(const QDateTime& moment, const QTimeZone& zone)
{
    return moment.toTimeZone(zone).date();
}

QDateTime startOfDay(const QDateTime& moment, const QTimeZone& zone)
{
    return dayOf(moment, zone).startOfDay(zone);
}

QDateTime onDay(const QDateTime& moment, const QDate& day, const QTimeZone& zone)
{
    const QDateTime moved(day, moment.toTimeZone(zone).time(), zone);
    return moved.isValid() ? moved.toUTC() : day.startOfDay(zone).toUTC();
}

double fraction(const QDateTime& date, const QDateTime& start, const QDateTime& end)
{
    const double span = double(start.msecsTo(end));
    if (!(span > 0))
        return 0;
    return double(start.msecsTo(date)) / span;
}

qint64 daysBetween(const QDateTime& a, const QDateTime& b, const QTimeZone& zone)
{
    const QDate da = dayOf(a, zone);
    const QDate db = dayOf(b, zone);
    if (!da.isValid() || !db.isValid())
        return 0;
    return da.daysTo(db);
}

qint64 daysBetween(const QDateTime& a, const QDateTime& b)
{
    return daysBetween(a, b, currentZone());
}

GoalStatus status(const StudyGoal& goal, const QDateTime& now, const QTimeZone& zone)
{
    const double progress = goal.progress();
    if (progress >= 1)
        return GoalStatus::done;
    const qint64 daysLeft = daysBetween(now, goal.due, zone);
    if (daysLeft < 0)
        return GoalStatus::overdue;
    if (daysLeft <= 7)
        return GoalStatus::dueSoon;
    const double span = double(goal.start.msecsTo(goal.due));
    if (span > 0) {
        const double elapsed = double(goal.start.msecsTo(now)) / span;
        if (elapsed > 0.25 && progress + 0.25 < elapsed)
            return GoalStatus::behind;
    }
    return GoalStatus::onTrack;
}

GoalStatus status(const StudyGoal& goal, const QDateTime& now)
{
    return status(goal, now, currentZone());
}

std::pair<QDateTime, QDateTime> range(const QList<StudyGoal>& goals, const QDateTime& now, const QTimeZone& zone)
{
    QDateTime lo = now;
    QDateTime hi = now;
    auto widen = [&](const QDateTime& d) {
        if (!d.isValid())
            return;
        lo = std::min(lo, d);
        hi = std::max(hi, d);
    };
    for (const StudyGoal& g : goals) {
        // Both ends over starts and dues alike: a goal whose start lies after
        // its due must still fall inside the span.
        widen(g.start);
        widen(g.due);
        for (const Milestone& m : g.milestones)
            widen(m.date);
    }
    const QDate loDay = dayOf(lo, zone).addDays(-7);
    const QDate hiDay = dayOf(hi, zone).addDays(14);
    QDateTime first = loDay.startOfDay(zone);
    QDateTime last = hiDay.startOfDay(zone);
    // Dates beyond the calendar's reach: fall back to the plain three weeks
    // around now rather than an invalid span.
    if (!first.isValid() || !last.isValid()) {
        const QDate today = dayOf(now, zone);
        first = today.addDays(-7).startOfDay(zone);
        last = today.addDays(14).startOfDay(zone);
    }
    return {first, last};
}

std::pair<QDateTime, QDateTime> range(const QList<StudyGoal>& goals, const QDateTime& now)
{
    return range(goals, now, currentZone());
}

int wholePercent(double fraction)
{
    if (!(fraction > 0))
        return 0;
    const double p = std::min(fraction, 1.0);
    return int(std::floor(p * 100.0 + 1e-9));
}

} // namespace TimelineMath
