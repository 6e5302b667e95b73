#include "planner/FocusPhase.h"

namespace FocusPhases {

QString rawValue(FocusPhase phase)
{
    switch (phase) {
    case FocusPhase::shortBreak:
        return QStringLiteral("Short Break");
    case FocusPhase::longBreak:
        return QStringLiteral("Long Break");
    case FocusPhase::focus:
        break;
    }
    return QStringLiteral("Focus");
}

std::optional<FocusPhase> fromRawValue(QStringView raw)
{
    for (FocusPhase p : {FocusPhase::focus, FocusPhase::shortBreak, FocusPhase::longBreak}) {
        if (raw == rawValue(p))
            return p;
    }
    return std::nullopt;
}

} // namespace FocusPhases
