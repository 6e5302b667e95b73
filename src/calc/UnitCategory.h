#pragma once

#include "calc/UnitDef.h"

#include <QHashFunctions>
#include <QJsonValue>
#include <QString>
#include <array>
#include <optional>
#include <span>

// The eight quantities the unit converter knows, each with its constant
// table of units in display order. Stored and encoded by its raw value.
class UnitCategory {
public:
    enum Case : int {
        length,
        weight,
        volume,
        temperature,
        area,
        speed,
        data,
        time,
    };

    constexpr UnitCategory() = default;
    constexpr UnitCategory(Case c) : m_case(c) {}

    // The eight categories in picker order.
    static constexpr std::array<UnitCategory, 8> allCases()
    {
        return {length, weight, volume, temperature, area, speed, data, time};
    }

    // Exact, case-sensitive match against the raw values.
    static std::optional<UnitCategory> fromRawValue(QStringView raw);

    constexpr Case value() const { return m_case; }
    QString rawValue() const;
    QString id() const { return rawValue(); }
    QString title() const;

    // The category's units in display order (a view of constant data).
    std::span<const UnitDef> units() const;
    // The first unit whose id equals `id` exactly, within this category only.
    std::optional<UnitDef> unit(QStringView id) const;

    QJsonValue toJson() const;
    static std::optional<UnitCategory> fromJson(const QJsonValue& value);

    friend constexpr bool operator==(UnitCategory a, UnitCategory b) { return a.m_case == b.m_case; }

private:
    Case m_case = length;
};

inline size_t qHash(UnitCategory c, size_t seed = 0) { return ::qHash(int(c.value()), seed); }
