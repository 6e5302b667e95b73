#pragma once

#include "planner/GoalTerm.h"
#include "planner/Milestone.h"

#include <QDateTime>
#include <QJsonValue>
#include <QList>
#include <QString>
#include <QUuid>
#include <optional>

// One goal of the study timeline, with its dates, progress and milestones.
// Nothing forces start <= due or manualProgress into 0...1: the timeline's
// rules say what such a goal looks like.
struct StudyGoal {
    // The goal colours of the chrome palette that colorIndex points into.
    static constexpr int kColorCount = 6;

    QUuid id;
    QString title;
    QString notes;
    GoalTerm term = GoalTerm::shortTerm;
    QDateTime start;
    QDateTime due;
    double manualProgress = 0;
    bool progressFromMilestones = true;
    qint64 colorIndex = 0;
    QList<Milestone> milestones;

    // A new goal with a fresh id, empty notes, no progress, progress taken
    // from its milestones and the first colour.
    static StudyGoal make(const QString& title, GoalTerm term, const QDateTime& start, const QDateTime& due);

    // 0...1: the share of done milestones when progress follows them and
    // there are any, else manualProgress limited to 0...1 (NaN gives 0).
    double progress() const;
    // colorIndex as a palette position 0...5 (the non-negative remainder, so
    // 7 gives 1 and -1 gives 5).
    int paletteSlot() const;

    // Adds a milestone titled `typed` without its leading and trailing spaces
    // and tabs, dated `date`, not done, after those of an earlier or equal
    // date (the list is sorted by date, stably). A blank title adds nothing
    // and gives false.
    bool addMilestone(const QString& typed, const QDateTime& date);
    // Removes every milestone with that id; the others keep their order.
    void removeMilestone(const QUuid& milestoneId);

    QJsonValue toJson() const;
    // Strict: every key is required and must have its type; "term" must be
    // one of the raw texts and the dates ISO-8601 text.
    static std::optional<StudyGoal> fromJson(const QJsonValue& value);

    friend bool operator==(const StudyGoal&, const StudyGoal&) = default;
};
