#include "TestEnvironment.h"
#include "core/Store.h"
#include "calc/ConverterModel.h"
#include "calc/TimeZones.h"
#include "calc/UnitCategory.h"
#include "calc/UnitConverter.h"

#include <QFile>
#include <QHash>
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
const double kInf = std::numeric_limits<double>::infinity();

QString filePath()
{
    return Store::path(ConverterModel::kFileName);
}

QByteArray fileBytes()
{
    QFile f(filePath());
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString saved(const char* key)
{
    return QJsonDocument::fromJson(fileBytes()).object().value(QLatin1String(key)).toString();
}

void writeFile(const QByteArray& data)
{
    QFile f(filePath());
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(data);
}

QJsonObject validRecord(const char* key = nullptr, const QJsonValue& value = QJsonValue::Undefined)
{
    QJsonObject o{{"category", "weight"}, {"from", "oz"}, {"to", "g"}, {"tzFrom", "Asia/Kolkata"},
                  {"tzTo", "Europe/Paris"}, {"clocks", QJsonArray{"UTC", "Asia/Dubai"}}};
    if (key && value.isUndefined())
        o.remove(QLatin1String(key));
    else if (key)
        o.insert(QLatin1String(key), value);
    return o;
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

// Every unit's size in its category's base unit, worked out here from the
// definitions (international inch, yard and pound; US gallon of 231 cubic
// inches; UK gallon of 4.54609 L; Gregorian year) rather than copied from the
// catalogue, so a mistyped factor there is caught.
QHash<QString, double> definedFactors()
{
    const double in = 0.0254, ft = 12 * in, yd = 3 * ft, mi = 5280 * ft;
    const double lb = 0.45359237;
    const double in3L = in * in * in * 1000; // litres
    const double gal = 231 * in3L, floz = gal / 128, tbsp = floz / 2;
    const double ukgal = 4.54609;
    const double day = 86400, year = 365.2425 * day;
    return {
        {"length/um", 1e-6}, {"length/mm", 1e-3}, {"length/cm", 1e-2}, {"length/m", 1}, {"length/km", 1e3},
        {"length/in", in}, {"length/ft", ft}, {"length/yd", yd}, {"length/mi", mi}, {"length/nmi", 1852},
        {"weight/mg", 1e-6}, {"weight/g", 1e-3}, {"weight/kg", 1}, {"weight/t", 1e3}, {"weight/ct", 0.2e-3},
        {"weight/oz", lb / 16}, {"weight/lb", lb}, {"weight/st", 14 * lb}, {"weight/ton", 2000 * lb},
        {"weight/lton", 2240 * lb},
        {"volume/ml", 1e-3}, {"volume/l", 1}, {"volume/m3", 1e3}, {"volume/cm3", 1e-3}, {"volume/in3", in3L},
        {"volume/ft3", 1728 * in3L}, {"volume/tsp", tbsp / 3}, {"volume/tbsp", tbsp}, {"volume/floz", floz},
        {"volume/cup", gal / 16}, {"volume/pt", gal / 8}, {"volume/qt", gal / 4}, {"volume/gal", gal},
        {"volume/impt", ukgal / 8}, {"volume/impgal", ukgal},
        {"area/mm2", 1e-6}, {"area/cm2", 1e-4}, {"area/m2", 1}, {"area/ha", 1e4}, {"area/km2", 1e6},
        {"area/in2", in * in}, {"area/ft2", ft * ft}, {"area/yd2", yd * yd}, {"area/ac", 43560 * ft * ft},
        {"area/mi2", mi * mi},
        {"speed/mps", 1}, {"speed/kph", 1000.0 / 3600}, {"speed/mph", mi / 3600}, {"speed/fps", ft},
        {"speed/kn", 1852.0 / 3600}, {"speed/mach", 343},
        {"data/bit", 1.0 / 8}, {"data/B", 1}, {"data/KB", 1e3}, {"data/MB", 1e6}, {"data/GB", 1e9},
        {"data/TB", 1e12}, {"data/PB", 1e15}, {"data/KiB", 1024.0}, {"data/MiB", std::pow(1024.0, 2)},
        {"data/GiB", std::pow(1024.0, 3)}, {"data/TiB", std::pow(1024.0, 4)}, {"data/kbit", 1e3 / 8},
        {"data/Mbit", 1e6 / 8}, {"data/Gbit", 1e9 / 8},
        {"time/ns", 1e-9}, {"time/us", 1e-6}, {"time/ms", 1e-3}, {"time/s", 1}, {"time/min", 60},
        {"time/h", 3600}, {"time/d", day}, {"time/wk", 7 * day}, {"time/mo", year / 12}, {"time/yr", year},
    };
}

} // namespace

class ConverterTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void everyFactorMatchesItsDefinition()
    {
        const QHash<QString, double> defined = definedFactors();
        int checked = 0;
        for (UnitCategory category : UnitCategory::allCases()) {
            if (category == UnitCategory::temperature)
                continue; // converted by formulas, not factors
            for (const UnitDef& u : category.units()) {
                const QString key = category.rawValue() + QLatin1Char('/') + u.id.toString();
                QVERIFY2(defined.contains(key), qPrintable(QStringLiteral("no definition for ") + key));
                const double want = defined.value(key);
                QVERIFY2(std::fabs(u.factor - want) <= 1e-12 * want,
                         qPrintable(key + QStringLiteral(": %1, defined %2").arg(u.factor, 0, 'g', 17).arg(want, 0, 'g', 17)));
                ++checked;
            }
        }
        QCOMPARE(checked, int(defined.size()));
    }

    void init() { TestEnvironment::clearDataFolder(); }

    // --- catalogue -------------------------------------------------------

    void catalogueIsConsistent()
    {
        // Every id is unique within its category, found by lookup, and
        // converts to itself unchanged; every category survives JSON.
        for (UnitCategory c : UnitCategory::allCases()) {
            QCOMPARE(UnitCategory::fromJson(c.toJson()), std::optional<UnitCategory>(c));
            QSet<QString> ids;
            for (const UnitDef& u : c.units()) {
                const QString where = c.rawValue() + QLatin1Char('/') + u.id.toString();
                QVERIFY2(!ids.contains(u.id.toString()) && u.factor > 0, qPrintable(where));
                ids.insert(u.id.toString());
                QCOMPARE(c.unit(u.id), std::optional<UnitDef>(u));
                const std::optional<double> same = UnitConverter::convert(37.5, u.id, u.id, c);
                QVERIFY2(same && std::abs(*same - 37.5) <= 37.5 * 1e-14, qPrintable(where));
            }
        }
        // Symbols use the exact characters: U+00B5 MICRO SIGN (not the Greek
        // mu), superscript digits, the degree sign.
        QCOMPARE(UnitCategory(UnitCategory::length).unit(u"um")->symbol.toString(), QStringLiteral("\u00B5m"));
        QCOMPARE(UnitCategory(UnitCategory::volume).unit(u"m3")->symbol.toString(), QStringLiteral("m\u00B3"));
        QCOMPARE(UnitCategory(UnitCategory::temperature).unit(u"c")->symbol.toString(), QStringLiteral("\u00B0C"));
        // Only the raw value reads back: not the title, not a number.
        QVERIFY(!UnitCategory::fromJson(QStringLiteral("Data Size")));
        QVERIFY(!UnitCategory::fromJson(QJsonValue(3)));
    }

    void unknownIdsFindNothing_data()
    {
        QTest::addColumn<int>("category");
        QTest::addColumn<QString>("id");
        QTest::newRow("case matters") << int(UnitCategory::data) << "mb";
        QTest::newRow("metre not an area") << int(UnitCategory::area) << "m";
        QTest::newRow("length id in temperature") << int(UnitCategory::temperature) << "m";
        QTest::newRow("symbol is no id") << int(UnitCategory::length) << QStringLiteral("\u00B5m");
        QTest::newRow("empty") << int(UnitCategory::time) << "";
        QTest::newRow("trailing space") << int(UnitCategory::length) << "m ";
    }
    void unknownIdsFindNothing()
    {
        QFETCH(int, category);
        QFETCH(QString, id);
        const UnitCategory c = UnitCategory::Case(category);
        const QString known = c.units().front().id.toString();
        QVERIFY(!c.unit(id));
        QVERIFY(!UnitConverter::convert(1, id, known, c));
        QVERIFY(!UnitConverter::convert(1, known, id, c));
    }

    // --- conversion ------------------------------------------------------

    void convert_data()
    {
        QTest::addColumn<int>("category");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<double>("expected"); // to nine significant digits

        auto row = [](const char* name, UnitCategory::Case c, double v, const char* from, const char* to, double e) {
            QTest::newRow(name) << int(c) << v << QString::fromUtf8(from) << QString::fromUtf8(to) << e;
        };
        row("mi->km", UnitCategory::length, 1, "mi", "km", 1.609344);
        row("negative", UnitCategory::length, -3, "ft", "in", -36);
        row("kg->lb", UnitCategory::weight, 1, "kg", "lb", 2.2046226218487757);
        row("US gallon", UnitCategory::volume, 1, "gal", "l", 3.785411784);
        row("UK gallon in UK pints", UnitCategory::volume, 1, "impgal", "impt", 8);
        row("C->F", UnitCategory::temperature, 100, "c", "f", 212);
        row("crossover", UnitCategory::temperature, -40, "c", "f", -40);
        row("R->F", UnitCategory::temperature, 491.67, "r", "f", 32);
        row("absolute zero", UnitCategory::temperature, 0, "k", "c", -273.15);
        row("F->C", UnitCategory::temperature, 100, "f", "c", 37.77777777777778);
        row("binary prefixes", UnitCategory::data, 1, "TiB", "GB", 1099.511627776);
        row("bits to bytes", UnitCategory::data, 100, "Mbit", "MB", 12.5);
        row("yr->d", UnitCategory::time, 1, "yr", "d", 365.2425);
        row("ns->s", UnitCategory::time, 1, "ns", "s", 1e-9);
    }
    void convert()
    {
        QFETCH(int, category);
        QFETCH(double, value);
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(double, expected);
        const std::optional<double> got = UnitConverter::convert(value, from, to, UnitCategory::Case(category));
        QVERIFY(got);
        QVERIFY2(std::abs(*got - expected) <= 1e-9 * std::abs(expected),
                 qPrintable(QStringLiteral("got %1").arg(*got, 0, 'g', 17)));
    }

    void nonFiniteValuesPassThrough()
    {
        QCOMPARE(*UnitConverter::convert(kInf, u"m", u"km", UnitCategory::length), kInf);
        QVERIFY(std::isnan(*UnitConverter::convert(std::nan(""), u"c", u"f", UnitCategory::temperature)));
        QCOMPARE(*UnitConverter::convert(1e308, u"PB", u"bit", UnitCategory::data), kInf);
    }

    // --- typed value and result text -------------------------------------

    void parseInput_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("readable");
        QTest::addColumn<double>("value");
        QTest::newRow("grouping commas") << "1,000" << true << 1000.0;
        QTest::newRow("comma is not a decimal point") << "1,5" << true << 15.0;
        QTest::newRow("spaces and tabs around") << " \t2 " << true << 2.0;
        QTest::newRow("overflow") << "1e400" << true << kInf;
        QTest::newRow("infinity") << "inf" << true << kInf;
        QTest::newRow("nan") << "nan" << true << std::nan("");
        QTest::newRow("inner space") << "1 000" << false << 0.0;
        QTest::newRow("blank") << "  \t " << false << 0.0;
        QTest::newRow("newline is no space") << "\n2" << false << 0.0;
        QTest::newRow("dangling exponent") << "1e" << false << 0.0;
        QTest::newRow("hexadecimal") << "0x10" << false << 0.0;
        QTest::newRow("unicode minus") << QStringLiteral("\u22122") << false << 0.0;
        QTest::newRow("fullwidth digit") << QStringLiteral("\uFF12") << false << 0.0;
        QTest::newRow("no-break space") << QStringLiteral("\u00A02") << false << 0.0;
    }
    void parseInput()
    {
        QFETCH(QString, text);
        QFETCH(bool, readable);
        QFETCH(double, value);
        const std::optional<double> got = ConverterModel::parseInput(text);
        QCOMPARE(got.has_value(), readable);
        if (readable)
            QCOMPARE(*got, value); // NaN compares equal to NaN here
    }

    void result_data()
    {
        QTest::addColumn<int>("category");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("expected");
        QTest::newRow("ten digits") << int(UnitCategory::temperature) << "f" << "c" << "100" << "37.77777778";
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
    }

    void symbolsAndTitle()
    {
        ConverterModel m;
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
        QVERIFY(!QFile::exists(filePath()));
    }

    void everySavingAssignmentWritesAtOnce()
    {
        ConverterModel m;
        // The typed value and the chosen time are never saved.
        m.setInput(QStringLiteral("42"));
        m.setTzDate(QDateTime(QDate(2020, 1, 1), QTime(12, 0)));
        m.setNow();
        QVERIFY(!QFile::exists(filePath()));

        m.setFrom(QStringLiteral("ft"));
        QCOMPARE(saved("from"), QStringLiteral("ft"));
        m.setTzFrom(QStringLiteral("Asia/Tokyo"));
        QCOMPARE(saved("tzFrom"), QStringLiteral("Asia/Tokyo"));
        // An assignment of the same value writes too.
        QFile::remove(filePath());
        m.setTo(m.to());
        QCOMPARE(QJsonDocument::fromJson(fileBytes()).object().keys(),
                 (QStringList{"category", "clocks", "from", "to", "tzFrom", "tzTo"}));

        ConverterModel again;
        QCOMPARE(again.input(), QStringLiteral("1"));
        QVERIFY(std::abs(again.tzDate().secsTo(QDateTime::currentDateTime())) < 60);
    }

    void categoryChangeResetsPair()
    {
        {
            // Choosing the current category again keeps the pair, but saves.
            ConverterModel m;
            m.setTo(QStringLiteral("nmi"));
            QFile::remove(filePath());
            QSignalSpy toSpy(&m, &ConverterModel::toChanged);
            m.setCategory(UnitCategory::length);
            QCOMPARE(m.to(), QStringLiteral("nmi"));
            QCOMPARE(toSpy.count(), 0);
            QCOMPARE(saved("to"), QStringLiteral("nmi"));
        }
        for (UnitCategory c : UnitCategory::allCases()) {
            ConverterModel m;
            // Leave the category first, so that every pass is a real change.
            m.setCategory(c == UnitCategory::length ? UnitCategory::time : UnitCategory::length);
            m.setCategory(c);
            QVERIFY2(m.from() != m.to() && c.unit(m.from()) && c.unit(m.to()), qPrintable(c.rawValue()));
            QCOMPARE(saved("category"), c.rawValue());
            QCOMPARE(saved("from"), m.from());
            QCOMPARE(saved("to"), m.to());
        }
    }

    void savedStateComesBack()
    {
        {
            ConverterModel m;
            m.setCategory(UnitCategory::speed);
            m.setTo(QStringLiteral("kn"));
            m.swapUnits();
            QCOMPARE(m.result(m.to()), QStringLiteral("1.150779448"));
            m.setTzFrom(QStringLiteral("Asia/Kathmandu"));
            m.swapZones();
            m.addClock(QStringLiteral("Asia/Dubai"));
            m.removeClock(QStringLiteral("Europe/London"));
        }
        ConverterModel m;
        QCOMPARE(m.category(), UnitCategory(UnitCategory::speed));
        QCOMPARE(m.from(), QStringLiteral("kn"));
        QCOMPARE(m.to(), QStringLiteral("mph"));
        QCOMPARE(m.tzFrom(), QStringLiteral("UTC"));
        QCOMPARE(m.tzTo(), QStringLiteral("Asia/Kathmandu"));
        QCOMPARE(m.clocks(), (QStringList{"America/Denver", "America/New_York", "Asia/Tokyo", "Asia/Dubai"}));
    }

    void loadingAppliesStoredIdsOverTheReset()
    {
        writeFile(QJsonDocument(validRecord()).toJson());
        const QByteArray before = fileBytes();
        {
            ConverterModel m;
            QCOMPARE(m.category(), UnitCategory(UnitCategory::weight));
            QCOMPARE(m.from(), QStringLiteral("oz"));
            QCOMPARE(m.to(), QStringLiteral("g"));
            QCOMPARE(m.tzTo(), QStringLiteral("Europe/Paris"));
            QCOMPARE(m.clocks(), (QStringList{"UTC", "Asia/Dubai"}));
            QVERIFY(!m.isLoading());
            // Applying the file writes nothing: no backup, same bytes.
            QCOMPARE(fileBytes(), before);
            QVERIFY(!QFile::exists(filePath() + QStringLiteral(".bak")));
        }
        // Units of another category are kept as stored, shown as nothing.
        QJsonObject o = validRecord("category", "temperature");
        o.insert("from", "mi");
        writeFile(QJsonDocument(o).toJson());
        ConverterModel m;
        QCOMPARE(m.from(), QStringLiteral("mi"));
        QCOMPARE(m.result(QStringLiteral("c")), kDash);
        QCOMPARE(m.symbol(m.from()), QString());
        m.setFrom(QStringLiteral("c"));
        QCOMPARE(m.result(QStringLiteral("k")), QStringLiteral("274.15"));
    }

    void badFileIsIgnoredWhole_data()
    {
        QTest::addColumn<QByteArray>("data");
        auto doc = [](const QJsonObject& o) { return QJsonDocument(o).toJson(); };
        QTest::newRow("no clocks") << doc(validRecord("clocks"));
        QTest::newRow("unknown category") << doc(validRecord("category", "Length"));
        QTest::newRow("category number") << doc(validRecord("category", 2));
        QTest::newRow("from null") << doc(validRecord("from", QJsonValue()));
        QTest::newRow("clock not a string") << doc(validRecord("clocks", QJsonArray{"UTC", 5}));
        QJsonArray tooMany;
        while (tooMany.size() <= ConverterModel::kMaxClocks)
            tooMany.append("UTC");
        QTest::newRow("one clock past the limit") << doc(validRecord("clocks", tooMany));
        QTest::newRow("array") << QJsonDocument(QJsonArray{validRecord()}).toJson();
        QTest::newRow("truncated") << doc(validRecord()).left(40);
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
        const std::optional<ConverterModel::Saved> back = Store::load<ConverterModel::Saved>(ConverterModel::kFileName);
        QVERIFY(back);
        QCOMPARE(back->to, QStringLiteral("m"));
        QCOMPARE(back->clocks, TimeZones::defaultClocks());
    }

    void hostileTextsAreKeptVerbatim()
    {
        const QString odd = QStringLiteral("../../etc/passwd & <b>\u202E</b>");
        QJsonObject o = validRecord("tzFrom", odd);
        o.insert("clocks", QJsonArray{odd, QString(10000, QLatin1Char('x'))});
        writeFile(QJsonDocument(o).toJson());
        ConverterModel m;
        QCOMPARE(m.tzFrom(), odd);
        QVERIFY(!m.zoneConversion());
        m.addClock(QStringLiteral("UTC"));
        ConverterModel again;
        QCOMPARE(again.clocks().first(), odd);
        QCOMPARE(again.clocks().size(), 3);
    }

    void clocksAtTheLimitAreRead()
    {
        QJsonArray clocks;
        while (clocks.size() < ConverterModel::kMaxClocks)
            clocks.append("UTC");
        writeFile(QJsonDocument(validRecord("clocks", clocks)).toJson());
        ConverterModel m;
        QCOMPARE(m.clocks().size(), ConverterModel::kMaxClocks);
    }

    // --- clocks ------------------------------------------------------------

    void addingAndRemovingClocks()
    {
        ConverterModel m;
        QSignalSpy spy(&m, &ConverterModel::clocksChanged);
        m.addClock(QStringLiteral("Europe/London")); // already listed
        QCOMPARE(spy.count(), 0);
        QVERIFY(!QFile::exists(filePath()));
        // Exact match only: another spelling is another entry.
        m.addClock(QStringLiteral("europe/london"));
        QCOMPARE(m.clocks().last(), QStringLiteral("europe/london"));

        // Removing takes every copy, and an emptied list stays empty.
        m.setClocks({"UTC", "Asia/Tokyo", "UTC", "UTC"});
        m.removeClock(QStringLiteral("UTC"));
        QCOMPARE(m.clocks(), QStringList{QStringLiteral("Asia/Tokyo")});
        m.removeClock(QStringLiteral("Asia/Tokyo"));
        ConverterModel again;
        QVERIFY(again.clocks().isEmpty());
    }
};

QTEST_MAIN(ConverterTest)
#include "tst_converter.moc"
