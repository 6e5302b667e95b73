#include "planner/GoalTerm.h"

std::optional<GoalTerm> GoalTerm::fromRawValue(QStringView raw)
{
    if (raw == u"Short-term")
        return GoalTerm(shortTerm);
    if (raw == u"Long-term")
        return GoalTerm(longTerm);
    return std::nullopt;
}

const QList<GoalTerm>& GoalTerm::allCases()
{
    static const QList<GoalTerm> all{GoalTerm(shortTerm), GoalTerm(longTerm)};
    return all;
}

QString GoalTerm::rawValue() const
{
    return m_case == shortTerm ? QStringLiteral("Short-term") : QStringLiteral("Long-term");
}
