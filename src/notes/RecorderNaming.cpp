#include "notes/RecorderNaming.h"

#include <QLocale>
#include <cmath>
#include <unicode/udat.h>

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

namespace {

// `when` (a wall-clock time) in one of the locale's date or time styles, as
// the desktop's other programs show it; nothing when the locale has none.
QString styled(const QDateTime& when, const QLocale& locale, UDateFormatStyle timeStyle, UDateFormatStyle dateStyle)
{
    const QByteArray name = locale.name().toLatin1();
    UErrorCode status = U_ZERO_ERROR;
    // The wall clock is formatted as given: no zone moves it.
    static const UChar utc[] = {u'U', u'T', u'C', 0};
    UDateFormat* format = udat_open(timeStyle, dateStyle, name.constData(), utc, -1, nullptr, -1, &status);
    if (U_FAILURE(status) || !format)
        return QString();
    const QDateTime wall(when.date(), when.time(), Qt::UTC);
    UChar buffer[128];
    const int32_t length = udat_format(format, UDate(wall.toMSecsSinceEpoch()), buffer, 128, nullptr, &status);
    udat_close(format);
    if (U_FAILURE(status) || length <= 0 || length > 128)
        return QString();
    return QString(reinterpret_cast<const QChar*>(buffer), length);
}

} // namespace

QString mediumDate(const QDate& date, const QLocale& locale)
{
    const QString text = styled(QDateTime(date, QTime(12, 0)), locale, UDAT_NONE, UDAT_MEDIUM);
    return text.isEmpty() ? locale.toString(date, QLocale::ShortFormat) : text;
}

QString shortTime(const QTime& time, const QLocale& locale)
{
    const QString text = styled(QDateTime(QDate(2000, 1, 1), time), locale, UDAT_SHORT, UDAT_NONE);
    return text.isEmpty() ? locale.toString(time, QStringLiteral("HH:mm")) : text;
}

QString title(const QDateTime& when)
{
    const QLocale locale;
    const QDateTime local = when.toLocalTime();
    return QStringLiteral("Voice Note — ") + mediumDate(local.date(), locale) + QStringLiteral(" at ")
        + shortTime(local.time(), locale);
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
