#pragma once

#include <QDateTime>
#include <QJsonValue>
#include <QList>
#include <QString>
#include <QUuid>
#include <optional>

// One entry of the focus tool's to-do list, with the focus sessions credited
// to it.
struct FocusTask {
    QUuid id;
    QString title;
    bool done = false;
    qint64 pomodoros = 0;
    QDateTime created;

    // A new task: fresh id, not done, no sessions.
    static FocusTask make(const QString& title, const QDateTime& created);

    QJsonValue toJson() const;
    // Strict: all five keys are required.
    static std::optional<FocusTask> fromJson(const QJsonValue& value);

    friend bool operator==(const FocusTask&, const FocusTask&) = default;
};

namespace FocusTasks {

// Moves the tasks at `offsets` (positions in `tasks`) so that they land,
// in their order, before the task that stood at `destination` (a position
// in the list before the move; tasks.size() = the end). Positions out of
// range are ignored.
void move(QList<FocusTask>& tasks, QList<int> offsets, int destination);

// Where a row dropped at visible position `visibleDestination` lands in the
// full list, when only the tasks at full positions `visible` (ascending) are
// shown: before the shown task at that position, or right after the last
// shown task when dropped at the end.
int fullDestination(const QList<int>& visible, int visibleDestination, int fullSize);

// Removes spaces and tabs (only) from both ends.
QString trimmedTitle(const QString& title);

} // namespace FocusTasks
