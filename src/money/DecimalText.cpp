#include "money/Decimal.h"

#include "money/DecimalWide.h"

#include <QLocale>
#include <QVarLengthArray>
#include <QVariant>
#include <algorithm>
#include <cmath>
#include <limits>

using namespace DecimalWide;

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

// Pushes the ASCII digits of `text` from `i` on into `c`, leaving `i` after
// them; how many there were.
long long pushDigits(QStringView text, qsizetype& i, DigitCollector& c)
{
    long long count = 0;
    while (i < text.size() && isAsciiDigit(text[i])) {
        c.push(text[i].unicode() - '0');
        ++count;
        ++i;
    }
    return count;
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
    bool any = pushDigits(text, i, c) > 0;
    if (i < n && text[i] == QLatin1Char('.')) {
        ++i;
        fraction = pushDigits(text, i, c);
        any = any || fraction > 0;
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
    bool any = pushDigits(text, i, c) > 0;
    if (i < n && text[i] == QLatin1Char('.')) {
        qsizetype j = i + 1;
        DigitCollector withFraction = c;
        const long long f = pushDigits(text, j, withFraction);
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
