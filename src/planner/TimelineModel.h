#pragma once

#include "core/Debouncer.h"
#include "planner/GoalTerm.h"
#include "planner/StudyGoal.h"

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QTimeZone>
#include <QStringList>
#include <QUuid>
#include <functional>
#include <optional>

// The Study Timeline's state: every goal in stored order (the order of the
// file and of adding), the selected goal, the term filter and the zoom in
// points per day. Goals live in "timeline.json"; saves are debounced by half
// a second, and one still waiting runs when the program quits. Filter and
// zoom live only as long as the window.
class TimelineModel : public QObject {
    Q_OBJECT
    Q_PROPERTY(QUuid selected READ selectedId WRITE setSelectedId NOTIFY selectedChanged)
    Q_PROPERTY(double dayWidth READ dayWidth WRITE setDayWidth NOTIFY dayWidthChanged)
public:
    static QString fileName() { return QStringLiteral("timeline.json"); }
    static constexpr double kDefaultDayWidth = 8;
    static constexpr double kMinDayWidth = 2;
    static constexpr double kMaxDayWidth = 30;
    static constexpr double kSaveDelay = 0.5;

    // Loads "timeline.json"; a missing or unreadable file gives no goals (an
    // unreadable one is kept aside by the store before any save).
    explicit TimelineModel(QObject* parent = nullptr);

    const QList<StudyGoal>& goals() const { return m_goals; }
    // Replaces the list; notifies only when it differs. Does not save.
    void setGoals(const QList<StudyGoal>& goals);
    // The goal with that id, or nothing.
    std::optional<StudyGoal> goal(const QUuid& id) const;
    // Replaces the goal with the same id in place; notifies when it changed.
    void updateGoal(const StudyGoal& goal);

    const std::optional<QUuid>& selected() const { return m_selected; }
    void setSelected(const std::optional<QUuid>& id);
    // The property form: a null id is no selection.
    QUuid selectedId() const { return m_selected.value_or(QUuid()); }
    void setSelectedId(const QUuid& id);

    const std::optional<GoalTerm>& filter() const { return m_filter; }
    void setFilter(const std::optional<GoalTerm>& filter);

    double dayWidth() const { return m_dayWidth; }
    void setDayWidth(double dayWidth);

    // The goals that pass the filter, earliest due first; equal dues keep
    // their stored order.
    QList<StudyGoal> visible() const;

    // Appends a new goal starting today and due 14 days (short) or 6 months
    // (long) later by the calendar, selects it and saves.
    void add(GoalTerm term);
    void add(GoalTerm term, const QDateTime& now, const QTimeZone& zone);
    // Asks the question (message, informative text, buttons) and returns the
    // index of the button chosen, or -1. The window asks through the shell's
    // alert; without an asker nothing is ever deleted.
    using Asker = std::function<int(const QString&, const QString&, const QStringList&)>;
    void setAsker(Asker asker) { m_asker = std::move(asker); }

    // Asks first; on "Delete" removes the goal with that id, selects the
    // first goal left in stored order (or none) and saves.
    void deleteGoal(const QUuid& id);

    // Schedules a save of the goals as they will be half a second from now.
    void persist();
    Debouncer* saver() { return &m_saver; }

Q_SIGNALS:
    void goalsChanged();
    void selectedChanged();
    void filterChanged();
    void dayWidthChanged();

private:
    QList<StudyGoal> m_goals;
    std::optional<QUuid> m_selected;
    std::optional<GoalTerm> m_filter;
    double m_dayWidth = kDefaultDayWidth;
    Asker m_asker;
    // After the goals, so a save still pending when the model goes runs
    // while they exist.
    Debouncer m_saver{kSaveDelay};
};
