#pragma once

#include "planner/FocusPhase.h"
#include "planner/PomodoroConfig.h"

#include <QString>
#include <optional>

// The running pomodoro: phase, time left and completed focus sessions under
// a config. A plain value without timers; its owner drives it with tick()
// and starts or pauses it by setting `running`. Never saved.
struct PomodoroState {
    PomodoroConfig config;
    FocusPhase phase = FocusPhase::focus;
    double remaining = 0;
    qint64 completedFocus = 0;
    bool running = false;

    // A phase ends when at most this many seconds are left.
    static constexpr double kEndThreshold = 0.0001;

    PomodoroState() : PomodoroState(PomodoroConfig{}) {}
    // Focus phase, full length, nothing completed, stopped.
    explicit PomodoroState(const PomodoroConfig& config);

    // config.seconds(phase).
    double total() const;
    // 1 − remaining ÷ total; not clamped (negative after the config was
    // shortened without reset()).
    double fractionDone() const;

    // Moves to the next phase at its full length; `running` is kept.
    void advance();
    // Counts down by `elapsed` seconds while running. Returns the phase that
    // ended (then `running` follows autoStartNext and the next phase starts
    // full: overshoot is dropped), or nothing.
    std::optional<FocusPhase> tick(double elapsed);
    // Stops and refills the current phase.
    void reset();
    // Stops, back to the first focus phase, no sessions completed.
    void resetAll();

    // "mm:ss" of a number of seconds, rounded up; negative and NaN read as
    // 0, minutes are not capped ("100:00"), beyond 64 bits it saturates.
    static QString clock(double seconds);

    friend bool operator==(const PomodoroState&, const PomodoroState&) = default;
};
