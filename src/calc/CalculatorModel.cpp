#include "calc/CalculatorModel.h"

#include <QRegularExpression>
#include <QTimer>

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

    const QString exponent = m.captured(4);
    if (!exponent.isEmpty()) {
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
    }

    // As typed: the keys take the first 16 digits and ignore the rest, the
    // whole part's as well. A number beyond what the calculator can hold at
    // all is refused like any other unreadable paste.
    const qint64 max = StandardCalculator::kMaxDigits;
    bool readable = false;
    s.toDouble(&readable);
    if (!readable)
        return std::nullopt;
    if (point > max) {
        // Only written digits are cut; an exponent reaching past the keys
        // would enter a number off by powers of ten with no digit to show it.
        if (!exponent.isEmpty())
            return std::nullopt;
        digits = (digits + QString(int(qMax<qint64>(0, max - digits.size())), QLatin1Char('0'))).left(int(max));
        point = max;
    }
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
