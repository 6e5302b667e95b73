#include "calc/UnitCategory.h"

namespace {

// Every factor is the size of one unit in the category's base unit: metre,
// kilogram, litre, square metre, metre per second, byte and second.
// Temperature converts through kelvin; its factors are unused.

constexpr std::array<UnitDef, 10> kLength{{
    {u"um", u"Micrometers", u"\u00B5m", 0.000001},
    {u"mm", u"Millimeters", u"mm", 0.001},
    {u"cm", u"Centimeters", u"cm", 0.01},
    {u"m", u"Meters", u"m", 1},
    {u"km", u"Kilometers", u"km", 1000},
    {u"in", u"Inches", u"in", 0.0254},
    {u"ft", u"Feet", u"ft", 0.3048},
    {u"yd", u"Yards", u"yd", 0.9144},
    {u"mi", u"Miles", u"mi", 1609.344},
    {u"nmi", u"Nautical miles", u"nmi", 1852},
}};

constexpr std::array<UnitDef, 10> kWeight{{
    {u"mg", u"Milligrams", u"mg", 0.000001},
    {u"g", u"Grams", u"g", 0.001},
    {u"kg", u"Kilograms", u"kg", 1},
    {u"t", u"Metric tonnes", u"t", 1000},
    {u"ct", u"Carats", u"ct", 0.0002},
    {u"oz", u"Ounces", u"oz", 0.028349523125},
    {u"lb", u"Pounds", u"lb", 0.45359237},
    {u"st", u"Stone", u"st", 6.35029318},
    {u"ton", u"US tons (short)", u"ton", 907.18474},
    {u"lton", u"UK tons (long)", u"LT", 1016.0469088},
}};

constexpr std::array<UnitDef, 15> kVolume{{
    {u"ml", u"Milliliters", u"mL", 0.001},
    {u"l", u"Liters", u"L", 1},
    {u"m3", u"Cubic meters", u"m\u00B3", 1000},
    {u"cm3", u"Cubic centimeters", u"cm\u00B3", 0.001},
    {u"in3", u"Cubic inches", u"in\u00B3", 0.016387064},
    {u"ft3", u"Cubic feet", u"ft\u00B3", 28.316846592},
    {u"tsp", u"Teaspoons (US)", u"tsp", 0.00492892159375},
    {u"tbsp", u"Tablespoons (US)", u"tbsp", 0.01478676478125},
    {u"floz", u"Fluid ounces (US)", u"fl oz", 0.0295735295625},
    {u"cup", u"Cups (US)", u"cup", 0.2365882365},
    {u"pt", u"Pints (US)", u"pt", 0.473176473},
    {u"qt", u"Quarts (US)", u"qt", 0.946352946},
    {u"gal", u"Gallons (US)", u"gal", 3.785411784},
    {u"impt", u"Pints (UK)", u"UK pt", 0.56826125},
    {u"impgal", u"Gallons (UK)", u"UK gal", 4.54609},
}};

constexpr std::array<UnitDef, 4> kTemperature{{
    {u"c", u"Celsius", u"\u00B0C", 1},
    {u"f", u"Fahrenheit", u"\u00B0F", 1},
    {u"k", u"Kelvin", u"K", 1},
    {u"r", u"Rankine", u"\u00B0R", 1},
}};

constexpr std::array<UnitDef, 10> kArea{{
    {u"mm2", u"Square millimeters", u"mm\u00B2", 0.000001},
    {u"cm2", u"Square centimeters", u"cm\u00B2", 0.0001},
    {u"m2", u"Square meters", u"m\u00B2", 1},
    {u"ha", u"Hectares", u"ha", 10000},
    {u"km2", u"Square kilometers", u"km\u00B2", 1000000},
    {u"in2", u"Square inches", u"in\u00B2", 0.00064516},
    {u"ft2", u"Square feet", u"ft\u00B2", 0.09290304},
    {u"yd2", u"Square yards", u"yd\u00B2", 0.83612736},
    {u"ac", u"Acres", u"ac", 4046.8564224},
    {u"mi2", u"Square miles", u"mi\u00B2", 2589988.110336},
}};

constexpr std::array<UnitDef, 6> kSpeed{{
    {u"mps", u"Meters per second", u"m/s", 1},
    {u"kph", u"Kilometers per hour", u"km/h", 1000.0 / 3600.0},
    {u"mph", u"Miles per hour", u"mph", 0.44704},
    {u"fps", u"Feet per second", u"ft/s", 0.3048},
    {u"kn", u"Knots", u"kn", 1852.0 / 3600.0},
    {u"mach", u"Mach (sea level, 343 m/s)", u"Ma", 343},
}};

// The bit and the byte, the decimal multiples of the byte, the binary ones,
// and last the multiples of the bit.
constexpr std::array<UnitDef, 14> kData{{
    {u"bit", u"Bits", u"bit", 0.125},
    {u"B", u"Bytes", u"B", 1},
    {u"KB", u"Kilobytes", u"KB", 1000},
    {u"MB", u"Megabytes", u"MB", 1000000},
    {u"GB", u"Gigabytes", u"GB", 1000000000},
    {u"TB", u"Terabytes", u"TB", 1000000000000},
    {u"PB", u"Petabytes", u"PB", 1000000000000000},
    {u"KiB", u"Kibibytes", u"KiB", 1024},
    {u"MiB", u"Mebibytes", u"MiB", 1048576},
    {u"GiB", u"Gibibytes", u"GiB", 1073741824},
    {u"TiB", u"Tebibytes", u"TiB", 1099511627776},
    {u"kbit", u"Kilobits", u"kbit", 125},
    {u"Mbit", u"Megabits", u"Mbit", 125000},
    {u"Gbit", u"Gigabits", u"Gbit", 125000000},
}};

// A month is a twelfth of the 365.2425-day year.
constexpr std::array<UnitDef, 10> kTime{{
    {u"ns", u"Nanoseconds", u"ns", 0.000000001},
    {u"us", u"Microseconds", u"\u00B5s", 0.000001},
    {u"ms", u"Milliseconds", u"ms", 0.001},
    {u"s", u"Seconds", u"s", 1},
    {u"min", u"Minutes", u"min", 60},
    {u"h", u"Hours", u"h", 3600},
    {u"d", u"Days", u"d", 86400},
    {u"wk", u"Weeks", u"wk", 604800},
    {u"mo", u"Months (average)", u"mo", 2629746},
    {u"yr", u"Years (365.2425 d)", u"yr", 31556952},
}};

static_assert(kLength.size() + kWeight.size() + kVolume.size() + kTemperature.size() + kArea.size()
                  + kSpeed.size() + kData.size() + kTime.size()
              == 79);
static_assert(kSpeed[1].factor == 0.2777777777777778 && kSpeed[4].factor == 0.5144444444444445);

struct CategoryInfo {
    QStringView raw;
    QStringView title;
    std::span<const UnitDef> units;
};

constexpr std::array<CategoryInfo, 8> kCategories{{
    {u"length", u"Length", kLength},
    {u"weight", u"Weight", kWeight},
    {u"volume", u"Volume", kVolume},
    {u"temperature", u"Temperature", kTemperature},
    {u"area", u"Area", kArea},
    {u"speed", u"Speed", kSpeed},
    {u"data", u"Data Size", kData},
    {u"time", u"Time", kTime},
}};

} // namespace

std::optional<UnitCategory> UnitCategory::fromRawValue(QStringView raw)
{
    for (UnitCategory c : allCases()) {
        if (kCategories[c.value()].raw == raw)
            return c;
    }
    return std::nullopt;
}

QString UnitCategory::rawValue() const
{
    return kCategories[m_case].raw.toString();
}

QString UnitCategory::title() const
{
    return kCategories[m_case].title.toString();
}

std::span<const UnitDef> UnitCategory::units() const
{
    return kCategories[m_case].units;
}

std::optional<UnitDef> UnitCategory::unit(QStringView id) const
{
    for (const UnitDef& u : units()) {
        if (u.id == id)
            return u;
    }
    return std::nullopt;
}

QJsonValue UnitCategory::toJson() const
{
    return rawValue();
}

std::optional<UnitCategory> UnitCategory::fromJson(const QJsonValue& value)
{
    if (!value.isString())
        return std::nullopt;
    return fromRawValue(value.toString());
}
