#include "calc/TimeZones.h"

#include "calc/UnitConverter.h"

#include <QLocale>
#include <algorithm>

namespace {

// Unicode patterns "EEE, MMM d, yyyy  h:mm a" and "EEE, MMM d  h:mm a" in
// Qt's notation; "Ap" is the locale's own day-period text, unchanged.
const QString kFullPattern = QStringLiteral("ddd, MMM d, yyyy  h:mm Ap");
const QString kShortPattern = QStringLiteral("ddd, MMM d  h:mm Ap");

qint64 floorDiv(qint64 a, qint64 b)
{
    qint64 q = a / b;
    if (a % b != 0 && ((a < 0) != (b < 0)))
        --q;
    return q;
}

QString format(const QDateTime& instant, const QTimeZone& zone, const QString& pattern)
{
    return QLocale::system().toString(instant.toTimeZone(zone), pattern);
}

} // namespace

namespace TimeZones {

QStringList defaultClocks()
{
    return {QStringLiteral("America/Denver"), QStringLiteral("America/New_York"), QStringLiteral("Europe/London"),
            QStringLiteral("Asia/Tokyo")};
}

const QStringList& known()
{
    // A function-local static is initialised once, safely across threads.
    static const QStringList list = [] {
        QStringList ids;
        const QList<QByteArray> available = QTimeZone::availableTimeZoneIds();
        ids.reserve(available.size() + 1);
        for (const QByteArray& id : available) {
            // Qt adds fixed offsets ("UTC+05:30") of its own to the system's
            // zones; they are not zone identifiers.
            if (id.size() > 3 && id.startsWith("UTC") && (id.at(3) == '+' || id.at(3) == '-'))
                continue;
            ids.append(QString::fromUtf8(id));
        }
        // The system's own zone may be an alias the list leaves out
        // ("Etc/UTC"); it is known all the same.
        const QByteArray own = QTimeZone::systemTimeZoneId();
        if (!own.isEmpty() && QTimeZone(own).isValid())
            ids.append(QString::fromUtf8(own));
        std::sort(ids.begin(), ids.end());
        ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
        return ids;
    }();
    return list;
}

bool isKnown(const QString& id)
{
    const QStringList& ids = known();
    return std::binary_search(ids.begin(), ids.end(), id);
}

std::optional<QTimeZone> zone(const QString& id)
{
    if (!isKnown(id))
        return std::nullopt;
    QTimeZone z(id.toUtf8());
    if (!z.isValid())
        return std::nullopt;
    return z;
}

QTimeZone systemZone()
{
    QTimeZone z = QTimeZone::systemTimeZone();
    if (!z.isValid())
        z = QTimeZone(QByteArrayLiteral("UTC"));
    return z;
}

QString systemZoneId()
{
    const QByteArray id = QTimeZone::systemTimeZoneId();
    if (id.isEmpty() || !QTimeZone(id).isValid())
        return QStringLiteral("UTC");
    return QString::fromUtf8(id);
}

QString displayName(const QString& id)
{
    QString name = id;
    name.replace(QLatin1Char('_'), QLatin1Char(' '));
    return name;
}

std::optional<QDateTime> instant(const DateComponents& c, const QTimeZone& zone)
{
    if (!zone.isValid())
        return std::nullopt;
    // Carry out-of-range fields over, as a lenient calendar does.
    const qint64 months = qint64(c.year) * 12 + (qint64(c.month) - 1);
    const qint64 year = floorDiv(months, 12);
    if (year < 1 || year > 9999)
        return std::nullopt;
    const int month = int(months - year * 12) + 1;
    const qint64 minutes = qint64(c.hour) * 60 + c.minute;
    const qint64 dayShift = floorDiv(minutes, 1440);
    const qint64 days = qint64(c.day) - 1 + dayShift;
    // Keep the day count within what a four-digit year can reach.
    if (days < -4000000 || days > 4000000)
        return std::nullopt;
    const QDate date = QDate(int(year), month, 1).addDays(days);
    if (!date.isValid() || date.year() < 1 || date.year() > 9999)
        return std::nullopt;
    const QTime time = QTime(0, 0).addSecs(int((minutes - dayShift * 1440) * 60));

    // The reading taken as if it were UTC; each offset the zone has near it
    // that maps back to the same reading gives one occurrence.
    const QDateTime naive(date, time, Qt::UTC);
    const int offsets[3] = {zone.offsetFromUtc(naive.addSecs(-86400)), zone.offsetFromUtc(naive),
                            zone.offsetFromUtc(naive.addSecs(86400))};
    std::optional<QDateTime> first;
    for (int offset : offsets) {
        const QDateTime at = naive.addSecs(-offset);
        if (zone.offsetFromUtc(at) == offset && (!first || at < *first))
            first = at;
    }
    // No occurrence: the reading falls into a gap; read it with the offset
    // in force before the gap, which moves it forward by the gap's size.
    if (!first)
        first = naive.addSecs(-offsets[0]);
    const QDateTime result = first->toTimeZone(zone);
    if (!result.isValid())
        return std::nullopt;
    return result;
}

DateComponents components(const QDateTime& instant, const QTimeZone& zone)
{
    const QDateTime z = instant.toTimeZone(zone);
    return {z.date().year(), z.date().month(), z.date().day(), z.time().hour(), z.time().minute()};
}

QString display(const QDateTime& instant, const QString& id)
{
    return format(instant, zone(id).value_or(systemZone()), kFullPattern);
}

QString clockOffset(const QString& id, const QDateTime& at)
{
    const std::optional<QTimeZone> z = zone(id);
    return z ? UnitConverter::offsetDescription(*z, at) : QString();
}

std::optional<QStringList> convertEntered(const QDateTime& entered, const QString& fromId, const QString& toId)
{
    if (!entered.isValid())
        return std::nullopt;
    const std::optional<QTimeZone> from = zone(fromId);
    const std::optional<QTimeZone> to = zone(toId);
    if (!from || !to)
        return std::nullopt;
    const QTimeZone local = systemZone();
    // The reading on the computer's clock is the time the user typed; it
    // belongs to the source zone.
    const std::optional<QDateTime> source = instant(components(entered, local), *from);
    if (!source)
        return std::nullopt;
    // The converted time is printed in the target zone itself, so its
    // reading survives even where that reading does not exist on the
    // computer's own clock (a daylight-saving gap there). The offsets are
    // those in force at the moment converted, so each label agrees with the
    // times beside it.
    return QStringList{
        format(entered, local, kShortPattern) + QStringLiteral(" in ") + displayName(fromId) + QStringLiteral(" (")
            + UnitConverter::offsetDescription(*from, *source) + QLatin1Char(')'),
        QStringLiteral("= ") + format(*source, *to, kFullPattern),
        QStringLiteral("in ") + displayName(toId) + QStringLiteral(" (") + UnitConverter::offsetDescription(*to, *source)
            + QLatin1Char(')'),
    };
}

} // namespace TimeZones
