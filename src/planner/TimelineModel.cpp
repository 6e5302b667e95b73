#include "planner/TimelineModel.h"

#include "core/Json.h"
#include "core/RepeatedIds.h"
#include "core/Store.h"
#include "planner/TimelineMath.h"

#include <QPointer>
#include <algorithm>
#include <cmath>

TimelineModel::TimelineModel(QObject* parent) : QObject(parent)
{
    m_goals = Store::loadList<StudyGoal>(fileName()).value_or(QList<StudyGoal>());
    // Selection, edits and milestones go by id: mend repeats in memory.
    RepeatedIds::Outcome repeated = RepeatedIds::repair(m_goals);
    for (StudyGoal& g : m_goals)
        repeated += RepeatedIds::repair(g.milestones);
    RepeatedIds::report(fileName(), repeated);
    if (!m_goals.isEmpty())
        m_selected = m_goals.first().id;
}

void TimelineModel::setGoals(const QList<StudyGoal>& goals)
{
    if (goals == m_goals)
        return;
    m_goals = goals;
    Q_EMIT goalsChanged();
}

std::optional<StudyGoal> TimelineModel::goal(const QUuid& id) const
{
    for (const StudyGoal& g : m_goals) {
        if (g.id == id)
            return g;
    }
    return std::nullopt;
}

void TimelineModel::updateGoal(const StudyGoal& goal)
{
    for (StudyGoal& g : m_goals) {
        if (g.id != goal.id)
            continue;
        if (g == goal)
            return;
        g = goal;
        Q_EMIT goalsChanged();
        return;
    }
}

void TimelineModel::setSelected(const std::optional<QUuid>& id)
{
    const std::optional<QUuid> next = (id && id->isNull()) ? std::nullopt : id;
    if (next == m_selected)
        return;
    m_selected = next;
    Q_EMIT selectedChanged();
}

void TimelineModel::setSelectedId(const QUuid& id)
{
    setSelected(id.isNull() ? std::nullopt : std::optional<QUuid>(id));
}

void TimelineModel::setFilter(const std::optional<GoalTerm>& filter)
{
    if (filter == m_filter)
        return;
    m_filter = filter;
    Q_EMIT filterChanged();
}

void TimelineModel::setDayWidth(double dayWidth)
{
    if (!std::isfinite(dayWidth))
        return;
    dayWidth = std::clamp(dayWidth, kMinDayWidth, kMaxDayWidth);
    if (dayWidth == m_dayWidth)
        return;
    m_dayWidth = dayWidth;
    Q_EMIT dayWidthChanged();
}

QList<StudyGoal> TimelineModel::visible() const
{
    QList<StudyGoal> out;
    out.reserve(m_goals.size());
    for (const StudyGoal& g : m_goals) {
        if (!m_filter || g.term == *m_filter)
            out.append(g);
    }
    std::stable_sort(out.begin(), out.end(), [](const StudyGoal& a, const StudyGoal& b) { return a.due < b.due; });
    return out;
}

void TimelineModel::add(GoalTerm term)
{
    add(term, QDateTime::currentDateTime(), TimelineMath::currentZone());
}

void TimelineModel::add(GoalTerm term, const QDateTime& now, const QTimeZone& zone)
{
    const QDate today = TimelineMath::dayOf(now, zone);
    const bool isShort = term == GoalTerm::shortTerm;
    const QDate dueDay = isShort ? today.addDays(14) : today.addMonths(6);
    StudyGoal g = StudyGoal::make(isShort ? QStringLiteral("New short-term goal") : QStringLiteral("New long-term goal"),
                                  term, today.startOfDay(zone).toUTC(), dueDay.startOfDay(zone).toUTC());
    g.colorIndex = m_goals.size() % StudyGoal::kColorCount;
    m_goals.append(g);
    Q_EMIT goalsChanged();
    setSelected(g.id);
    persist();
}

void TimelineModel::deleteGoal(const QUuid& id)
{
    const int answer = m_asker ? m_asker(QStringLiteral("Delete this goal?"),
                                         QStringLiteral("Its milestones will be deleted too."),
                                         {QStringLiteral("Delete"), QStringLiteral("Cancel")})
                               : -1;
    if (answer != 0)
        return;
    const qsizetype removed = m_goals.removeIf([&](const StudyGoal& g) { return g.id == id; });
    if (removed > 0)
        Q_EMIT goalsChanged();
    setSelected(m_goals.isEmpty() ? std::nullopt : std::optional<QUuid>(m_goals.first().id));
    persist();
}

void TimelineModel::persist()
{
    QPointer<TimelineModel> self(this);
    m_saver.call([self] {
        if (self)
            Store::save(Json::fromList(self->m_goals), fileName());
    });
}
