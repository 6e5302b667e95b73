#include "calc/NumberFormat.h"

#include <QVarLengthArray>

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

// Removes trailing "0"s and then a trailing "." from text[0, len) that holds
// a point; returns the new length.
int trimFraction(const char* text, int len)
{
    if (std::find(text, text + len, '.') == text + len)
        return len;
    while (len > 0 && text[len - 1] == '0')
        --len;
    if (len > 0 && text[len - 1] == '.')
        --len;
    return len;
}

} // namespace

QString NumberFormat::display(double value, int maxSig)
{
    if (std::isnan(value))
        return QStringLiteral("Error");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("∞") : QStringLiteral("-∞");
    if (value == 0)
        return QStringLiteral("0");
    if (value == std::round(value) && std::fabs(value) < 1e15)
        return QString::number(qint64(value)); // all digits, as "%.0f" gives them

    // "%.<maxSig>g" in the C locale. Beyond 800 digits a double has only
    // zeros to add, which %g drops, so the clamp changes nothing; a
    // precision of 0 means 1, as in printf.
    const int precision = std::clamp(maxSig, 1, 800);
    QVarLengthArray<char, 64> buf(precision + 32);
    const std::to_chars_result r =
        std::to_chars(buf.data(), buf.data() + buf.size(), value, std::chars_format::general, precision);
    const int len = int(r.ptr - buf.data());
    const char* text = buf.constData();

    const char* e = std::find(text, text + len, 'e');
    if (e == text + len)
        return QString::fromLatin1(text, trimFraction(text, len));

    // Exponent form: a clean mantissa, then the exponent without "+" and
    // without leading zeros.
    QString out = QString::fromLatin1(text, trimFraction(text, int(e - text)));
    const char* exp = e + 1;
    const char* end = text + len;
    if (exp < end && *exp == '+')
        ++exp;
    bool negative = false;
    if (exp < end && *exp == '-') {
        negative = true;
        ++exp;
    }
    while (end - exp > 1 && *exp == '0')
        ++exp;
    out += QLatin1Char('e');
    if (negative)
        out += QLatin1Char('-');
    out += QLatin1String(exp, end - exp);
    return out;
}
