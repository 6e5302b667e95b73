#include "calc/ConverterModel.h"

#include "core/Json.h"
#include "core/Store.h"
#include "calc/NumberFormat.h"
#include "calc/TimeZones.h"
#include "calc/UnitConverter.h"

#include <QJsonArray>
#include <QJsonObject>
#include <charconv>
#include <clocale>
#include <cstdlib>
#include <locale.h>

namespace {

struct UnitPair {
    QStringView from;
    QStringView to;
};

// The pair a category starts with, indexed by UnitCategory::Case.
constexpr UnitPair kDefaultPairs[] = {
    {u"mi", u"km"}, {u"lb", u"kg"}, {u"gal", u"l"},  {u"f", u"c"},
    {u"ac", u"ha"}, {u"mph", u"kph"}, {u"GB", u"GiB"}, {u"h", u"min"},
};
static_assert(std::size(kDefaultPairs) == UnitCategory::allCases().size());

const QString kDash = QStringLiteral("\u2014");

// strtod in the C locale, whatever the process locale is.
double strtodC(const char* text)
{
    static const locale_t c = newlocale(LC_ALL_MASK, "C", nullptr);
    return c ? strtod_l(text, nullptr, c) : std::strtod(text, nullptr);
}

} // namespace

QJsonValue ConverterModel::Saved::toJson() const
{
    return QJsonObject{
        {QStringLiteral("category"), category.toJson()},
        {QStringLiteral("from"), from},
        {QStringLiteral("to"), to},
        {QStringLiteral("tzFrom"), tzFrom},
        {QStringLiteral("tzTo"), tzTo},
        {QStringLiteral("clocks"), QJsonArray::fromStringList(clocks)},
    };
}

std::optional<ConverterModel::Saved> ConverterModel::Saved::fromJson(const QJsonValue& value)
{
    if (!value.isObject())
        return std::nullopt;
    Json::Reader r(value);
    Saved s;
    const QString raw = r.string(QStringLiteral("category"));
    s.from = r.string(QStringLiteral("from"));
    s.to = r.string(QStringLiteral("to"));
    s.tzFrom = r.string(QStringLiteral("tzFrom"));
    s.tzTo = r.string(QStringLiteral("tzTo"));
    s.clocks = r.strings(QStringLiteral("clocks"), kMaxClocks);
    if (!r.ok())
        return std::nullopt;
    const std::optional<UnitCategory> category = UnitCategory::fromRawValue(raw);
    if (!category)
        return std::nullopt;
    s.category = *category;
    return s;
}

ConverterModel::ConverterModel(QObject* parent)
    : QObject(parent)
    , m_tzFrom(TimeZones::systemZoneId())
    , m_tzDate(QDateTime::currentDateTime())
    , m_clocks(TimeZones::defaultClocks())
{
    m_loading = true;
    if (const std::optional<Saved> saved = Store::load<Saved>(kFileName))
        apply(*saved);
    m_loading = false;
}

void ConverterModel::apply(const Saved& saved)
{
    // The category first (it may reset the pair), then the stored ids win.
    setCategory(saved.category);
    setFrom(saved.from);
    setTo(saved.to);
    setTzFrom(saved.tzFrom);
    setTzTo(saved.tzTo);
    setClocks(saved.clocks);
}

void ConverterModel::setCategory(UnitCategory category)
{
    const UnitCategory old = m_category;
    m_category = category;
    Q_EMIT categoryChanged();
    if (category != old)
        resetUnits();
    save();
}

void ConverterModel::setInput(const QString& input)
{
    m_input = input;
    Q_EMIT inputChanged();
}

void ConverterModel::setFrom(const QString& id)
{
    m_from = id;
    Q_EMIT fromChanged();
    save();
}

void ConverterModel::setTo(const QString& id)
{
    m_to = id;
    Q_EMIT toChanged();
    save();
}

void ConverterModel::setTzFrom(const QString& id)
{
    m_tzFrom = id;
    Q_EMIT tzFromChanged();
    save();
}

void ConverterModel::setTzTo(const QString& id)
{
    m_tzTo = id;
    Q_EMIT tzToChanged();
    save();
}

void ConverterModel::setTzDate(const QDateTime& date)
{
    m_tzDate = date;
    Q_EMIT tzDateChanged();
}

void ConverterModel::setClocks(const QStringList& clocks)
{
    m_clocks = clocks;
    Q_EMIT clocksChanged();
    save();
}

void ConverterModel::resetUnits()
{
    const UnitPair& pair = kDefaultPairs[m_category.value()];
    setFrom(pair.from.toString());
    setTo(pair.to.toString());
}

void ConverterModel::swapUnits()
{
    const QString old = m_from;
    setFrom(m_to);
    setTo(old);
}

void ConverterModel::swapZones()
{
    const QString old = m_tzFrom;
    setTzFrom(m_tzTo);
    setTzTo(old);
}

void ConverterModel::setNow()
{
    setTzDate(QDateTime::currentDateTime());
}

void ConverterModel::addClock(const QString& id)
{
    if (m_clocks.contains(id))
        return;
    QStringList next = m_clocks;
    next.append(id);
    setClocks(next);
}

void ConverterModel::removeClock(const QString& id)
{
    QStringList next = m_clocks;
    next.removeAll(id);
    setClocks(next);
}

void ConverterModel::save()
{
    if (m_loading)
        return;
    Store::save(Saved{m_category, m_from, m_to, m_tzFrom, m_tzTo, m_clocks}, kFileName);
}

std::optional<double> ConverterModel::parseInput(const QString& text)
{
    QString t = text;
    t.remove(QLatin1Char(','));
    qsizetype begin = 0;
    qsizetype end = t.size();
    auto blank = [&t](qsizetype i) { return t.at(i) == QLatin1Char(' ') || t.at(i) == QLatin1Char('\t'); };
    while (begin < end && blank(begin))
        ++begin;
    while (end > begin && blank(end - 1))
        --end;
    t = t.mid(begin, end - begin);
    // Only plain ASCII text can be a number.
    for (QChar ch : std::as_const(t)) {
        if (ch.unicode() < 0x21 || ch.unicode() > 0x7e)
            return std::nullopt;
    }
    QByteArray bytes = t.toLatin1();
    const char* first = bytes.constData();
    const char* last = first + bytes.size();
    // from_chars takes no "+", and a sign after it would be a second sign.
    if (first != last && *first == '+') {
        ++first;
        if (first != last && (*first == '+' || *first == '-'))
            return std::nullopt;
    }
    if (first == last)
        return std::nullopt;
    double value = 0;
    const std::from_chars_result r = std::from_chars(first, last, value, std::chars_format::general);
    if (r.ptr != last)
        return std::nullopt;
    if (r.ec == std::errc::result_out_of_range)
        return strtodC(bytes.constData()); // overflows to infinity, underflows to zero
    if (r.ec != std::errc())
        return std::nullopt;
    return value;
}

QString ConverterModel::result(const QString& unitId) const
{
    const std::optional<double> value = parseInput(m_input);
    if (!value)
        return kDash;
    const std::optional<double> converted = UnitConverter::convert(*value, m_from, unitId, m_category);
    if (!converted)
        return kDash;
    return NumberFormat::display(*converted, 10);
}

QString ConverterModel::symbol(const QString& unitId) const
{
    const std::optional<UnitDef> u = m_category.unit(unitId);
    return u ? u->symbol.toString() : QString();
}

QString ConverterModel::everyUnitTitle() const
{
    return m_input + QLatin1Char(' ') + symbol(m_from) + QStringLiteral(" in every ") + m_category.title().toLower()
        + QStringLiteral(" unit");
}

const QStringList& ConverterModel::zones()
{
    return TimeZones::known();
}

QString ConverterModel::display(const QDateTime& date, const QString& id)
{
    return TimeZones::display(date, id);
}

std::optional<QStringList> ConverterModel::zoneConversion() const
{
    return TimeZones::convertEntered(m_tzDate, m_tzFrom, m_tzTo);
}
