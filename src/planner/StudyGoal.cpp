#include "planner/StudyGoal.h"

#include "core/Json.h"

#include <QJsonObject>
#include <algorithm>
#include <cmath>

StudyGoal StudyGoal::make(const QString& title, GoalTerm term, const QDateTime& start, const QDateTime& due)
{
    StudyGoal g;
    g.id = QUuid::createUuid();
    g.title = title;
    g.term = term;
    g.start = start;
    g.due = due;
    return g;
}

double StudyGoal::progress() const
{
    if (progressFromMilestones && !milestones.isEmpty()) {
        const auto done = std::count_if(milestones.begin(), milestones.end(), [](const Milestone& m) { return m.done; });
        return double(done) / double(milestones.size());
    }
    if (!(manualProgress > 0)) // also NaN
        return 0;
    return std::min(manualProgress, 1.0);
}

int StudyGoal::paletteSlot() const
{
    const qint64 r = colorIndex % kColorCount;
    return int(r < 0 ? r + kColorCount : r);
}

bool StudyGoal::addMilestone(const QString& typed, const QDateTime& date)
{
    auto blank = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); };
    qsizetype from = 0;
    qsizetype to = typed.size();
    while (from < to && blank(typed.at(from)))
        ++from;
    while (to > from && blank(typed.at(to - 1)))
        --to;
    if (from == to)
        return false;
    milestones.append(Milestone::make(typed.mid(from, to - from), date));
    std::stable_sort(milestones.begin(), milestones.end(),
                     [](const Milestone& a, const Milestone& b) { return a.date < b.date; });
    return true;
}

void StudyGoal::removeMilestone(const QUuid& milestoneId)
{
    milestones.removeIf([&](const Milestone& m) { return m.id == milestoneId; });
}

QJsonValue StudyGoal::toJson() const
{
    return QJsonObject{{QStringLiteral("colorIndex"), colorIndex},
                       {QStringLiteral("due"), Json::fromDate(due)},
                       {QStringLiteral("id"), Json::fromUuid(id)},
                       {QStringLiteral("manualProgress"), manualProgress},
                       {QStringLiteral("milestones"), Json::fromList(milestones)},
                       {QStringLiteral("notes"), notes},
                       {QStringLiteral("progressFromMilestones"), progressFromMilestones},
                       {QStringLiteral("start"), Json::fromDate(start)},
                       {QStringLiteral("term"), term.rawValue()},
                       {QStringLiteral("title"), title}};
}

std::optional<StudyGoal> StudyGoal::fromJson(const QJsonValue& value)
{
    Json::Reader r(value);
    StudyGoal g;
    g.colorIndex = r.integer(QStringLiteral("colorIndex"));
    g.due = r.date(QStringLiteral("due"));
    g.id = r.uuid(QStringLiteral("id"));
    g.manualProgress = r.number(QStringLiteral("manualProgress"));
    g.milestones = r.list<Milestone>(QStringLiteral("milestones"));
    g.notes = r.string(QStringLiteral("notes"));
    g.progressFromMilestones = r.boolean(QStringLiteral("progressFromMilestones"));
    g.start = r.date(QStringLiteral("start"));
    const std::optional<GoalTerm> term = GoalTerm::fromRawValue(r.string(QStringLiteral("term")));
    g.title = r.string(QStringLiteral("title"));
    if (!r.ok() || !term)
        return std::nullopt;
    g.term = *term;
    return g;
}
