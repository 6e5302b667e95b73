#include "calc/AngleMode.h"

std::optional<AngleMode> AngleMode::fromRawValue(QStringView raw)
{
    if (raw == u"degrees")
        return AngleMode(degrees);
    if (raw == u"radians")
        return AngleMode(radians);
    return std::nullopt;
}

const QList<AngleMode>& AngleMode::allCases()
{
    static const QList<AngleMode> all{AngleMode(degrees), AngleMode(radians)};
    return all;
}

QString AngleMode::rawValue() const
{
    return m_case == degrees ? QStringLiteral("degrees") : QStringLiteral("radians");
}
