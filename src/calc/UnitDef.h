#pragma once

#include <QHashFunctions>
#include <QStringView>

// One unit of a category's table: its key, its display name, its symbol and
// its size in the category's base unit. The texts point into the constant
// tables built into the program, so a UnitDef is cheap to copy and its
// views stay valid for the life of the process.
struct UnitDef {
    QStringView id;
    QStringView name;
    QStringView symbol;
    double factor = 1.0;

    friend bool operator==(const UnitDef& a, const UnitDef& b)
    {
        return a.id == b.id && a.name == b.name && a.symbol == b.symbol && a.factor == b.factor;
    }
};

inline size_t qHash(const UnitDef& u, size_t seed = 0)
{
    return qHashMulti(seed, u.id, u.name, u.symbol, u.factor);
}
