#pragma once

#include "planner/FocusPhase.h"

#include <QJsonValue>
#include <QtGlobal>
#include <optional>

// The user's pomodoro rules: phase lengths in minutes, how many focus
// sessions come before a long break, and whether the next phase starts by
// itself. Stored as the "config" object of "focus.json". Stored values are
// kept as they are; every use reads a value below 1 as 1.
struct PomodoroConfig {
    qint64 focusMinutes = 25;
    qint64 shortBreakMinutes = 5;
    qint64 longBreakMinutes = 15;
    qint64 cyclesBeforeLong = 4;
    bool autoStartNext = false;

    // Length of a phase in whole seconds: max(minutes, 1) × 60, saturating at
    // the largest whole minute a 64-bit count of seconds can hold.
    double seconds(FocusPhase phase) const;
    // max(cyclesBeforeLong, 1).
    qint64 cycleLength() const;

    QJsonValue toJson() const;
    // Strict: all five keys, integers and a boolean.
    static std::optional<PomodoroConfig> fromJson(const QJsonValue& value);

    friend bool operator==(const PomodoroConfig&, const PomodoroConfig&) = default;
};
