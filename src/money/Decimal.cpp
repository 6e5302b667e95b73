#include "money/Decimal.h"

#include "money/DecimalWide.h"

#include <QLocale>
#include <QVarLengthArray>
#include <QVariant>
#include <algorithm>
#include <cmath>
#include <limits>

using namespace DecimalWide;

Decimal Decimal::nan()
{
    Decimal d;
    d.m_nan = true;
    return d;
}

Decimal Decimal::fromParts(__int128 mantissa, int exponent)
{
    const u128 mag = magnitude(mantissa);
    if (mag <= kMaxMantissa && exponent >= kMinExponent && exponent <= kMaxExponent) {
        Decimal d;
        d.m_mantissa = mantissa;
        d.m_exponent = exponent;
        return d;
    }
    return finish(mantissa < 0, U256::from(mag), exponent, Rounding::halfAwayFromZero);
}

Decimal Decimal::rounded(int places, Rounding mode) const
{
    if (m_nan || m_exponent >= -places)
        return *this;
    const int drop = -places - m_exponent;
    if (drop > 38)
        return fromParts(0, -places);
    const u128 mag = magnitude(m_mantissa);
    const u128 unit = kPow10[size_t(drop)];
    u128 q = mag / unit;
    const u128 r = mag % unit;
    if (mode != Rounding::towardZero) {
        const u128 half = unit / 2;
        if (r > half || (r == half && (mode == Rounding::halfAwayFromZero || (q & 1))))
            ++q;
    }
    return fromParts(m_mantissa < 0 ? -i128(q) : i128(q), -places);
}

Decimal Decimal::normalized() const
{
    if (m_nan)
        return *this;
    if (m_mantissa == 0)
        return Decimal();
    Decimal d = *this;
    while (d.m_mantissa % 10 == 0 && d.m_exponent < kMaxExponent) {
        d.m_mantissa /= 10;
        ++d.m_exponent;
    }
    return d;
}

Decimal Decimal::abs() const
{
    return m_mantissa < 0 ? -*this : *this;
}

Decimal Decimal::operator-() const
{
    Decimal d = *this;
    d.m_mantissa = -d.m_mantissa; // |mantissa| < 10^38, so no overflow
    return d;
}

Decimal operator+(const Decimal& a, const Decimal& b)
{
    if (a.m_nan || b.m_nan)
        return Decimal::nan();
    {
        // Common case: aligned within 128 bits and still 38 digits at most.
        const Decimal& hi = a.m_exponent >= b.m_exponent ? a : b;
        const Decimal& lo = a.m_exponent >= b.m_exponent ? b : a;
        const int d = hi.m_exponent - lo.m_exponent;
        i128 scaled;
        i128 sum;
        if (d <= 38 && !__builtin_mul_overflow(hi.m_mantissa, i128(kPow10[size_t(d)]), &scaled)
            && !__builtin_add_overflow(scaled, lo.m_mantissa, &sum) && magnitude(sum) <= kMaxMantissa)
            return Decimal::fromParts(sum, lo.m_exponent);
    }
    // x: the operand with the larger exponent.
    const Decimal& x = a.m_exponent >= b.m_exponent ? a : b;
    const Decimal& y = a.m_exponent >= b.m_exponent ? b : a;
    U256 mx = U256::from(magnitude(x.m_mantissa));
    U256 my = U256::from(magnitude(y.m_mantissa));
    long long xexp = x.m_exponent;
    long long yexp = y.m_exponent;
    long long d = xexp - yexp;
    if (mx.isZero()) {
        d = 0; // 0 + y is y at its own scale
        xexp = yexp;
    } else if (d > 39) {
        // Fill x out to 38 digits first.
        const int s = int(std::min<long long>(d, Decimal::kMaxDigits - digits(mx)));
        mx = U256::from(mx.low128() * kPow10[size_t(s)]);
        xexp -= s;
        d -= s;
        if (d > 39) {
            // y lies wholly below a hundredth of x's last digit: only the
            // fact that it is there matters for the rounding.
            if (!my.isZero())
                my = U256::from(1);
            yexp = xexp - 39;
            d = 39;
        }
    }
    if (d > 0) {
        // mx < 10^38 and d <= 39: the product stays below 10^77.
        mx = scaleUp(mx, d);
    }
    const bool xNeg = x.m_mantissa < 0;
    const bool yNeg = y.m_mantissa < 0;
    if (xNeg == yNeg)
        return finish(xNeg, add(mx, my), yexp, Decimal::Rounding::halfAwayFromZero);
    const int c = compare(mx, my);
    if (c == 0)
        return Decimal::fromParts(0, int(yexp));
    if (c > 0)
        return finish(xNeg, sub(mx, my), yexp, Decimal::Rounding::halfAwayFromZero);
    return finish(yNeg, sub(my, mx), yexp, Decimal::Rounding::halfAwayFromZero);
}

Decimal operator-(const Decimal& a, const Decimal& b)
{
    return a + (-b);
}

Decimal operator*(const Decimal& a, const Decimal& b)
{
    if (a.m_nan || b.m_nan)
        return Decimal::nan();
    const bool negative = (a.m_mantissa < 0) != (b.m_mantissa < 0);
    const long long exp = (long long)a.m_exponent + b.m_exponent;
    const u128 ma = magnitude(a.m_mantissa);
    const u128 mb = magnitude(b.m_mantissa);
    if ((ma >> 64) == 0 && (mb >> 64) == 0 && exp >= Decimal::kMinExponent && exp <= Decimal::kMaxExponent) {
        const u128 p = ma * mb;
        if (p <= kMaxMantissa)
            return Decimal::fromParts(negative ? -i128(p) : i128(p), int(exp));
    }
    return finish(negative, mul128(magnitude(a.m_mantissa), magnitude(b.m_mantissa)), exp,
                  Decimal::Rounding::halfAwayFromZero);
}

Decimal operator/(const Decimal& a, const Decimal& b)
{
    if (a.m_nan || b.m_nan || b.m_mantissa == 0)
        return Decimal::nan();
    const long long ideal = (long long)a.m_exponent - b.m_exponent;
    if (a.m_mantissa == 0)
        return Decimal::fromParts(0, int(std::clamp<long long>(ideal, Decimal::kMinExponent, Decimal::kMaxExponent)));
    const bool negative = (a.m_mantissa < 0) != (b.m_mantissa < 0);
    const u128 ma = magnitude(a.m_mantissa);
    // Widen the dividend to 77 digits so the quotient has at least 39.
    const int k = 77 - digits128(ma);
    const U256 num = scaleUp(U256::from(ma), k);
    U256 q, r;
    divmod(num, U256::from(magnitude(b.m_mantissa)), q, r);
    const bool exact = r.isZero();
    Decimal d = finish(negative, q, ideal - k, Decimal::Rounding::halfAwayFromZero, !exact);
    if (exact && !d.m_nan) {
        // Drop the padding zeros again, down to the natural scale.
        const long long target = std::min<long long>(ideal, Decimal::kMaxExponent);
        while (d.m_exponent < target && d.m_mantissa != 0 && d.m_mantissa % 10 == 0) {
            d.m_mantissa /= 10;
            ++d.m_exponent;
        }
    }
    return d;
}

namespace {

// Compares |a| and |b| of two finite, non-zero decimals.
int compareMagnitude(u128 ma, int ea, u128 mb, int eb)
{
    const int adjA = digits128(ma) + ea;
    const int adjB = digits128(mb) + eb;
    if (adjA != adjB)
        return adjA < adjB ? -1 : 1;
    // Same leading position, so the exponents differ by at most 37.
    if (ea > eb)
        ma *= kPow10[size_t(ea - eb)];
    else if (eb > ea)
        mb *= kPow10[size_t(eb - ea)];
    return ma < mb ? -1 : (ma > mb ? 1 : 0);
}

} // namespace

std::partial_ordering operator<=>(const Decimal& a, const Decimal& b)
{
    if (a.m_nan || b.m_nan)
        return std::partial_ordering::unordered;
    const int sa = a.sign();
    const int sb = b.sign();
    if (sa != sb)
        return sa < sb ? std::partial_ordering::less : std::partial_ordering::greater;
    if (sa == 0)
        return std::partial_ordering::equivalent;
    int c = compareMagnitude(magnitude(a.m_mantissa), a.m_exponent, magnitude(b.m_mantissa), b.m_exponent);
    if (sa < 0)
        c = -c;
    return c < 0 ? std::partial_ordering::less
                 : (c > 0 ? std::partial_ordering::greater : std::partial_ordering::equivalent);
}

bool operator==(const Decimal& a, const Decimal& b)
{
    if (a.m_nan || b.m_nan)
        return a.m_nan && b.m_nan;
    return (a <=> b) == std::partial_ordering::equivalent;
}

size_t qHash(const Decimal& d, size_t seed)
{
    if (d.isNaN())
        return ::qHash(-1, seed);
    const Decimal n = d.normalized();
    const u128 m = u128(n.mantissa());
    return qHashMulti(seed, quint64(m), quint64(m >> 64), n.isZero() ? 0 : n.exponent());
}
