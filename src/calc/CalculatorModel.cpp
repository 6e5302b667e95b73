#include "calc/CalculatorModel.h"

#include <QRegularExpression>
#include <QTimer>

namespace {

// The keys of a number written without an exponent, as the user would type
// it: its digits and point in order, the sign last. The calculator's own
// rules apply (leading zeros collapse, digits past the sixteenth are
// ignored, and "1.50" stays "1.50"). Keying stops at the sixteenth digit,
// so that a number cut short does not end in a bare point.
QStringList typedKeys(const QString& text, bool negative)
{
    QStringList keys{QStringLiteral("C")};
    StandardCalculator typed;
    for (QChar c : text) {
        if (StandardCalculator::digitCount(typed.display) >= StandardCalculator::kMaxDigits)
            break;
        if (c != QLatin1Char('.') && (c < QLatin1Char('0') || c > QLatin1Char('9')))
            continue;
        keys.append(QString(c));
        typed.input(keys.last());
    }
    if (negative)
        keys.append(QStringLiteral("±"));
    return keys;
}

} // namespace

CalculatorModel::CalculatorModel(QObject* parent)
    : QObject(parent)
{
}

void CalculatorModel::input(const QString& key)
{
    m_calc.input(key);
    Q_EMIT changed();
}

void CalculatorModel::setFlash(const std::optional<QString>& text)
{
    if (m_flash == text)
        return;
    m_flash = text;
    Q_EMIT flashChanged();
}

QString CalculatorModel::copy()
{
    const QString text = m_calc.display;
    setFlash(QStringLiteral("Copied ") + text);
    // The first deadline clears whatever flash shows by then.
    QTimer::singleShot(kFlashMs, this, [this] { setFlash(std::nullopt); });
    return text;
}

bool CalculatorModel::paste(const QString& text)
{
    const std::optional<QStringList> keys = pasteKeys(text);
    if (!keys)
        return false;
    m_calc.inputSequence(*keys);
    Q_EMIT changed();
    return true;
}

std::optional<QStringList> CalculatorModel::pasteKeys(const QString& text)
{
    QString s = text;
    s.remove(QLatin1Char(','));
    s = s.trimmed();

    static const QRegularExpression number(
        QStringLiteral("^([+-]?)([0-9]*)(?:\\.([0-9]*))?(?:[eE]([+-]?[0-9]+))?$"));
    const QRegularExpressionMatch m = number.match(s);
    if (!m.hasMatch())
        return std::nullopt;
    // A number no double can hold (1e-400, 1e400) is unreadable, like text.
    bool inRange = false;
    s.toDouble(&inRange);
    if (!inRange)
        return std::nullopt;
    const bool negative = m.captured(1) == QLatin1String("-");
    const QString whole = m.captured(2);
    const QString fraction = m.captured(3);
    if (whole.isEmpty() && fraction.isEmpty())
        return std::nullopt;

    const QString exponent = m.captured(4);
    if (exponent.isEmpty())
        return typedKeys(s, negative);

    QString digits = whole + fraction;
    // Position of the decimal point within `digits`, moved by the exponent.
    qint64 point = whole.size();

    int lead = 0;
    while (lead < digits.size() && digits.at(lead) == QLatin1Char('0'))
        ++lead;
    if (lead == digits.size())
        return QStringList{QStringLiteral("C"), QStringLiteral("0")};
    digits.remove(0, lead);
    point -= lead;
    int trail = digits.size();
    while (trail > 0 && digits.at(trail - 1) == QLatin1Char('0'))
        --trail;
    digits.truncate(trail);

    QString e = exponent;
    const bool negExp = e.startsWith(QLatin1Char('-'));
    if (e.startsWith(QLatin1Char('+')) || negExp)
        e.remove(0, 1);
    while (e.size() > 1 && e.startsWith(QLatin1Char('0')))
        e.remove(0, 1);
    // An exponent this long puts every digit far beyond the 16 keys:
    // nothing but zeros after the point, or a whole part too long.
    if (e.size() > 12)
        e = QStringLiteral("1000000000000");
    const qint64 shift = e.toLongLong();
    point += negExp ? -shift : shift;

    // The number written out as the keys would type it: the first 16
    // digits. An exponent reaching past the keys would enter a number off
    // by powers of ten with no digit to show it, so it is refused like any
    // other unreadable paste.
    const qint64 max = StandardCalculator::kMaxDigits;
    if (point > max)
        return std::nullopt;
    const qint64 n = digits.size();
    QString plain;
    if (point <= 0) {
        const qint64 zeros = std::min(-point, max - 1);
        plain = QStringLiteral("0.") + QString(int(zeros), QLatin1Char('0')) + digits.left(int(max - 1 - zeros));
    } else if (point >= n) {
        plain = digits + QString(int(point - n), QLatin1Char('0'));
    } else {
        plain = digits.left(int(point)) + QLatin1Char('.') + digits.mid(int(point), int(max - point));
    }
    if (plain.endsWith(QLatin1Char('.')))
        plain.chop(1);

    QStringList keys{QStringLiteral("C")};
    for (QChar c : std::as_const(plain))
        keys.append(QString(c));
    if (negative)
        keys.append(QStringLiteral("±"));
    return keys;
}
