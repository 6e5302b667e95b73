#include "calc/expr/ExprNumerics.h"

#include <array>
#include <cmath>
#include <numbers>

namespace Expr {

static const std::array<double, 171>& factorialTable()
{
    static const std::array<double, 171> table = [] {
        std::array<double, 171> t{};
        double p = 1;
        t[0] = 1;
        for (int i = 1; i <= 170; ++i) {
            p *= double(i);
            t[size_t(i)] = p;
        }
        return t;
    }();
    return table;
}

double factorialTableValue(int n)
{
    return factorialTable()[size_t(n)];
}

bool isWhole(double x)
{
    return x == std::round(x); // false for NaN, true for the infinities
}

// The parity of a whole double. Values beyond the 64-bit range (every double
// of that size is even anyway) and non-finite values report "not odd", so
// nothing out of range is ever converted to an integer.
bool isOddWhole(double k)
{
    constexpr double limit = 9223372036854775808.0; // 2^63
    if (!(k > -limit && k < limit))
        return false;
    return qint64(k) % 2 != 0;
}

double snapToZero(double r)
{
    return std::fabs(r) < 1e-13 ? 0.0 : r;
}

double toRadians(double x, AngleMode mode)
{
    return mode == AngleMode::degrees ? x * std::numbers::pi / 180 : x;
}

double fromRadians(double r, AngleMode mode)
{
    return mode == AngleMode::degrees ? r * 180 / std::numbers::pi : r;
}

double factorialOf(double n, Error& err)
{
    if (!isWhole(n) || !(n >= 0)) {
        err = domainError(QStringLiteral("factorial needs a whole number ≥ 0"));
        return 0;
    }
    if (n > 170) {
        err = domainError(QStringLiteral("overflow"));
        return 0;
    }
    return factorialTable()[size_t(n)];
}

double power(double base, double exponent, Error& err)
{
    if (base == 0 && exponent < 0) {
        err = ExprError(ExprError::divideByZero);
        return 0;
    }
    if (base < 0 && !isWhole(exponent)) {
        const double r = 1 / exponent;
        const double k = std::round(r);
        if (std::fabs(r - k) < 1e-9 && isOddWhole(k))
            return -std::pow(-base, exponent);
        err = domainError(QStringLiteral("fractional power of a negative number"));
        return 0;
    }
    return std::pow(base, exponent);
}

} // namespace Expr
