#include "calc/UnitConverter.h"

#include "calc/TimeZones.h"

namespace {

std::optional<double> toKelvin(double v, QStringView id)
{
    if (id == u"c")
        return v + 273.15;
    if (id == u"f")
        return ((v - 32) * 5) / 9 + 273.15;
    if (id == u"k")
        return v;
    if (id == u"r")
        return (v * 5) / 9;
    return std::nullopt;
}

std::optional<double> fromKelvin(double k, QStringView id)
{
    if (id == u"c")
        return k - 273.15;
    if (id == u"f")
        return ((k - 273.15) * 9) / 5 + 32;
    if (id == u"k")
        return k;
    if (id == u"r")
        return (k * 9) / 5;
    return std::nullopt;
}

} // namespace

namespace UnitConverter {

std::optional<double> convert(double value, QStringView from, QStringView to, UnitCategory category)
{
    const std::optional<UnitDef> a = category.unit(from);
    if (!a)
        return std::nullopt;
    const std::optional<UnitDef> b = category.unit(to);
    if (!b)
        return std::nullopt;
    if (category != UnitCategory::temperature)
        return (a->factor * value) / b->factor;
    const std::optional<double> kelvin = toKelvin(value, a->id);
    if (!kelvin)
        return std::nullopt;
    return fromKelvin(*kelvin, b->id);
}

QString offsetDescription(const QTimeZone& zone, const QDateTime& date)
{
    int s = zone.offsetFromUtc(date);
    QChar sign = QLatin1Char('+');
    if (s < 0) {
        sign = QLatin1Char('-');
        s = -s;
    }
    const int h = s / 3600;
    const int r = s - h * 3600;
    if (r >= 60)
        return QStringLiteral("UTC%1%2:%3").arg(sign).arg(h).arg(r / 60, 2, 10, QLatin1Char('0'));
    return QStringLiteral("UTC%1%2").arg(sign).arg(h);
}

std::optional<DateComponents> convertWallClock(int year, int month, int day, int hour, int minute,
                                               const QTimeZone& from, const QTimeZone& to)
{
    if (!to.isValid())
        return std::nullopt;
    const std::optional<QDateTime> at = TimeZones::instant({year, month, day, hour, minute}, from);
    if (!at)
        return std::nullopt;
    return TimeZones::components(*at, to);
}

} // namespace UnitConverter
