#include "money/Decimal.h"

#include <QLocale>
#include <QVarLengthArray>
#include <QVariant>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>

namespace {

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
constexpr std::array<u128, 39> kPow10 = makePow10();
const u128 kMaxMantissa = kPow10[38] - 1;

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

} // namespace

// Builds a decimal from a sign, a wide magnitude and an exponent: rounds to
// 38 digits and into the exponent range, NaN when too large.
static Decimal finish(bool negative, U256 mag, long long exp, Decimal::Rounding mode, bool sticky = false)
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

namespace {

// Significant digits of a number being read: keeps the first 40 and notes
// whether any later one is non-zero.
struct DigitCollector {
    U256 value;
    int kept = 0;
    long long skipped = 0; // digits past the kept ones (exponent grows by these)
    bool sticky = false;

    void push(int digit)
    {
        if (kept == 0 && digit == 0)
            return; // leading zero
        if (kept < 40) {
            value = add(mulSmall(value, 10), U256::from(u128(digit)));
            ++kept;
        } else {
            ++skipped;
            if (digit != 0)
                sticky = true;
        }
    }
};

bool isAsciiDigit(QChar c)
{
    return c.unicode() >= '0' && c.unicode() <= '9';
}

} // namespace

std::optional<Decimal> Decimal::fromString(QStringView text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    bool negative = false;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    DigitCollector c;
    long long fraction = 0;
    bool any = false;
    while (i < n && isAsciiDigit(text[i])) {
        c.push(text[i].unicode() - '0');
        any = true;
        ++i;
    }
    if (i < n && text[i] == QLatin1Char('.')) {
        ++i;
        while (i < n && isAsciiDigit(text[i])) {
            c.push(text[i].unicode() - '0');
            ++fraction;
            any = true;
            ++i;
        }
    }
    if (!any)
        return std::nullopt;
    long long exp = 0;
    if (i < n && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        ++i;
        bool expNegative = false;
        if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
            expNegative = text[i] == QLatin1Char('-');
            ++i;
        }
        bool expAny = false;
        while (i < n && isAsciiDigit(text[i])) {
            // Saturate far beyond the range: the value is then 0 or too large.
            exp = std::min<long long>(exp * 10 + (text[i].unicode() - '0'), 1'000'000'000LL);
            expAny = true;
            ++i;
        }
        if (!expAny)
            return std::nullopt;
        if (expNegative)
            exp = -exp;
    }
    if (i != n)
        return std::nullopt;
    // fraction and skipped are at most the text length, so this cannot overflow.
    const Decimal d = finish(negative, c.value, exp - fraction + c.skipped, Rounding::halfAwayFromZero, c.sticky);
    if (d.isNaN())
        return std::nullopt;
    return d;
}

std::optional<Decimal> Decimal::parsePrefix(QStringView text, qsizetype* used)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    bool negative = false;
    if (i < n && text[i] == QLatin1Char('-')) {
        negative = true;
        ++i;
    }
    DigitCollector c;
    long long fraction = 0;
    bool any = false;
    while (i < n && isAsciiDigit(text[i])) {
        c.push(text[i].unicode() - '0');
        any = true;
        ++i;
    }
    if (i < n && text[i] == QLatin1Char('.')) {
        qsizetype j = i + 1;
        long long f = 0;
        DigitCollector withFraction = c;
        while (j < n && isAsciiDigit(text[j])) {
            withFraction.push(text[j].unicode() - '0');
            ++f;
            ++j;
        }
        if (any || f > 0) {
            c = withFraction;
            fraction = f;
            any = true;
            i = j;
        }
    }
    if (!any) {
        if (used)
            *used = 0;
        return std::nullopt;
    }
    if (used)
        *used = i;
    const Decimal d = finish(negative, c.value, c.skipped - fraction, Rounding::halfAwayFromZero, c.sticky);
    if (d.isNaN())
        return std::nullopt;
    return d;
}

std::optional<Decimal> Decimal::fromDouble(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    return fromString(QString::number(value, 'g', QLocale::FloatingPointShortest));
}

double Decimal::toDouble() const
{
    if (m_nan)
        return std::numeric_limits<double>::quiet_NaN();
    bool ok = false;
    const double d = toString().toDouble(&ok);
    if (ok)
        return d;
    // QString::toDouble reports overflow as a failure; the value is then
    // beyond the double range.
    return m_mantissa < 0 ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
}

namespace {

QString digitText(u128 v)
{
    char buf[48];
    int i = 47;
    buf[i] = '\0';
    do {
        buf[--i] = char('0' + int(v % 10));
        v /= 10;
    } while (v != 0);
    return QString::fromLatin1(buf + i, 47 - i);
}

} // namespace

QString Decimal::toString() const
{
    if (m_nan)
        return QStringLiteral("NaN");
    const QString digitsText = digitText(magnitude(m_mantissa));
    const QString sign = m_mantissa < 0 ? QStringLiteral("-") : QString();
    const int n = int(digitsText.size());
    const int e = m_exponent;
    if (m_mantissa == 0 && e >= 0)
        return QStringLiteral("0");
    const int adjusted = n - 1 + e;
    if (e <= 0 && adjusted >= -20) {
        if (e == 0)
            return sign + digitsText;
        if (-e >= n)
            return sign + QStringLiteral("0.") + QString(-e - n, QLatin1Char('0')) + digitsText;
        return sign + digitsText.left(n + e) + QLatin1Char('.') + digitsText.mid(n + e);
    }
    if (e > 0 && adjusted < 40)
        return sign + digitsText + QString(e, QLatin1Char('0'));
    QString s = sign + digitsText.left(1);
    if (n > 1)
        s += QLatin1Char('.') + digitsText.mid(1);
    s += QLatin1Char('e') + (adjusted >= 0 ? QStringLiteral("+") : QStringLiteral("-"))
        + QString::number(std::abs(adjusted));
    return s;
}

QString Decimal::toFixed(int places) const
{
    if (m_nan)
        return QStringLiteral("NaN");
    places = std::clamp(places, 0, -kMinExponent);
    const Decimal r = rounded(places, Rounding::halfEven);
    QString digitsText = digitText(magnitude(r.m_mantissa));
    const QString sign = r.m_mantissa < 0 ? QStringLiteral("-") : QString();
    QString whole;
    QString fraction;
    if (r.m_mantissa == 0) {
        whole = QStringLiteral("0");
    } else if (r.m_exponent >= 0) {
        whole = digitsText + QString(r.m_exponent, QLatin1Char('0'));
    } else {
        const int f = -r.m_exponent; // <= places
        if (digitsText.size() <= f)
            digitsText = QString(f - digitsText.size() + 1, QLatin1Char('0')) + digitsText;
        whole = digitsText.left(digitsText.size() - f);
        fraction = digitsText.right(f);
    }
    fraction += QString(places - fraction.size(), QLatin1Char('0'));
    return places > 0 ? sign + whole + QLatin1Char('.') + fraction : sign + whole;
}

QJsonValue Decimal::toJson() const
{
    if (m_nan)
        return QJsonValue(std::numeric_limits<double>::quiet_NaN());
    const double d = toDouble();
    if (std::isfinite(d)) {
        const std::optional<Decimal> back = fromDouble(d);
        if (back && *back == *this)
            return QJsonValue(d);
    }
    return QJsonValue(toString());
}

std::optional<Decimal> Decimal::fromJson(const QJsonValue& value)
{
    if (value.isString())
        return fromString(value.toString());
    if (!value.isDouble())
        return std::nullopt;
    // The JSON reader keeps whole numbers as 64-bit integers, both those
    // written as integers and whole doubles ("9.99999999999e+17"). One that a
    // double can hold is read as that double's shortest text, like any other
    // number; one that no double can hold was written digit by digit.
    const QVariant v = value.toVariant();
    if (v.typeId() == QMetaType::LongLong) {
        const qint64 n = v.toLongLong();
        const double d = double(n);
        const bool doubleHoldsIt = d >= -9223372036854775808.0 && d < 9223372036854775808.0 && qint64(d) == n;
        if (!doubleHoldsIt)
            return Decimal(n);
        return fromDouble(d);
    }
    return fromDouble(value.toDouble());
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
