#include "planner/GoalStatus.h"

namespace {
constexpr GoalStatus::Case kCases[] = {GoalStatus::done, GoalStatus::overdue, GoalStatus::dueSoon,
                                       GoalStatus::onTrack, GoalStatus::behind};
}

std::optional<GoalStatus> GoalStatus::fromRawValue(QStringView raw)
{
    for (GoalStatus::Case c : kCases) {
        if (GoalStatus(c).rawValue() == raw)
            return GoalStatus(c);
    }
    return std::nullopt;
}

QString GoalStatus::rawValue() const
{
    switch (m_case) {
    case done:
        return QStringLiteral("Done");
    case overdue:
        return QStringLiteral("Overdue");
    case dueSoon:
        return QStringLiteral("Due soon");
    case onTrack:
        return QStringLiteral("On track");
    case behind:
        return QStringLiteral("Behind");
    }
    return QString();
}
