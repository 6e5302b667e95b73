#include "money/Money.h"

#include <QChar>
#include <limits>

namespace Money {

Decimal round(const Decimal& value)
{
    return value.rounded(2, Decimal::Rounding::halfAwayFromZero);
}

std::optional<QString> nextNumber(const QString& prefix, const QStringList& existing, qint64 start)
{
    // 128 bits hold start - 1 and best + 1 at both ends of the 64-bit range.
    __int128 best = __int128(start) - 1;
    for (const QString& text : existing) {
        if (!text.startsWith(prefix))
            continue;
        const QStringView rest = QStringView(text).mid(prefix.size());
        bool kept = false;
        bool valid = true;
        __int128 value = 0;
        for (const char32_t c : rest.toUcs4()) {
            if (!QChar::isNumber(c))
                continue;
            kept = true;
            if (c < U'0' || c > U'9') {
                valid = false; // a numeric character that is not an ASCII digit
                break;
            }
            value = value * 10 + (c - U'0');
            if (value > std::numeric_limits<qint64>::max()) {
                valid = false;
                break;
            }
        }
        if (!kept || !valid)
            continue;
        if (value > best)
            best = value;
    }
    const __int128 next = best + 1;
    if (next > std::numeric_limits<qint64>::max())
        return std::nullopt;
    return prefix + QString::number(qint64(next));
}

QString format(const Decimal& value, const QString& symbol)
{
    if (value.isNaN())
        return symbol + QStringLiteral("NaN");
    const bool negative = value.isNegative();
    const QString plain = value.abs().toFixed(2);
    const qsizetype point = plain.indexOf(QLatin1Char('.'));
    const QString whole = plain.left(point);
    QString grouped;
    grouped.reserve(whole.size() + whole.size() / 3 + 3);
    for (qsizetype i = 0; i < whole.size(); ++i) {
        if (i > 0 && (whole.size() - i) % 3 == 0)
            grouped += QLatin1Char(',');
        grouped += whole.at(i);
    }
    grouped += plain.mid(point);
    return (negative ? QStringLiteral("-") : QString()) + symbol + grouped;
}

std::optional<Decimal> parse(const QString& text)
{
    // What the first step keeps, with digits of any script written as ASCII
    // digits and other numeric characters as a mark that stops the reader.
    QString kept;
    for (const char32_t c : text.toUcs4()) {
        if (c == U'.' || c == U'-') {
            kept += QChar(char16_t(c));
        } else if (QChar::isNumber(c)) {
            const int digit = QChar::digitValue(c);
            if (QChar::category(c) == QChar::Number_DecimalDigit && digit >= 0 && digit <= 9)
                kept += QChar(char16_t(u'0' + digit));
            else
                kept += QLatin1Char('#');
        }
    }
    if (kept.isEmpty())
        return std::nullopt;
    return Decimal::parsePrefix(kept);
}

} // namespace Money
