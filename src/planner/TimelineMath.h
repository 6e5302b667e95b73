#pragma once

#include "planner/GoalStatus.h"
#include "planner/StudyGoal.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QTimeZone>
#include <utility>

// Date arithmetic of the study timeline. All of it is calendar arithmetic in
// a time zone (the user's own unless one is passed): days are counted from
// start of day to start of day, and days and months are added through the
// calendar, never as multiples of 24 hours.
namespace TimelineMath {

// The user's current time zone (follows TZ).
QTimeZone currentZone();

// The calendar day of `moment` in `zone`.
QDate dayOf(const QDateTime& moment, const QTimeZone& zone);
// The first moment of the day of `moment` in `zone`.
QDateTime startOfDay(const QDateTime& moment, const QTimeZone& zone);

// `moment` moved to `day` at the same wall-clock time in `zone` (the day a
// date picker chose, the time of day kept). A time the clocks skip on that
// day moves forward with them.
QDateTime onDay(const QDateTime& moment, const QDate& day, const QTimeZone& zone);

// Where `date` lies between `start` (0) and `end` (1), not clamped; 0 when
// end is not after start.
double fraction(const QDateTime& date, const QDateTime& start, const QDateTime& end);

// Whole calendar days from the day of a to the day of b; negative when b's
// day is earlier. A day on which the clocks change counts as one day.
qint64 daysBetween(const QDateTime& a, const QDateTime& b, const QTimeZone& zone);
qint64 daysBetween(const QDateTime& a, const QDateTime& b);

// The goal's status at `now`: done, overdue (due day passed), due soon
// (within 7 days), behind (more than a quarter of the span gone and progress
// trailing the elapsed share by more than a quarter), else on track.
GoalStatus status(const StudyGoal& goal, const QDateTime& now, const QTimeZone& zone);
GoalStatus status(const StudyGoal& goal, const QDateTime& now);

// The span a timeline of these goals shows: 7 days before the earliest day
// and 14 days after the latest day among now, every goal's start and due and
// every milestone's date; both ends at a start of day. Always contains today.
std::pair<QDateTime, QDateTime> range(const QList<StudyGoal>& goals, const QDateTime& now, const QTimeZone& zone);
std::pair<QDateTime, QDateTime> range(const QList<StudyGoal>& goals, const QDateTime& now);

// A fraction as the whole percentage the timeline shows: limited to 0...1
// first (NaN gives 0), then the fraction of a hundredth dropped after a tiny
// tolerance, so 0.29 reads 29 rather than 28 and 2/3 reads 66.
int wholePercent(double fraction);

} // namespace TimelineMath
