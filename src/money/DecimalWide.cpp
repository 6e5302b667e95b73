#include "money/DecimalWide.h"

#include <algorithm>

namespace DecimalWide {

// Number of decimal digits of v (1 for 0).
int digits128(u128 v)
{
    int d = 1;
    while (d < 39 && v >= kPow10[size_t(d)])
        ++d;
    return d;
}

u128 magnitude(i128 m)
{
    return m < 0 ? u128(0) - u128(m) : u128(m);
}

int compare(const U256& a, const U256& b)
{
    for (int i = 3; i >= 0; --i) {
        if (a.w[size_t(i)] != b.w[size_t(i)])
            return a.w[size_t(i)] < b.w[size_t(i)] ? -1 : 1;
    }
    return 0;
}

U256 add(const U256& a, const U256& b)
{
    U256 r;
    u128 carry = 0;
    for (size_t i = 0; i < 4; ++i) {
        const u128 s = u128(a.w[i]) + b.w[i] + carry;
        r.w[i] = u64(s);
        carry = s >> 64;
    }
    // Callers keep every sum below 2^256.
    return r;
}

// a - b for a >= b.
U256 sub(const U256& a, const U256& b)
{
    U256 r;
    u64 borrow = 0;
    for (size_t i = 0; i < 4; ++i) {
        const u64 x = a.w[i];
        const u64 y = b.w[i];
        const u64 d = x - y - borrow;
        borrow = (x < y) || (x == y && borrow) ? 1 : 0;
        r.w[i] = d;
    }
    return r;
}

U256 mulSmall(const U256& a, u64 m)
{
    U256 r;
    u128 carry = 0;
    for (size_t i = 0; i < 4; ++i) {
        const u128 p = u128(a.w[i]) * m + carry;
        r.w[i] = u64(p);
        carry = p >> 64;
    }
    return r;
}

// a × 10^k; the caller keeps the product below 2^256.
U256 scaleUp(U256 a, long long k)
{
    while (k > 0) {
        const long long step = std::min<long long>(k, 19);
        a = mulSmall(a, u64(kPow10[size_t(step)]));
        k -= step;
    }
    return a;
}

U256 mul128(u128 a, u128 b)
{
    const u64 x[2] = {u64(a), u64(a >> 64)};
    const u64 y[2] = {u64(b), u64(b >> 64)};
    U256 r;
    for (size_t i = 0; i < 2; ++i) {
        u128 carry = 0;
        for (size_t j = 0; j < 2; ++j) {
            const u128 t = u128(x[i]) * y[j] + r.w[i + j] + carry;
            r.w[i + j] = u64(t);
            carry = t >> 64;
        }
        r.w[i + 2] = u64(carry);
    }
    return r;
}

// 10^0 ... 10^77 (10^77 < 2^256 < 10^78).
const std::array<U256, 78>& pow10Wide()
{
    static const std::array<U256, 78> table = [] {
        std::array<U256, 78> t{};
        t[0] = U256::from(1);
        for (size_t i = 1; i < t.size(); ++i)
            t[i] = mulSmall(t[i - 1], 10);
        return t;
    }();
    return table;
}

int digits(const U256& v)
{
    if (v.fits128()) {
        const u128 x = v.low128();
        if (x < kPow10[38])
            return digits128(x);
    }
    const auto& p = pow10Wide();
    int d = 38;
    while (d < 78 && compare(v, p[size_t(d)]) >= 0)
        ++d;
    return d;
}

U256 shl1(const U256& a)
{
    U256 r;
    r.w[3] = (a.w[3] << 1) | (a.w[2] >> 63);
    r.w[2] = (a.w[2] << 1) | (a.w[1] >> 63);
    r.w[1] = (a.w[1] << 1) | (a.w[0] >> 63);
    r.w[0] = a.w[0] << 1;
    return r;
}

// Quotient and remainder; the divisor is non-zero and below 2^255.
void divmod(const U256& a, const U256& b, U256& q, U256& r)
{
    if (a.fits128() && b.fits128()) {
        const u128 x = a.low128();
        const u128 y = b.low128();
        q = U256::from(x / y);
        r = U256::from(x % y);
        return;
    }
    if (b.w[1] == 0 && b.w[2] == 0 && b.w[3] == 0) {
        // One-word divisor: schoolbook division a word at a time.
        const u64 d = b.w[0];
        u128 rem = 0;
        for (int i = 3; i >= 0; --i) {
            const u128 cur = (rem << 64) | a.w[size_t(i)];
            q.w[size_t(i)] = u64(cur / d);
            rem = cur % d;
        }
        r = U256::from(rem);
        return;
    }
    q = U256();
    r = U256();
    int top = 255;
    while (top >= 0 && !((a.w[size_t(top / 64)] >> (top % 64)) & 1))
        --top;
    for (int bit = top; bit >= 0; --bit) {
        r = shl1(r);
        r.w[0] |= (a.w[size_t(bit / 64)] >> (bit % 64)) & 1;
        if (compare(r, b) >= 0) {
            r = sub(r, b);
            q.w[size_t(bit / 64)] |= u64(1) << (bit % 64);
        }
    }
}

// `mag` with its lowest `drop` digits removed and the rest rounded. `sticky`
// says that the true value lies slightly above `mag` (digits already lost
// further down), which turns an exact half into more than a half.
U256 dropDigits(const U256& mag, long long drop, Decimal::Rounding mode, bool sticky)
{
    if (drop <= 0)
        return mag;
    if (drop >= 78)
        return U256();
    const U256& unit = pow10Wide()[size_t(drop)];
    U256 q, r;
    divmod(mag, unit, q, r);
    if (mode == Decimal::Rounding::towardZero)
        return q;
    const U256 half = mulSmall(pow10Wide()[size_t(drop - 1)], 5);
    const int c = compare(r, half);
    bool up = false;
    if (c > 0 || (c == 0 && sticky))
        up = true;
    else if (c == 0)
        up = mode == Decimal::Rounding::halfAwayFromZero || q.odd();
    if (up)
        q = add(q, U256::from(1));
    return q;
}

// Builds a decimal from a sign, a wide magnitude and an exponent: rounds to
// 38 digits and into the exponent range, NaN when too large.
Decimal finish(bool negative, U256 mag, long long exp, Decimal::Rounding mode, bool sticky)
{
    if (mag.isZero())
        return Decimal::fromParts(0, int(std::clamp<long long>(exp, Decimal::kMinExponent, Decimal::kMaxExponent)));
    const int d = digits(mag);
    const long long drop = std::max<long long>({d - Decimal::kMaxDigits, Decimal::kMinExponent - exp, 0});
    if (drop > 0) {
        mag = dropDigits(mag, drop, mode, sticky);
        exp += drop;
        if (compare(mag, pow10Wide()[38]) == 0) {
            mag = pow10Wide()[37];
            exp += 1;
        }
        if (mag.isZero())
            return Decimal::fromParts(0, int(std::clamp<long long>(exp, Decimal::kMinExponent, Decimal::kMaxExponent)));
    }
    u128 m = mag.low128();
    while (exp > Decimal::kMaxExponent && m < kPow10[37]) {
        m *= 10;
        --exp;
    }
    if (exp > Decimal::kMaxExponent)
        return Decimal::nan();
    return Decimal::fromParts(negative ? -i128(m) : i128(m), int(exp));
}

} // namespace DecimalWide
