#pragma once

#include <QHashFunctions>
#include <QList>
#include <QString>
#include <QStringView>
#include <optional>

// Whether a study goal covers days or weeks (short) or months or years
// (long). Stored as its raw text; also the timeline's filter.
class GoalTerm {
public:
    enum Case : int {
        shortTerm,
        longTerm,
    };

    constexpr GoalTerm(Case c) : m_case(c) {}

    // Exact, case-sensitive match against the raw texts.
    static std::optional<GoalTerm> fromRawValue(QStringView raw);
    // Short, then long.
    static const QList<GoalTerm>& allCases();

    constexpr Case value() const { return m_case; }
    // "Short-term" or "Long-term".
    QString rawValue() const;
    QString id() const { return rawValue(); }

    friend constexpr bool operator==(GoalTerm a, GoalTerm b) { return a.m_case == b.m_case; }

private:
    Case m_case;
};

inline size_t qHash(GoalTerm t, size_t seed = 0) { return ::qHash(int(t.value()), seed); }
