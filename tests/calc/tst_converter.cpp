#include "TestEnvironment.h"
#include "app/Store.h"
#include "calc/ConverterModel.h"
#include "calc/TimeZones.h"
#include "calc/UnitCategory.h"
#include "calc/UnitConverter.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QSignalSpy>
#include <QTest>
#include <cmath>
#include <limits>

namespace {

const QString kDash = QStringLiteral("\u2014");

QString filePath()
{
    return Store::path(ConverterModel::kFileName);
}

QByteArray fileBytes()
{
    QFile f(filePath());
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QJsonObject fileObject()
{
    return QJsonDocument::fromJson(fileBytes()).object();
}

void writeFile(const QByteArray& data)
{
    QFile f(filePath());
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(data);
}

QJsonObject validRecord()
{
    return QJsonObject{
        {QStringLiteral("category"), QStringLiteral("weight")},
        {QStringLiteral("from"), QStringLiteral("oz")},
        {QStringLiteral("to"), QStringLiteral("g")},
        {QStringLiteral("tzFrom"), QStringLiteral("Asia/Kolkata")},
        {QStringLiteral("tzTo"), QStringLiteral("Europe/Paris")},
        {QStringLiteral("clocks"), QJsonArray{QStringLiteral("UTC"), QStringLiteral("Asia/Dubai")}},
    };
}

void expectDefaults(const ConverterModel& m)
{
    QCOMPARE(m.category(), UnitCategory(UnitCategory::length));
    QCOMPARE(m.input(), QStringLiteral("1"));
    QCOMPARE(m.from(), QStringLiteral("mi"));
    QCOMPARE(m.to(), QStringLiteral("km"));
    QCOMPARE(m.tzFrom(), TimeZones::systemZoneId());
    QCOMPARE(m.tzTo(), QStringLiteral("UTC"));
    QCOMPARE(m.clocks(), TimeZones::defaultClocks());
}

} // namespace

class ConverterTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { TestEnvironment::clearDataFolder(); }

    // --- catalogue -------------------------------------------------------

    void catalogueShape()
    {
        const auto all = UnitCategory::allCases();
        QStringList raws;
        QStringList titles;
        int total = 0;
        for (UnitCategory c : all) {
            raws << c.rawValue();
            titles << c.title();
            total += int(c.units().size());
            QSet<QString> ids;
            for (const UnitDef& u : c.units()) {
                QVERIFY2(!ids.contains(u.id.toString()), qPrintable(c.rawValue() + QLatin1Char('/') + u.id.toString()));
                ids.insert(u.id.toString());
                QVERIFY(u.factor > 0);
                QCOMPARE(c.unit(u.id), std::optional<UnitDef>(u));
            }
        }
        QCOMPARE(raws, (QStringList{"length", "weight", "volume", "temperature", "area", "speed", "data", "time"}));
        QCOMPARE(titles, (QStringList{"Length", "Weight", "Volume", "Temperature", "Area", "Speed", "Data Size", "Time"}));
        QCOMPARE(total, 79);
        QCOMPARE(UnitCategory(UnitCategory::volume).units().size(), size_t(15));
        QCOMPARE(UnitCategory(UnitCategory::temperature).units().size(), size_t(4));
        QCOMPARE(UnitCategory(UnitCategory::speed).units().size(), size_t(6));
        QCOMPARE(UnitCategory(UnitCategory::data).units().size(), size_t(14));
    }

    void displayOrder()
    {
        const auto length = UnitCategory(UnitCategory::length).units();
        QCOMPARE(length.front().id.toString(), QStringLiteral("um"));
        QCOMPARE(length.back().id.toString(), QStringLiteral("nmi"));
        QStringList data;
        for (const UnitDef& u : UnitCategory(UnitCategory::data).units())
            data << u.id.toString();
        QCOMPARE(data, (QStringList{"bit", "B", "KB", "MB", "GB", "TB", "PB", "KiB", "MiB", "GiB", "TiB", "kbit",
                                    "Mbit", "Gbit"}));
    }

    void symbolsUseExactCharacters_data()
    {
        QTest::addColumn<int>("category");
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("symbol");
        QTest::addColumn<QString>("name");
        // U+00B5 MICRO SIGN, not the Greek mu; superscript digits; degree sign.
        QTest::newRow("micrometre") << int(UnitCategory::length) << "um" << QStringLiteral("\u00B5m") << "Micrometers";
        QTest::newRow("microsecond") << int(UnitCategory::time) << "us" << QStringLiteral("\u00B5s") << "Microseconds";
        QTest::newRow("cubic metre") << int(UnitCategory::volume) << "m3" << QStringLiteral("m\u00B3") << "Cubic meters";
        QTest::newRow("cubic foot") << int(UnitCategory::volume) << "ft3" << QStringLiteral("ft\u00B3") << "Cubic feet";
        QTest::newRow("square mile") << int(UnitCategory::area) << "mi2" << QStringLiteral("mi\u00B2") << "Square miles";
        QTest::newRow("celsius") << int(UnitCategory::temperature) << "c" << QStringLiteral("\u00B0C") << "Celsius";
        QTest::newRow("rankine") << int(UnitCategory::temperature) << "r" << QStringLiteral("\u00B0R") << "Rankine";
        QTest::newRow("kelvin") << int(UnitCategory::temperature) << "k" << QStringLiteral("K") << "Kelvin";
        QTest::newRow("long ton") << int(UnitCategory::weight) << "lton" << QStringLiteral("LT") << "UK tons (long)";
        QTest::newRow("fluid ounce") << int(UnitCategory::volume) << "floz" << QStringLiteral("fl oz") << "Fluid ounces (US)";
        QTest::newRow("imperial gallon") << int(UnitCategory::volume) << "impgal" << QStringLiteral("UK gal") << "Gallons (UK)";
        QTest::newRow("mach") << int(UnitCategory::speed) << "mach" << QStringLiteral("Ma") << "Mach (sea level, 343 m/s)";
        QTest::newRow("year") << int(UnitCategory::time) << "yr" << QStringLiteral("yr") << "Years (365.2425 d)";
    }
    void symbolsUseExactCharacters()
    {
        QFETCH(int, category);
        QFETCH(QString, id);
        QFETCH(QString, symbol);
        QFETCH(QString, name);
        const std::optional<UnitDef> u = UnitCategory(UnitCategory::Case(category)).unit(id);
        QVERIFY(u);
        QCOMPARE(u->symbol.toString(), symbol);
        QCOMPARE(u->name.toString(), name);
    }

    void lookupIsExactAndPerCategory_data()
    {
        QTest::addColumn<int>("category");
        QTest::addColumn<QString>("id");
        QTest::addColumn<bool>("found");
        QTest::newRow("MB") << int(UnitCategory::data) << "MB" << true;
        QTest::newRow("Mbit differs") << int(UnitCategory::data) << "Mbit" << true;
        QTest::newRow("case matters") << int(UnitCategory::data) << "mb" << false;
        QTest::newRow("metre not an area") << int(UnitCategory::area) << "m" << false;
        QTest::newRow("symbol is no id") << int(UnitCategory::length) << QStringLiteral("\u00B5m") << false;
        QTest::newRow("empty") << int(UnitCategory::length) << "" << false;
        QTest::newRow("trailing space") << int(UnitCategory::length) << "m " << false;
    }
    void lookupIsExactAndPerCategory()
    {
        QFETCH(int, category);
        QFETCH(QString, id);
        QFETCH(bool, found);
        QCOMPARE(UnitCategory(UnitCategory::Case(category)).unit(id).has_value(), found);
    }

    void categoryJson()
    {
        for (UnitCategory c : UnitCategory::allCases())
            QCOMPARE(UnitCategory::fromJson(c.toJson()), std::optional<UnitCategory>(c));
        QVERIFY(!UnitCategory::fromJson(QStringLiteral("Length")));
        QVERIFY(!UnitCategory::fromJson(QStringLiteral("Data Size")));
        QVERIFY(!UnitCategory::fromJson(QJsonValue(3)));
        QVERIFY(!UnitCategory::fromJson(QJsonValue()));
    }

    // --- conversion ------------------------------------------------------

    void convert_data()
    {
        QTest::addColumn<int>("category");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<double>("expected");
        QTest::addColumn<double>("tolerance"); // relative at or above 1, absolute below

        const double t = 1e-9;
        QTest::newRow("mi->km") << int(UnitCategory::length) << 1.0 << "mi" << "km" << 1.609344 << t;
        QTest::newRow("in->ft") << int(UnitCategory::length) << 12.0 << "in" << "ft" << 1.0 << t;
        QTest::newRow("nmi->m") << int(UnitCategory::length) << 1.0 << "nmi" << "m" << 1852.0 << t;
        QTest::newRow("um->mm") << int(UnitCategory::length) << 2500.0 << "um" << "mm" << 2.5 << t;
        QTest::newRow("kg->lb") << int(UnitCategory::weight) << 1.0 << "kg" << "lb" << 2.2046226218487757 << 1e-12;
        QTest::newRow("oz->lb") << int(UnitCategory::weight) << 16.0 << "oz" << "lb" << 1.0 << t;
        QTest::newRow("st->lb") << int(UnitCategory::weight) << 1.0 << "st" << "lb" << 14.0 << t;
        QTest::newRow("lton->lb") << int(UnitCategory::weight) << 1.0 << "lton" << "lb" << 2240.0 << t;
        QTest::newRow("gal->l") << int(UnitCategory::volume) << 1.0 << "gal" << "l" << 3.785411784 << t;
        QTest::newRow("tsp->tbsp") << int(UnitCategory::volume) << 3.0 << "tsp" << "tbsp" << 1.0 << t;
        QTest::newRow("cup->floz") << int(UnitCategory::volume) << 1.0 << "cup" << "floz" << 8.0 << t;
        QTest::newRow("impgal->impt") << int(UnitCategory::volume) << 1.0 << "impgal" << "impt" << 8.0 << t;
        QTest::newRow("m3->l") << int(UnitCategory::volume) << 1.0 << "m3" << "l" << 1000.0 << t;
        QTest::newRow("C->F") << int(UnitCategory::temperature) << 100.0 << "c" << "f" << 212.0 << t;
        QTest::newRow("F->C") << int(UnitCategory::temperature) << 32.0 << "f" << "c" << 0.0 << t;
        QTest::newRow("crossover") << int(UnitCategory::temperature) << -40.0 << "c" << "f" << -40.0 << t;
        QTest::newRow("C->K") << int(UnitCategory::temperature) << 0.0 << "c" << "k" << 273.15 << t;
        QTest::newRow("R->F") << int(UnitCategory::temperature) << 491.67 << "r" << "f" << 32.0 << t;
        QTest::newRow("K->R") << int(UnitCategory::temperature) << 100.0 << "k" << "r" << 180.0 << t;
        QTest::newRow("absolute zero") << int(UnitCategory::temperature) << 0.0 << "k" << "c" << -273.15 << t;
        QTest::newRow("F->C 100") << int(UnitCategory::temperature) << 100.0 << "f" << "c" << 37.77777777777778 << t;
        QTest::newRow("ac->ft2") << int(UnitCategory::area) << 1.0 << "ac" << "ft2" << 43560.0 << t;
        QTest::newRow("ha->m2") << int(UnitCategory::area) << 1.0 << "ha" << "m2" << 10000.0 << t;
        QTest::newRow("mi2->ac") << int(UnitCategory::area) << 1.0 << "mi2" << "ac" << 640.0 << t;
        QTest::newRow("kph->mph") << int(UnitCategory::speed) << 100.0 << "kph" << "mph" << 62.13711922373339 << t;
        QTest::newRow("kn->kph") << int(UnitCategory::speed) << 1.0 << "kn" << "kph" << 1.852 << t;
        QTest::newRow("mach->mps") << int(UnitCategory::speed) << 2.0 << "mach" << "mps" << 686.0 << t;
        QTest::newRow("GiB->MiB") << int(UnitCategory::data) << 1.0 << "GiB" << "MiB" << 1024.0 << t;
        QTest::newRow("GB->MB") << int(UnitCategory::data) << 1.0 << "GB" << "MB" << 1000.0 << t;
        QTest::newRow("B->bit") << int(UnitCategory::data) << 1.0 << "B" << "bit" << 8.0 << t;
        QTest::newRow("Mbit->MB") << int(UnitCategory::data) << 100.0 << "Mbit" << "MB" << 12.5 << t;
        QTest::newRow("TiB->GB") << int(UnitCategory::data) << 1.0 << "TiB" << "GB" << 1099.511627776 << t;
        QTest::newRow("d->h") << int(UnitCategory::time) << 1.0 << "d" << "h" << 24.0 << t;
        QTest::newRow("wk->min") << int(UnitCategory::time) << 1.0 << "wk" << "min" << 10080.0 << t;
        QTest::newRow("yr->mo") << int(UnitCategory::time) << 1.0 << "yr" << "mo" << 12.0 << t;
        QTest::newRow("yr->d") << int(UnitCategory::time) << 1.0 << "yr" << "d" << 365.2425 << t;
        QTest::newRow("ns->s") << int(UnitCategory::time) << 1.0 << "ns" << "s" << 1e-9 << 1e-20;
        QTest::newRow("negative") << int(UnitCategory::length) << -3.0 << "ft" << "in" << -36.0 << t;
    }
    void convert()
    {
        QFETCH(int, category);
        QFETCH(double, value);
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(double, expected);
        QFETCH(double, tolerance);
        const std::optional<double> got = UnitConverter::convert(value, from, to, UnitCategory::Case(category));
        QVERIFY(got);
        const double scale = std::abs(expected) >= 1 ? std::abs(expected) : 1.0;
        QVERIFY2(std::abs(*got - expected) <= tolerance * scale,
                 qPrintable(QStringLiteral("got %1, expected %2").arg(*got, 0, 'g', 17).arg(expected, 0, 'g', 17)));
    }

    void everyUnitToItself()
    {
        for (UnitCategory c : UnitCategory::allCases()) {
            for (const UnitDef& u : c.units()) {
                const std::optional<double> got = UnitConverter::convert(37.5, u.id, u.id, c);
                QVERIFY(got);
                QVERIFY2(std::abs(*got - 37.5) <= 37.5 * 1e-14, qPrintable(c.rawValue() + QLatin1Char('/') + u.id.toString()));
            }
        }
    }

    void unknownUnitsGiveNothing_data()
    {
        QTest::addColumn<int>("category");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::newRow("unknown from") << int(UnitCategory::length) << "zz" << "m";
        QTest::newRow("unknown to") << int(UnitCategory::length) << "m" << "zz";
        QTest::newRow("other category") << int(UnitCategory::length) << "kg" << "m";
        QTest::newRow("temperature with a length id") << int(UnitCategory::temperature) << "c" << "m";
        QTest::newRow("empty") << int(UnitCategory::time) << "" << "s";
    }
    void unknownUnitsGiveNothing()
    {
        QFETCH(int, category);
        QFETCH(QString, from);
        QFETCH(QString, to);
        QVERIFY(!UnitConverter::convert(1, from, to, UnitCategory::Case(category)));
    }

    void nonFiniteValuesPassThrough()
    {
        const double inf = std::numeric_limits<double>::infinity();
        QCOMPARE(*UnitConverter::convert(inf, u"m", u"km", UnitCategory::length), inf);
        QVERIFY(std::isnan(*UnitConverter::convert(std::nan(""), u"c", u"f", UnitCategory::temperature)));
        QCOMPARE(*UnitConverter::convert(1e308, u"PB", u"bit", UnitCategory::data), inf);
    }

    // --- typed value and result text -------------------------------------

    void parseInput_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("readable");
        QTest::addColumn<double>("value");
        QTest::newRow("plain") << "2" << true << 2.0;
        QTest::newRow("grouping commas") << "1,000" << true << 1000.0;
        QTest::newRow("comma is not a decimal point") << "1,5" << true << 15.0;
        QTest::newRow("spaces around") << " 2 " << true << 2.0;
        QTest::newRow("tabs around") << "\t2\t" << true << 2.0;
        QTest::newRow("plus sign") << "+2" << true << 2.0;
        QTest::newRow("minus sign") << "-2.5" << true << -2.5;
        QTest::newRow("exponent") << "1e3" << true << 1000.0;
        QTest::newRow("leading point") << ".5" << true << 0.5;
        QTest::newRow("trailing point") << "5." << true << 5.0;
        QTest::newRow("overflow") << "1e400" << true << std::numeric_limits<double>::infinity();
        QTest::newRow("negative overflow") << "-1e400" << true << -std::numeric_limits<double>::infinity();
        QTest::newRow("underflow") << "1e-400" << true << 0.0;
        QTest::newRow("infinity") << "inf" << true << std::numeric_limits<double>::infinity();
        QTest::newRow("inner space") << "1 000" << false << 0.0;
        QTest::newRow("empty") << "" << false << 0.0;
        QTest::newRow("blank") << "  \t " << false << 0.0;
        QTest::newRow("only commas") << ",," << false << 0.0;
        QTest::newRow("letters") << "abc" << false << 0.0;
        QTest::newRow("trailing letters") << "12abc" << false << 0.0;
        QTest::newRow("newline is no space") << "\n2" << false << 0.0;
        QTest::newRow("dangling exponent") << "1e" << false << 0.0;
        QTest::newRow("hexadecimal") << "0x10" << false << 0.0;
        QTest::newRow("two signs") << "+-1" << false << 0.0;
        QTest::newRow("double plus") << "++1" << false << 0.0;
        QTest::newRow("lone sign") << "+" << false << 0.0;
        QTest::newRow("unicode minus") << QStringLiteral("\u22122") << false << 0.0;
        QTest::newRow("fullwidth digit") << QStringLiteral("\uFF12") << false << 0.0;
        QTest::newRow("no-break space") << QStringLiteral("\u00A02") << false << 0.0;
        QTest::newRow("two points") << "1.2.3" << false << 0.0;
    }
    void parseInput()
    {
        QFETCH(QString, text);
        QFETCH(bool, readable);
        QFETCH(double, value);
        const std::optional<double> got = ConverterModel::parseInput(text);
        QCOMPARE(got.has_value(), readable);
        if (readable)
            QCOMPARE(*got, value);
    }

    void parseInputNaN()
    {
        const std::optional<double> got = ConverterModel::parseInput(QStringLiteral("nan"));
        QVERIFY(got && std::isnan(*got));
    }

    void result_data()
    {
        QTest::addColumn<int>("category");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("expected");
        QTest::newRow("first start") << int(UnitCategory::length) << "mi" << "km" << "1" << "1.609344";
        QTest::newRow("grouped") << int(UnitCategory::length) << "mi" << "km" << "1,000" << "1609.344";
        QTest::newRow("padded") << int(UnitCategory::length) << "mi" << "km" << " 2 " << "3.218688";
        QTest::newRow("letters") << int(UnitCategory::length) << "mi" << "km" << "abc" << kDash;
        QTest::newRow("empty") << int(UnitCategory::length) << "mi" << "km" << "" << kDash;
        QTest::newRow("inner space") << int(UnitCategory::length) << "mi" << "km" << "1 000" << kDash;
        QTest::newRow("ten digits") << int(UnitCategory::temperature) << "f" << "c" << "100" << "37.77777778";
        QTest::newRow("binary") << int(UnitCategory::data) << "GB" << "GiB" << "1" << "0.9313225746";
        QTest::newRow("large") << int(UnitCategory::length) << "mi" << "um" << "1e12" << "1.609344e21";
        QTest::newRow("infinite") << int(UnitCategory::length) << "mi" << "km" << "1e400" << QStringLiteral("\u221E");
        QTest::newRow("nan") << int(UnitCategory::length) << "mi" << "km" << "nan" << "Error";
        QTest::newRow("unknown from") << int(UnitCategory::temperature) << "mi" << "c" << "1" << kDash;
    }
    void result()
    {
        QFETCH(int, category);
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QString, input);
        QFETCH(QString, expected);
        ConverterModel m;
        m.setCategory(UnitCategory::Case(category));
        m.setFrom(from);
        m.setTo(to);
        m.setInput(input);
        QCOMPARE(m.result(to), expected);
        QCOMPARE(m.inputIsNumber(), ConverterModel::parseInput(input).has_value());
    }

    void symbolsAndTitle()
    {
        ConverterModel m;
        QCOMPARE(m.symbol(m.to()), QStringLiteral("km"));
        QCOMPARE(m.everyUnitTitle(), QStringLiteral("1 mi in every length unit"));
        m.setInput(QStringLiteral("2,5"));
        m.setCategory(UnitCategory::data);
        QCOMPARE(m.everyUnitTitle(), QStringLiteral("2,5 GB in every data size unit"));
        m.setFrom(QStringLiteral("zz"));
        QCOMPARE(m.symbol(m.from()), QString());
        QCOMPARE(m.everyUnitTitle(), QStringLiteral("2,5  in every data size unit"));
    }

    // --- state ---------------------------------------------------------------

    void firstStartHasDefaultsAndWritesNothing()
    {
        ConverterModel m;
        expectDefaults(m);
        QCOMPARE(m.result(m.to()), QStringLiteral("1.609344"));
        QVERIFY(!m.isLoading());
        QVERIFY(!QFile::exists(filePath()));
    }

    void everySavingAssignmentWritesAtOnce()
    {
        ConverterModel m;
        m.setFrom(QStringLiteral("ft"));
        QCOMPARE(fileObject().value(QStringLiteral("from")).toString(), QStringLiteral("ft"));
        m.setTo(QStringLiteral("yd"));
        QCOMPARE(fileObject().value(QStringLiteral("to")).toString(), QStringLiteral("yd"));
        m.setTzFrom(QStringLiteral("Asia/Tokyo"));
        QCOMPARE(fileObject().value(QStringLiteral("tzFrom")).toString(), QStringLiteral("Asia/Tokyo"));
        m.setTzTo(QStringLiteral("Europe/Paris"));
        QCOMPARE(fileObject().value(QStringLiteral("tzTo")).toString(), QStringLiteral("Europe/Paris"));

        // An assignment of the same value writes too.
        QFile::remove(filePath());
        m.setTo(m.to());
        QVERIFY(QFile::exists(filePath()));

        const QJsonObject o = fileObject();
        QCOMPARE(o.keys(), (QStringList{"category", "clocks", "from", "to", "tzFrom", "tzTo"}));
        QCOMPARE(o.value(QStringLiteral("category")).toString(), QStringLiteral("length"));
        QCOMPARE(o.value(QStringLiteral("clocks")).toArray().size(), 4);
        // Sorted keys, pretty-printed.
        const QByteArray text = fileBytes();
        QVERIFY(text.indexOf("\"category\"") < text.indexOf("\"clocks\""));
        QVERIFY(text.indexOf("\"to\"") < text.indexOf("\"tzFrom\""));
        QVERIFY(text.contains('\n'));
    }

    void typedValueAndTimeAreNeverSaved()
    {
        ConverterModel m;
        m.setInput(QStringLiteral("42"));
        m.setTzDate(QDateTime(QDate(2020, 1, 1), QTime(12, 0)));
        m.setNow();
        QVERIFY(!QFile::exists(filePath()));
        m.setFrom(QStringLiteral("ft"));
        QVERIFY(!fileObject().contains(QStringLiteral("input")));
        QVERIFY(!fileObject().contains(QStringLiteral("tzDate")));
        ConverterModel again;
        QCOMPARE(again.input(), QStringLiteral("1"));
        QVERIFY(std::abs(again.tzDate().secsTo(QDateTime::currentDateTime())) < 60);
    }

    void categoryChangeResetsPair_data()
    {
        QTest::addColumn<int>("category");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::newRow("length") << int(UnitCategory::length) << "mi" << "km";
        QTest::newRow("weight") << int(UnitCategory::weight) << "lb" << "kg";
        QTest::newRow("volume") << int(UnitCategory::volume) << "gal" << "l";
        QTest::newRow("temperature") << int(UnitCategory::temperature) << "f" << "c";
        QTest::newRow("area") << int(UnitCategory::area) << "ac" << "ha";
        QTest::newRow("speed") << int(UnitCategory::speed) << "mph" << "kph";
        QTest::newRow("data") << int(UnitCategory::data) << "GB" << "GiB";
        QTest::newRow("time") << int(UnitCategory::time) << "h" << "min";
    }
    void categoryChangeResetsPair()
    {
        QFETCH(int, category);
        QFETCH(QString, from);
        QFETCH(QString, to);
        ConverterModel m;
        // Leave length first, so that every row is a real change.
        m.setCategory(category == UnitCategory::length ? UnitCategory::time : UnitCategory::length);
        m.setCategory(UnitCategory::Case(category));
        QCOMPARE(m.from(), from);
        QCOMPARE(m.to(), to);
        QVERIFY(m.category().unit(from) && m.category().unit(to));
        const QJsonObject o = fileObject();
        QCOMPARE(o.value(QStringLiteral("category")).toString(), m.category().rawValue());
        QCOMPARE(o.value(QStringLiteral("from")).toString(), from);
        QCOMPARE(o.value(QStringLiteral("to")).toString(), to);
    }

    void sameCategoryKeepsPairButSaves()
    {
        ConverterModel m;
        m.setFrom(QStringLiteral("yd"));
        m.setTo(QStringLiteral("nmi"));
        QFile::remove(filePath());
        QSignalSpy fromSpy(&m, &ConverterModel::fromChanged);
        m.setCategory(UnitCategory::length);
        QCOMPARE(m.from(), QStringLiteral("yd"));
        QCOMPARE(m.to(), QStringLiteral("nmi"));
        QCOMPARE(fromSpy.count(), 0);
        QCOMPARE(fileObject().value(QStringLiteral("to")).toString(), QStringLiteral("nmi"));
    }

    void swapWritesSwappedPair()
    {
        ConverterModel m;
        QSignalSpy toSpy(&m, &ConverterModel::toChanged);
        m.swapUnits();
        QCOMPARE(m.from(), QStringLiteral("km"));
        QCOMPARE(m.to(), QStringLiteral("mi"));
        QCOMPARE(toSpy.count(), 1);
        QCOMPARE(fileObject().value(QStringLiteral("from")).toString(), QStringLiteral("km"));
        QCOMPARE(fileObject().value(QStringLiteral("to")).toString(), QStringLiteral("mi"));
        QCOMPARE(m.result(m.to()), QStringLiteral("0.6213711922"));
    }

    void savedStateComesBack()
    {
        {
            ConverterModel m;
            m.setCategory(UnitCategory::speed);
            m.setTo(QStringLiteral("kn"));
            m.setTzFrom(QStringLiteral("Asia/Kathmandu"));
            m.swapZones();
            m.addClock(QStringLiteral("Asia/Dubai"));
            m.removeClock(QStringLiteral("Europe/London"));
        }
        ConverterModel m;
        QCOMPARE(m.category(), UnitCategory(UnitCategory::speed));
        QCOMPARE(m.from(), QStringLiteral("mph"));
        QCOMPARE(m.to(), QStringLiteral("kn"));
        QCOMPARE(m.tzFrom(), QStringLiteral("UTC"));
        QCOMPARE(m.tzTo(), QStringLiteral("Asia/Kathmandu"));
        QCOMPARE(m.clocks(), (QStringList{"America/Denver", "America/New_York", "Asia/Tokyo", "Asia/Dubai"}));
    }

    void loadingAppliesStoredIdsOverTheReset()
    {
        writeFile(QJsonDocument(validRecord()).toJson());
        const QByteArray before = fileBytes();
        ConverterModel m;
        QCOMPARE(m.category(), UnitCategory(UnitCategory::weight));
        QCOMPARE(m.from(), QStringLiteral("oz"));
        QCOMPARE(m.to(), QStringLiteral("g"));
        QCOMPARE(m.tzFrom(), QStringLiteral("Asia/Kolkata"));
        QCOMPARE(m.tzTo(), QStringLiteral("Europe/Paris"));
        QCOMPARE(m.clocks(), (QStringList{"UTC", "Asia/Dubai"}));
        QVERIFY(!m.isLoading());
        // Applying the file writes nothing: no backup, same bytes.
        QCOMPARE(fileBytes(), before);
        QVERIFY(!QFile::exists(filePath() + QStringLiteral(".bak")));
    }

    void mismatchedUnitsAreKeptAsStored()
    {
        QJsonObject o = validRecord();
        o[QStringLiteral("category")] = QStringLiteral("temperature");
        o[QStringLiteral("from")] = QStringLiteral("mi");
        o[QStringLiteral("to")] = QStringLiteral("km");
        writeFile(QJsonDocument(o).toJson());
        ConverterModel m;
        QCOMPARE(m.category(), UnitCategory(UnitCategory::temperature));
        QCOMPARE(m.from(), QStringLiteral("mi"));
        QCOMPARE(m.to(), QStringLiteral("km"));
        QCOMPARE(m.result(m.to()), kDash);
        QCOMPARE(m.result(QStringLiteral("c")), kDash);
        QCOMPARE(m.symbol(m.to()), QString());
        m.setFrom(QStringLiteral("c"));
        QCOMPARE(m.result(QStringLiteral("k")), QStringLiteral("274.15"));
    }

    void emptyClockListIsKept()
    {
        QJsonObject o = validRecord();
        o[QStringLiteral("clocks")] = QJsonArray();
        writeFile(QJsonDocument(o).toJson());
        ConverterModel m;
        QVERIFY(m.clocks().isEmpty());
    }

    void badFileIsIgnoredWhole_data()
    {
        QTest::addColumn<QByteArray>("data");
        auto without = [](const char* key) {
            QJsonObject o = validRecord();
            o.remove(QString::fromLatin1(key));
            return QJsonDocument(o).toJson();
        };
        auto with = [](const char* key, const QJsonValue& v) {
            QJsonObject o = validRecord();
            o[QString::fromLatin1(key)] = v;
            return QJsonDocument(o).toJson();
        };
        QTest::newRow("no clocks") << without("clocks");
        QTest::newRow("no category") << without("category");
        QTest::newRow("no tzTo") << without("tzTo");
        QTest::newRow("unknown category") << with("category", QStringLiteral("Length"));
        QTest::newRow("category number") << with("category", 2);
        QTest::newRow("from null") << with("from", QJsonValue());
        QTest::newRow("clock not a string") << with("clocks", QJsonArray{QStringLiteral("UTC"), 5});
        QTest::newRow("clocks a string") << with("clocks", QStringLiteral("UTC"));
        QTest::newRow("array") << QJsonDocument(QJsonArray{validRecord()}).toJson();
        QTest::newRow("truncated") << QJsonDocument(validRecord()).toJson().left(40);
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("binary") << QByteArray("\x00\xff\xfe{", 4);
    }
    void badFileIsIgnoredWhole()
    {
        QFETCH(QByteArray, data);
        writeFile(data);
        ConverterModel m;
        expectDefaults(m);
        QCOMPARE(fileBytes(), data);
        // The next change replaces the file with a complete record.
        m.setTo(QStringLiteral("m"));
        const std::optional<ConverterModel::Saved> saved = Store::load<ConverterModel::Saved>(ConverterModel::kFileName);
        QVERIFY(saved);
        QCOMPARE(saved->category, UnitCategory(UnitCategory::length));
        QCOMPARE(saved->to, QStringLiteral("m"));
        QCOMPARE(saved->clocks, TimeZones::defaultClocks());
    }

    void hostileTextsAreKeptVerbatim()
    {
        QJsonObject o = validRecord();
        const QString odd = QStringLiteral("../../etc/passwd & <b>\u202E</b>");
        o[QStringLiteral("tzFrom")] = odd;
        o[QStringLiteral("clocks")] = QJsonArray{odd, QString(10000, QLatin1Char('x'))};
        writeFile(QJsonDocument(o).toJson());
        ConverterModel m;
        QCOMPARE(m.tzFrom(), odd);
        QVERIFY(!m.zoneConversion());
        QCOMPARE(m.clocks().size(), 2);
        m.addClock(QStringLiteral("UTC"));
        ConverterModel again;
        QCOMPARE(again.clocks().first(), odd);
    }

    // --- clocks ------------------------------------------------------------

    void addingAKnownClockChangesNothing()
    {
        ConverterModel m;
        QSignalSpy spy(&m, &ConverterModel::clocksChanged);
        m.addClock(QStringLiteral("Europe/London"));
        QCOMPARE(spy.count(), 0);
        QCOMPARE(m.clocks(), TimeZones::defaultClocks());
        QVERIFY(!QFile::exists(filePath()));
        // Exact match only: another spelling is another entry.
        m.addClock(QStringLiteral("europe/london"));
        QCOMPARE(m.clocks().size(), 5);
        QCOMPARE(m.clocks().last(), QStringLiteral("europe/london"));
        QCOMPARE(fileObject().value(QStringLiteral("clocks")).toArray().size(), 5);
    }

    void removingAClockRemovesEveryCopy()
    {
        ConverterModel m;
        m.setClocks({"UTC", "Asia/Tokyo", "UTC", "Europe/Paris", "UTC"});
        m.removeClock(QStringLiteral("UTC"));
        QCOMPARE(m.clocks(), (QStringList{"Asia/Tokyo", "Europe/Paris"}));
        QCOMPARE(fileObject().value(QStringLiteral("clocks")).toArray().size(), 2);
        m.removeClock(QStringLiteral("Asia/Tokyo"));
        m.removeClock(QStringLiteral("Europe/Paris"));
        QVERIFY(m.clocks().isEmpty());
        ConverterModel again;
        QVERIFY2(again.clocks().isEmpty(), "an emptied list stays empty");
    }
};

QTEST_MAIN(ConverterTest)
#include "tst_converter.moc"
