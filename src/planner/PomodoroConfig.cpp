#include "planner/PomodoroConfig.h"

#include "core/Json.h"

#include <QJsonObject>
#include <limits>

double PomodoroConfig::seconds(FocusPhase phase) const
{
    qint64 minutes = focusMinutes;
    if (phase == FocusPhase::shortBreak)
        minutes = shortBreakMinutes;
    else if (phase == FocusPhase::longBreak)
        minutes = longBreakMinutes;
    // A hand-edited file may hold any 64-bit number: minutes × 60 must not
    // overflow.
    constexpr qint64 kMaxMinutes = std::numeric_limits<qint64>::max() / 60;
    return double(qBound<qint64>(1, minutes, kMaxMinutes) * 60);
}

qint64 PomodoroConfig::cycleLength() const
{
    return qMax<qint64>(cyclesBeforeLong, 1);
}

QJsonValue PomodoroConfig::toJson() const
{
    return QJsonObject{{QStringLiteral("autoStartNext"), autoStartNext},
                       {QStringLiteral("cyclesBeforeLong"), cyclesBeforeLong},
                       {QStringLiteral("focusMinutes"), focusMinutes},
                       {QStringLiteral("longBreakMinutes"), longBreakMinutes},
                       {QStringLiteral("shortBreakMinutes"), shortBreakMinutes}};
}

std::optional<PomodoroConfig> PomodoroConfig::fromJson(const QJsonValue& value)
{
    Json::Reader r(value);
    PomodoroConfig c;
    c.focusMinutes = r.integer(QStringLiteral("focusMinutes"));
    c.shortBreakMinutes = r.integer(QStringLiteral("shortBreakMinutes"));
    c.longBreakMinutes = r.integer(QStringLiteral("longBreakMinutes"));
    c.cyclesBeforeLong = r.integer(QStringLiteral("cyclesBeforeLong"));
    c.autoStartNext = r.boolean(QStringLiteral("autoStartNext"));
    if (!r.ok())
        return std::nullopt;
    return c;
}
