// Self-test suites of the unit converter: the unit catalogue and conversion,
// the zone logic and the converter's saved state.
#include "core/Store.h"
#include "calc/ConverterModel.h"
#include "calc/TimeZones.h"
#include "calc/UnitCategory.h"
#include "calc/UnitConverter.h"
#include "selftest/SelfTest.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cmath>

namespace {

QString name(UnitCategory c, QStringView from, QStringView to)
{
    return c.rawValue() + QLatin1Char(' ') + from.toString() + QStringLiteral(" -> ") + to.toString();
}

SelfTest::Suite catalogueSuite("Unit catalogue", [](SelfTest::Check& c) {
    int total = 0;
    for (UnitCategory cat : UnitCategory::allCases()) {
        total += int(cat.units().size());
        for (const UnitDef& u : cat.units())
            c.that(cat.unit(u.id) == std::optional<UnitDef>(u), QStringLiteral("lookup finds ") + u.id.toString());
    }
    c.equal(qint64(UnitCategory::allCases().size()), 8, QStringLiteral("eight categories"));
    c.equal(qint64(total), 79, QStringLiteral("79 units"));
    c.equal(UnitCategory(UnitCategory::data).title(), QStringLiteral("Data Size"), QStringLiteral("data title"));
    c.equal(UnitCategory(UnitCategory::length).units().front().symbol.toString(), QStringLiteral("\u00B5m"),
            QStringLiteral("micro sign in the micrometre"));
    c.equal(UnitCategory(UnitCategory::area).unit(u"km2")->symbol.toString(), QStringLiteral("km\u00B2"),
            QStringLiteral("superscript two"));
    c.that(!UnitCategory(UnitCategory::area).unit(u"m"), QStringLiteral("ids are looked up per category"));
    c.that(!UnitCategory(UnitCategory::data).unit(u"mb"), QStringLiteral("ids are case-sensitive"));
    c.that(!UnitCategory::fromRawValue(u"Length"), QStringLiteral("raw values are exact"));
});

SelfTest::Suite conversionSuite("Unit conversion", [](SelfTest::Check& c) {
    struct Case {
        UnitCategory::Case category;
        double value;
        const char16_t* from;
        const char16_t* to;
        double expected;
    };
    static const Case cases[] = {
        {UnitCategory::length, 1, u"mi", u"km", 1.609344},
        {UnitCategory::length, 12, u"in", u"ft", 1},
        {UnitCategory::weight, 1, u"kg", u"lb", 2.2046226218487757},
        {UnitCategory::weight, 16, u"oz", u"lb", 1},
        {UnitCategory::volume, 1, u"gal", u"l", 3.785411784},
        {UnitCategory::volume, 1, u"cup", u"floz", 8},
        {UnitCategory::temperature, 100, u"c", u"f", 212},
        {UnitCategory::temperature, -40, u"c", u"f", -40},
        {UnitCategory::temperature, 491.67, u"r", u"f", 32},
        {UnitCategory::area, 1, u"ac", u"ft2", 43560},
        {UnitCategory::speed, 100, u"kph", u"mph", 62.13711922373339},
        {UnitCategory::speed, 1, u"kn", u"kph", 1.852},
        {UnitCategory::data, 1, u"GiB", u"MiB", 1024},
        {UnitCategory::data, 100, u"Mbit", u"MB", 12.5},
        {UnitCategory::time, 1, u"wk", u"min", 10080},
    };
    for (const Case& k : cases) {
        const std::optional<double> got = UnitConverter::convert(k.value, k.from, k.to, k.category);
        const double scale = std::max(1.0, std::abs(k.expected));
        c.near(got.value_or(NAN), k.expected, 1e-9 * scale, name(k.category, k.from, k.to));
    }
    c.that(!UnitConverter::convert(1, u"zz", u"m", UnitCategory::length), QStringLiteral("unknown unit gives nothing"));
    c.that(!UnitConverter::convert(1, u"m", u"kg", UnitCategory::length),
           QStringLiteral("unit of another category gives nothing"));
    bool identity = true;
    for (UnitCategory cat : UnitCategory::allCases()) {
        for (const UnitDef& u : cat.units()) {
            const double got = UnitConverter::convert(37.5, u.id, u.id, cat).value_or(NAN);
            identity = identity && std::abs(got - 37.5) <= 1e-12;
        }
    }
    c.that(identity, QStringLiteral("every unit converts to itself"));
});

SelfTest::Suite zonesSuite("Time zones", [](SelfTest::Check& c) {
    const QDateTime jan = QDateTime(QDate(2026, 1, 15), QTime(12, 0), Qt::UTC);
    const QDateTime jul = QDateTime(QDate(2026, 7, 15), QTime(12, 0), Qt::UTC);
    struct Label {
        const char* zone;
        const QDateTime* at;
        const char* expected;
    };
    const Label labels[] = {
        {"UTC", &jan, "UTC+0"},
        {"Asia/Kolkata", &jan, "UTC+5:30"},
        {"Asia/Kathmandu", &jan, "UTC+5:45"},
        {"Australia/Eucla", &jan, "UTC+8:45"},
        {"Pacific/Chatham", &jan, "UTC+13:45"},
        {"America/St_Johns", &jan, "UTC-3:30"},
        {"America/Sao_Paulo", &jan, "UTC-3"},
        {"America/Denver", &jul, "UTC-6"},
    };
    for (const Label& l : labels)
        c.equal(UnitConverter::offsetDescription(QTimeZone(QByteArray(l.zone)), *l.at),
                QString::fromLatin1(l.expected), QStringLiteral("offset of ") + QString::fromLatin1(l.zone));

    auto wall = [](int y, int mo, int d, int h, int mi, const char* from, const char* to) {
        const std::optional<DateComponents> r =
            UnitConverter::convertWallClock(y, mo, d, h, mi, QTimeZone(QByteArray(from)), QTimeZone(QByteArray(to)));
        if (!r)
            return QStringLiteral("none");
        return QStringLiteral("%1-%2-%3 %4:%5")
            .arg(r->year)
            .arg(r->month, 2, 10, QLatin1Char('0'))
            .arg(r->day, 2, 10, QLatin1Char('0'))
            .arg(r->hour, 2, 10, QLatin1Char('0'))
            .arg(r->minute, 2, 10, QLatin1Char('0'));
    };
    c.equal(wall(2026, 7, 1, 12, 0, "America/Denver", "America/New_York"), QStringLiteral("2026-07-01 14:00"),
            QStringLiteral("summer time on both sides"));
    c.equal(wall(2026, 1, 15, 9, 30, "America/Denver", "UTC"), QStringLiteral("2026-01-15 16:30"),
            QStringLiteral("winter time to UTC"));
    c.equal(wall(2026, 3, 1, 20, 0, "UTC", "Asia/Tokyo"), QStringLiteral("2026-03-02 05:00"),
            QStringLiteral("date rolls over"));
    c.equal(wall(2026, 3, 8, 2, 30, "America/Denver", "UTC"), QStringLiteral("2026-03-08 09:30"),
            QStringLiteral("skipped time moves forward"));
    c.equal(wall(2026, 11, 1, 1, 30, "America/Denver", "UTC"), QStringLiteral("2026-11-01 07:30"),
            QStringLiteral("repeated time is its first occurrence"));
    c.equal(wall(0, 1, 1, 0, 0, "UTC", "UTC"), QStringLiteral("none"), QStringLiteral("year 0 cannot be built"));

    const QStringList& zones = ConverterModel::zones();
    c.that(std::is_sorted(zones.begin(), zones.end()), QStringLiteral("zone list is sorted"));
    bool suggested = true;
    for (QStringView id : TimeZones::suggestions)
        suggested = suggested && TimeZones::isKnown(id.toString());
    c.that(suggested, QStringLiteral("every suggestion is a known zone"));
    c.equal(TimeZones::clockOffset(QStringLiteral("Nowhere/Atlantis"), jan), QString(),
            QStringLiteral("unknown zone has no offset label"));
    c.equal(ConverterModel::display(jan, QStringLiteral("Nowhere/Atlantis")),
            ConverterModel::display(jan, TimeZones::systemZoneId()), QStringLiteral("unknown zone reads local time"));
});

SelfTest::Suite stateSuite("Converter state", [](SelfTest::Check& c) {
    const QString file = Store::path(ConverterModel::kFileName);
    QFile::remove(file);
    QFile::remove(file + QStringLiteral(".bak"));
    {
        ConverterModel m;
        c.equal(m.result(m.to()), QStringLiteral("1.609344"), QStringLiteral("first start shows 1 mi in km"));
        c.that(!QFile::exists(file), QStringLiteral("creating the model writes nothing"));
        m.setCategory(UnitCategory::temperature);
        m.setInput(QStringLiteral("100"));
        c.equal(m.result(m.to()), QStringLiteral("37.77777778"), QStringLiteral("100 F in C at 10 digits"));
        m.setInput(QStringLiteral("1 000"));
        c.equal(m.result(m.to()), QStringLiteral("\u2014"), QStringLiteral("unreadable input shows a dash"));
        m.swapUnits();
        m.addClock(QStringLiteral("Asia/Kolkata"));
        m.addClock(QStringLiteral("Asia/Kolkata"));
    }
    {
        ConverterModel m;
        c.that(m.category() == UnitCategory(UnitCategory::temperature) && m.from() == QStringLiteral("c")
                   && m.to() == QStringLiteral("f"),
               QStringLiteral("choices come back"), QStringLiteral("temperature c f"),
               m.category().rawValue() + QLatin1Char(' ') + m.from() + QLatin1Char(' ') + m.to());
        c.equal(qint64(m.clocks().count(QStringLiteral("Asia/Kolkata"))), 1, QStringLiteral("a clock is added once"));
        c.equal(m.input(), QStringLiteral("1"), QStringLiteral("typed value is not saved"));
    }
    {
        QFile f(file);
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            f.write(QJsonDocument(QJsonObject{{"category", "weight"}, {"from", "lb"}, {"to", "kg"},
                                              {"tzFrom", "UTC"}, {"tzTo", "UTC"}})
                        .toJson());
        }
    }
    {
        ConverterModel m;
        c.that(m.category() == UnitCategory(UnitCategory::length), QStringLiteral("a file without clocks is ignored"));
    }
    QFile::remove(file);
    QFile::remove(file + QStringLiteral(".bak"));
});

} // namespace
