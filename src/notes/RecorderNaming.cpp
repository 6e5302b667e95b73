#include "notes/RecorderNaming.h"

#include <QLocale>
#include <QRegularExpression>
#include <cmath>

namespace RecorderNaming {

QString fileName(const QDateTime& start, const std::function<bool(const QString&)>& taken)
{
    const QString stem = QStringLiteral("Voice Note ")
        + start.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HHmmss"));
    const QString ext = QStringLiteral(".m4a");
    QString name = stem + ext;
    for (int n = 2; taken && taken(name); ++n)
        name = stem + QLatin1Char(' ') + QString::number(n) + ext;
    return name;
}

QString mediumDate(const QDate& date, const QLocale& locale)
{
    // The locale's long date without the weekday and with the month
    // abbreviated: "Mar 14, 2026" in English.
    QString pattern = locale.dateFormat(QLocale::LongFormat);
    pattern.remove(QRegularExpression(QStringLiteral("d{4}[,.]?\\s*")));
    pattern.replace(QStringLiteral("MMMM"), QStringLiteral("MMM"));
    return locale.toString(date, pattern.trimmed());
}

QString title(const QDateTime& when)
{
    const QLocale locale;
    const QDateTime local = when.toLocalTime();
    return QStringLiteral("Voice Note — ") + mediumDate(local.date(), locale) + QStringLiteral(" at ")
        + locale.toString(local.time(), QLocale::ShortFormat);
}

QString exportName(const QString& title)
{
    // Only characters a file name can carry on every disk the file may be
    // copied to, and none a file dialog reads as quoting or a pattern.
    QString name;
    name.reserve(title.size());
    for (const QChar c : title) {
        if (c == QLatin1Char('"'))
            name += QLatin1Char('\'');
        else if (c == QLatin1Char('/') || c == QLatin1Char(':') || c == QLatin1Char('\\') || c == QLatin1Char('*')
                 || c == QLatin1Char('?') || c == QLatin1Char('<') || c == QLatin1Char('>') || c == QLatin1Char('|'))
            name += QLatin1Char('-');
        else if (c.category() == QChar::Other_Control || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            name += QLatin1Char(' ');
        else
            name += c;
    }
    // No hidden file, no name of dots or spaces only.
    name = name.trimmed();
    while (name.startsWith(QLatin1Char('.')))
        name.remove(0, 1);
    name = name.trimmed();
    if (name.isEmpty())
        name = QStringLiteral("Voice Note");
    // File names are held to 255 bytes; the extension needs four.
    while (name.toUtf8().size() > 251)
        name.chop(name.size() >= 2 && name.at(name.size() - 1).isLowSurrogate() ? 2 : 1);
    return name.trimmed() + QStringLiteral(".m4a");
}

QString time(double seconds)
{
    if (!std::isfinite(seconds) || seconds < 0)
        seconds = 0;
    // Beyond a billion seconds a clock means nothing; keep the integer sane.
    const qint64 t = qint64(std::min(seconds, 1e12));
    return QStringLiteral("%1:%2").arg(t / 60).arg(t % 60, 2, 10, QLatin1Char('0'));
}

} // namespace RecorderNaming
