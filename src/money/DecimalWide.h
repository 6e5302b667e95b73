#pragma once

// The integer arithmetic under Decimal: 38-digit mantissas, 256-bit
// intermediate magnitudes, powers of ten and the rounding of a wide result
// back into a Decimal. Only the Decimal sources use it.

#include "money/Decimal.h"

#include <array>
#include <cstdint>

namespace DecimalWide {

using u64 = std::uint64_t;
using u128 = unsigned __int128;
using i128 = __int128;

constexpr std::array<u128, 39> makePow10()
{
    std::array<u128, 39> t{};
    u128 v = 1;
    for (int i = 0; i < 39; ++i) {
        t[size_t(i)] = v;
        v *= 10;
    }
    return t;
}
inline constexpr std::array<u128, 39> kPow10 = makePow10();
inline constexpr u128 kMaxMantissa = kPow10[38] - 1;

// Number of decimal digits of v (1 for 0).
int digits128(u128 v);
u128 magnitude(i128 m);

// A 256-bit unsigned integer, little-endian 64-bit words: wide enough for a
// product of two 38-digit mantissas and for a 77-digit dividend.
struct U256 {
    std::array<u64, 4> w{};

    static U256 from(u128 v)
    {
        U256 r;
        r.w[0] = u64(v);
        r.w[1] = u64(v >> 64);
        return r;
    }
    bool fits128() const { return w[2] == 0 && w[3] == 0; }
    u128 low128() const { return (u128(w[1]) << 64) | w[0]; }
    bool isZero() const { return (w[0] | w[1] | w[2] | w[3]) == 0; }
    bool odd() const { return w[0] & 1; }
};

int compare(const U256& a, const U256& b);
U256 add(const U256& a, const U256& b);
// a - b, for a >= b.
U256 sub(const U256& a, const U256& b);
U256 mulSmall(const U256& a, u64 m);
// a × 10^k.
U256 scaleUp(U256 a, long long k);
U256 mul128(u128 a, u128 b);
// 10^0 ... 10^77 (10^77 < 2^256 < 10^78).
const std::array<U256, 78>& pow10Wide();
// Number of decimal digits of v (1 for 0).
int digits(const U256& v);
void divmod(const U256& a, const U256& b, U256& q, U256& r);
// mag / 10^drop, rounded by `mode`; `sticky`: digits already dropped were
// not all zero.
U256 dropDigits(const U256& mag, long long drop, Decimal::Rounding mode, bool sticky);

// Builds a decimal from a sign, a wide magnitude and an exponent: rounds to
// 38 digits and into the exponent range, NaN when too large.
Decimal finish(bool negative, U256 mag, long long exp, Decimal::Rounding mode, bool sticky = false);

} // namespace DecimalWide
