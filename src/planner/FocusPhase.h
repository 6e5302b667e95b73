#pragma once

#include <QHashFunctions>
#include <QString>
#include <QStringView>
#include <optional>

// Which part of the pomodoro rhythm is running. Written in files and shown in
// the window as its raw text.
enum class FocusPhase { focus, shortBreak, longBreak };

namespace FocusPhases {

// "Focus", "Short Break", "Long Break".
QString rawValue(FocusPhase phase);
// Exact, case-sensitive match against the raw texts; nothing otherwise.
std::optional<FocusPhase> fromRawValue(QStringView raw);

} // namespace FocusPhases

inline size_t qHash(FocusPhase p, size_t seed = 0) { return ::qHash(int(p), seed); }
