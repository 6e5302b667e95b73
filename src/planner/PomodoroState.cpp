#include "planner/PomodoroState.h"

#include <cmath>
#include <limits>

PomodoroState::PomodoroState(const PomodoroConfig& cfg)
    : config(cfg)
    , remaining(cfg.seconds(FocusPhase::focus))
{
}

double PomodoroState::total() const
{
    return config.seconds(phase);
}

double PomodoroState::fractionDone() const
{
    return 1.0 - remaining / total();
}

void PomodoroState::advance()
{
    if (phase == FocusPhase::focus) {
        if (completedFocus < std::numeric_limits<qint64>::max())
            ++completedFocus;
        phase = completedFocus % config.cycleLength() == 0 ? FocusPhase::longBreak : FocusPhase::shortBreak;
    } else {
        phase = FocusPhase::focus;
    }
    remaining = total();
}

std::optional<FocusPhase> PomodoroState::tick(double elapsed)
{
    if (!running)
        return std::nullopt;
    remaining -= elapsed;
    if (remaining > kEndThreshold)
        return std::nullopt;
    const FocusPhase finished = phase;
    advance();
    running = config.autoStartNext;
    return finished;
}

void PomodoroState::reset()
{
    running = false;
    remaining = total();
}

void PomodoroState::resetAll()
{
    running = false;
    phase = FocusPhase::focus;
    completedFocus = 0;
    remaining = total();
}

QString PomodoroState::clock(double seconds)
{
    qint64 s = 0;
    const double up = std::ceil(seconds);
    // 2^63 is the first double outside the 64-bit range.
    if (up >= 9223372036854775808.0)
        s = std::numeric_limits<qint64>::max();
    else if (up > 0)
        s = qint64(up);
    return QString::asprintf("%02lld:%02lld", static_cast<long long>(s / 60), static_cast<long long>(s % 60));
}
