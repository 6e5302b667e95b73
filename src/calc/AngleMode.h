#pragma once

#include <QHashFunctions>
#include <QList>
#include <QString>
#include <QStringView>
#include <optional>

// How the trigonometric functions of the expression engine read and return
// angles. Stored as its raw value ("degrees" or "radians").
class AngleMode {
public:
    enum Case : int {
        degrees,
        radians,
    };

    constexpr AngleMode(Case c) : m_case(c) {}

    // Exact, case-sensitive match against the raw values.
    static std::optional<AngleMode> fromRawValue(QStringView raw);
    // degrees, then radians.
    static const QList<AngleMode>& allCases();

    constexpr Case value() const { return m_case; }
    QString rawValue() const;

    friend constexpr bool operator==(AngleMode a, AngleMode b) { return a.m_case == b.m_case; }

private:
    Case m_case;
};

inline size_t qHash(AngleMode m, size_t seed = 0) { return ::qHash(m.rawValue(), seed); }
