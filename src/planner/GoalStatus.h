#pragma once

#include <QHashFunctions>
#include <QString>
#include <QStringView>
#include <optional>

// Where a study goal stands at a given moment. Always computed from the goal
// and the clock (TimelineMath::status), never stored; the raw text is what
// the timeline shows.
class GoalStatus {
public:
    enum Case : int {
        done,
        overdue,
        dueSoon,
        onTrack,
        behind,
    };

    constexpr GoalStatus(Case c) : m_case(c) {}

    // Exact, case-sensitive match against the raw texts.
    static std::optional<GoalStatus> fromRawValue(QStringView raw);

    constexpr Case value() const { return m_case; }
    // "Done", "Overdue", "Due soon", "On track" or "Behind".
    QString rawValue() const;
    // Overdue and behind are the statuses that call for attention.
    bool isAlarming() const { return m_case == overdue || m_case == behind; }

    friend constexpr bool operator==(GoalStatus a, GoalStatus b) { return a.m_case == b.m_case; }

private:
    Case m_case;
};

inline size_t qHash(GoalStatus s, size_t seed = 0) { return ::qHash(int(s.value()), seed); }
