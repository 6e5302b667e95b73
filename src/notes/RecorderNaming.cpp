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
    QString name = title;
    name.replace(QLatin1Char('/'), QLatin1Char('-'));
    name.replace(QLatin1Char(':'), QLatin1Char('-'));
    return name + QStringLiteral(".m4a");
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
