#include "TestEnvironment.h"
#include "app/Store.h"
#include "calc/Decimal.h"

#include <QSet>
#include <QTest>
#include <limits>

namespace {

Decimal dec(const char* text)
{
    const std::optional<Decimal> d = Decimal::fromString(QString::fromLatin1(text));
    if (!d)
        qFatal("bad decimal literal %s", text);
    return *d;
}

// Writes the value as the store does and reads it back.
std::optional<Decimal> throughFile(const Decimal& d)
{
    const std::optional<QByteArray> text = Store::encode(QJsonObject{{QStringLiteral("v"), d.toJson()}});
    if (!text)
        return std::nullopt;
    const std::optional<QJsonValue> back = Store::parse(*text);
    if (!back)
        return std::nullopt;
    return Decimal::fromJson(back->toObject().value(QStringLiteral("v")));
}

} // namespace

class DecimalTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void textRoundTrip_data()
    {
        QTest::addColumn<QString>("in");
        QTest::addColumn<QString>("out");
        QTest::newRow("zero") << "0" << "0";
        QTest::newRow("keeps scale") << "2.50" << "2.50";
        QTest::newRow("zero with scale") << "0.00" << "0.00";
        QTest::newRow("negative fraction") << "-0.001" << "-0.001";
        QTest::newRow("plus sign") << "+7" << "7";
        QTest::newRow("leading zeros") << "000123.4500" << "123.4500";
        QTest::newRow("point without fraction") << "5." << "5";
        QTest::newRow("point first") << ".25" << "0.25";
        QTest::newRow("exponent") << "1e3" << "1000";
        QTest::newRow("negative exponent") << "125E-5" << "0.00125";
        QTest::newRow("large") << "1.5e+45" << "1.5e+45";
        QTest::newRow("small") << "3e-30" << "3e-30";
        QTest::newRow("38 digits exact") << "12345678901234567890123456789012345678"
                                         << "12345678901234567890123456789012345678";
        QTest::newRow("39 digits rounded") << "123456789012345678901234567890123456789"
                                           << "123456789012345678901234567890123456790";
        QTest::newRow("long fraction rounded half away")
            << "0.123456789012345678901234567890123456785" << "0.12345678901234567890123456789012345679";
        QTest::newRow("negative zero") << "-0" << "0";
        QTest::newRow("underflow to zero") << "1e-5000" << "0e-1000";
    }
    void textRoundTrip()
    {
        QFETCH(QString, in);
        QFETCH(QString, out);
        const std::optional<Decimal> d = Decimal::fromString(in);
        QVERIFY(d);
        QCOMPARE(d->toString(), out);
        const std::optional<Decimal> again = Decimal::fromString(d->toString());
        QVERIFY(again);
        QCOMPARE(*again, *d);
    }

    void badText_data()
    {
        QTest::addColumn<QString>("in");
        for (const char* t : {"", "-", ".", "+.", "1e", "1e+", "e5", "abc", " 1", "1 ", "1,000", "--1", "1..2", "0x10",
                              "1.2.3", "NaN", "inf", "1e2000", "١٢"})
            QTest::newRow(t) << QString::fromUtf8(t);
    }
    void badText()
    {
        QFETCH(QString, in);
        QVERIFY(!Decimal::fromString(in));
    }

    void leadingNumber_data()
    {
        QTest::addColumn<QString>("in");
        QTest::addColumn<QString>("value"); // empty: none
        QTest::addColumn<int>("used");
        QTest::newRow("whole") << "1250.75" << "1250.75" << 7;
        QTest::newRow("second point ends") << "1.2.3" << "1.2" << 3;
        QTest::newRow("minus") << "-12.50-" << "-12.50" << 6;
        QTest::newRow("no exponent") << "1e5" << "1" << 1;
        QTest::newRow("trailing point") << "7." << "7" << 2;
        QTest::newRow("fraction only") << ".5" << "0.5" << 2;
        QTest::newRow("double minus") << "--5" << "" << 0;
        QTest::newRow("lone point") << "." << "" << 0;
        QTest::newRow("plus is not a sign") << "+5" << "" << 0;
        QTest::newRow("empty") << "" << "" << 0;
    }
    void leadingNumber()
    {
        QFETCH(QString, in);
        QFETCH(QString, value);
        QFETCH(int, used);
        qsizetype n = -1;
        const std::optional<Decimal> d = Decimal::parsePrefix(in, &n);
        if (value.isEmpty()) {
            QVERIFY(!d);
        } else {
            QVERIFY(d);
            QCOMPARE(d->toString(), value);
            QCOMPARE(int(n), used);
        }
    }

    void arithmetic_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("op");
        QTest::addColumn<QString>("b");
        QTest::addColumn<QString>("expected");
        QTest::newRow("tenths add exactly") << "0.1" << "+" << "0.2" << "0.3";
        QTest::newRow("scale of a sum") << "1.50" << "+" << "2" << "3.50";
        QTest::newRow("cancel") << "5.25" << "-" << "5.25" << "0.00";
        QTest::newRow("negative result") << "0.25" << "-" << "0.5" << "-0.25";
        QTest::newRow("product") << "19.99" << "*" << "2" << "39.98";
        QTest::newRow("product scale") << "2.5" << "*" << "80" << "200.0";
        QTest::newRow("signs") << "-3" << "*" << "-0.5" << "1.5";
        QTest::newRow("carry past 38 digits") << "99999999999999999999999999999999999999" << "+" << "1"
                                              << "100000000000000000000000000000000000000";
        QTest::newRow("wide product rounds")
            << "12345678901234567890" << "*" << "98765432109876543210" << "1219326311370217952237463801111263526900";
        QTest::newRow("far apart stays") << "1e100" << "+" << "1e-100" << "1e100";
        QTest::newRow("far apart below") << "1e100" << "-" << "1e-100" << "1e100";
        QTest::newRow("exact quotient") << "10" << "/" << "4" << "2.5";
        QTest::newRow("quotient keeps scale") << "1.00" << "/" << "4" << "0.25";
        QTest::newRow("thirds") << "1" << "/" << "3" << "0.33333333333333333333333333333333333333";
        QTest::newRow("two thirds round up") << "2" << "/" << "3" << "0.66666666666666666666666666666666666667";
        QTest::newRow("negative quotient") << "-7" << "/" << "2" << "-3.5";
        QTest::newRow("by percent") << "4498" << "/" << "100" << "44.98";
        QTest::newRow("divide by zero") << "1" << "/" << "0" << "NaN";
        QTest::newRow("zero by zero") << "0" << "/" << "0" << "NaN";
        QTest::newRow("largest fits") << "9e1000" << "*" << "1e37" << "9e1037";
        QTest::newRow("overflow") << "9e1000" << "*" << "1e38" << "NaN";
        QTest::newRow("overflow by sum") << "99999999999999999999999999999999999999e1000" << "+"
                                         << "1e1000" << "NaN";
        QTest::newRow("exact quotient at the top of the range") << "1e15" << "/" << "1e-1000" << "1e1015";
        QTest::newRow("underflow") << "1e-1000" << "*" << "1e-1000" << "0e-1000";
    }
    void arithmetic()
    {
        QFETCH(QString, a);
        QFETCH(QString, op);
        QFETCH(QString, b);
        QFETCH(QString, expected);
        const Decimal x = *Decimal::fromString(a);
        const Decimal y = *Decimal::fromString(b);
        Decimal r;
        if (op == QLatin1String("+"))
            r = x + y;
        else if (op == QLatin1String("-"))
            r = x - y;
        else if (op == QLatin1String("*"))
            r = x * y;
        else
            r = x / y;
        if (expected == QLatin1String("NaN")) {
            QVERIFY2(r.isNaN(), qPrintable(r.toString()));
            return;
        }
        QVERIFY(!r.isNaN());
        if (expected.size() < 40 && !expected.contains(QLatin1Char('e')))
            QCOMPARE(r.toString(), expected); // the scale too
        QCOMPARE(r, *Decimal::fromString(expected));
        QVERIFY(r.exponent() >= Decimal::kMinExponent && r.exponent() <= Decimal::kMaxExponent);
        QCOMPARE(qHash(r), qHash(*Decimal::fromString(r.toString())));
    }

    void nanPropagates()
    {
        const Decimal n = Decimal::nan();
        QVERIFY((n + Decimal(1)).isNaN());
        QVERIFY((Decimal(1) - n).isNaN());
        QVERIFY((n * Decimal(0)).isNaN());
        QVERIFY((Decimal(0) / n).isNaN());
        QVERIFY(n.rounded(2, Decimal::Rounding::halfEven).isNaN());
        QVERIFY(!(n < Decimal(1)) && !(n > Decimal(1)) && n != Decimal(0));
        QCOMPARE(n, Decimal::nan());
        QCOMPARE(n.toString(), QStringLiteral("NaN"));
        QVERIFY(std::isnan(n.toDouble()));
    }

    void comparesByValue_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<int>("order");
        QTest::newRow("scale ignored") << "2" << "2.00" << 0;
        QTest::newRow("zeros") << "0" << "-0.000" << 0;
        QTest::newRow("exponent forms") << "1e3" << "1000.0" << 0;
        QTest::newRow("less") << "1.999" << "2" << -1;
        QTest::newRow("negative less") << "-2" << "-1.5" << -1;
        QTest::newRow("sign first") << "-1e100" << "1e-100" << -1;
        QTest::newRow("magnitude") << "1e20" << "99999999999999999999" << 1;
        QTest::newRow("same lead, longer") << "1.0000000000000000000000000000000000001" << "1" << 1;
    }
    void comparesByValue()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(int, order);
        const Decimal x = *Decimal::fromString(a);
        const Decimal y = *Decimal::fromString(b);
        const std::partial_ordering c = x <=> y;
        QCOMPARE(c < 0 ? -1 : (c > 0 ? 1 : 0), order);
        const std::partial_ordering back = y <=> x;
        QCOMPARE(back < 0 ? -1 : (back > 0 ? 1 : 0), -order);
        if (order == 0)
            QCOMPARE(qHash(x), qHash(y));
    }

    void equalValuesShareASetSlot()
    {
        QSet<Decimal> s{dec("2"), dec("2.00"), dec("2.0"), dec("20e-1"), dec("3")};
        QCOMPARE(s.size(), 2);
    }

    void rounding_data()
    {
        QTest::addColumn<QString>("in");
        QTest::addColumn<int>("places");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("out");
        const int away = int(Decimal::Rounding::halfAwayFromZero);
        const int even = int(Decimal::Rounding::halfEven);
        const int trunc = int(Decimal::Rounding::towardZero);
        QTest::newRow("half up") << "2.345" << 2 << away << "2.35";
        QTest::newRow("half away negative") << "-2.345" << 2 << away << "-2.35";
        QTest::newRow("carries") << "4.498" << 2 << away << "4.50";
        QTest::newRow("carry into units") << "9.995" << 2 << away << "10.00";
        QTest::newRow("half a cent") << "0.005" << 2 << away << "0.01";
        QTest::newRow("minus half a cent") << "-0.005" << 2 << away << "-0.01";
        QTest::newRow("below half") << "0.0049999" << 2 << away << "0.00";
        QTest::newRow("short unchanged") << "2.3" << 2 << away << "2.3";
        QTest::newRow("integer unchanged") << "1e3" << 2 << away << "1000";
        QTest::newRow("even down") << "2.345" << 2 << even << "2.34";
        QTest::newRow("even up") << "2.355" << 2 << even << "2.36";
        QTest::newRow("even above half") << "2.3451" << 2 << even << "2.35";
        QTest::newRow("truncate") << "-2.349" << 2 << trunc << "-2.34";
        QTest::newRow("tiny") << "1e-500" << 2 << away << "0.00";
        QTest::newRow("to whole") << "2.5" << 0 << away << "3";
        QTest::newRow("to whole even") << "2.5" << 0 << even << "2";
    }
    void rounding()
    {
        QFETCH(QString, in);
        QFETCH(int, places);
        QFETCH(int, mode);
        QFETCH(QString, out);
        QCOMPARE(Decimal::fromString(in)->rounded(places, Decimal::Rounding(mode)).toString(), out);
    }

    void fixedText_data()
    {
        QTest::addColumn<QString>("in");
        QTest::addColumn<QString>("out");
        QTest::newRow("pads") << "1234.5" << "1234.50";
        QTest::newRow("integer") << "3" << "3.00";
        QTest::newRow("exponent") << "12e3" << "12000.00";
        QTest::newRow("half even") << "0.125" << "0.12";
        QTest::newRow("small fraction") << "0.05" << "0.05";
        QTest::newRow("rounds to zero") << "-0.001" << "0.00";
        QTest::newRow("negative") << "-7.999" << "-8.00";
    }
    void fixedText()
    {
        QFETCH(QString, in);
        QFETCH(QString, out);
        QCOMPARE(Decimal::fromString(in)->toFixed(2), out);
    }

    void doubles_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("tenth") << 0.1 << "0.1";
        QTest::newRow("cents") << 1199.1 << "1199.1";
        QTest::newRow("sum of tenths") << 0.1 + 0.2 << "0.30000000000000004";
        QTest::newRow("large") << 1e300 << "1e+300";
        QTest::newRow("smallest") << 5e-324 << "5e-324";
        QTest::newRow("negative zero") << -0.0 << "0";
    }
    void doubles()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        const std::optional<Decimal> d = Decimal::fromDouble(value);
        QVERIFY(d);
        QCOMPARE(*d, *Decimal::fromString(text));
        QCOMPARE(d->toDouble(), value);
    }

    void nonFiniteDoublesAreRefused()
    {
        QVERIFY(!Decimal::fromDouble(std::numeric_limits<double>::quiet_NaN()));
        QVERIFY(!Decimal::fromDouble(std::numeric_limits<double>::infinity()));
        QVERIFY(!Decimal::fromDouble(-std::numeric_limits<double>::infinity()));
    }

    void jsonRoundTrip_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("asNumber");
        QTest::newRow("tenth") << "0.1" << true;
        QTest::newRow("ten cents") << "0.10" << true;
        QTest::newRow("price") << "19.99" << true;
        QTest::newRow("negative half cent") << "-0.005" << true;
        QTest::newRow("fifteen digits") << "1234567890123.45" << true;
        QTest::newRow("integer") << "1001" << true;
        QTest::newRow("big integer") << "9007199254740993" << false;
        QTest::newRow("whole double beyond 2^53") << "999999999999000000" << true;
        QTest::newRow("huge") << "1e300" << true;
        QTest::newRow("beyond double range") << "1e400" << false;
        QTest::newRow("too many digits for a double") << "0.1234567890123456789" << false;
        QTest::newRow("38 digits") << "1234567890123456789012345678.9012345678" << false;
    }
    void jsonRoundTrip()
    {
        QFETCH(QString, value);
        QFETCH(bool, asNumber);
        const Decimal d = *Decimal::fromString(value);
        QCOMPARE(d.toJson().isDouble(), asNumber);
        const std::optional<Decimal> back = throughFile(d);
        QVERIFY(back);
        QCOMPARE(*back, d);
    }

    void jsonReading()
    {
        // Whole numbers beyond 2^53 in a file are read exactly.
        const std::optional<QJsonValue> v = Store::parse("{\"q\": 9007199254740993, \"r\": 0.3, \"s\": \"2.50\"}");
        QVERIFY(v);
        const QJsonObject o = v->toObject();
        QCOMPARE(*Decimal::fromJson(o.value(QStringLiteral("q"))), dec("9007199254740993"));
        QCOMPARE(*Decimal::fromJson(o.value(QStringLiteral("r"))), dec("0.3"));
        QCOMPARE(*Decimal::fromJson(o.value(QStringLiteral("s"))), dec("2.5"));
        QVERIFY(!Decimal::fromJson(QJsonValue(true)));
        QVERIFY(!Decimal::fromJson(QJsonValue()));
        QVERIFY(!Decimal::fromJson(QJsonValue(QJsonValue::Undefined)));
        QVERIFY(!Decimal::fromJson(QJsonValue(QStringLiteral("12 dollars"))));
        QVERIFY(!Decimal::fromJson(QJsonArray{1}));
    }

    void nanIsNotWritten()
    {
        QVERIFY(!Store::encode(QJsonObject{{QStringLiteral("v"), Decimal::nan().toJson()}}));
    }

    void integersConvertExactly()
    {
        QCOMPARE(Decimal(std::numeric_limits<qint64>::min()).toString(), QStringLiteral("-9223372036854775808"));
        QCOMPARE(Decimal(std::numeric_limits<quint64>::max()).toString(), QStringLiteral("18446744073709551615"));
        QCOMPARE(Decimal(std::numeric_limits<qint64>::min()) - Decimal(1), dec("-9223372036854775809"));
    }
};

QTEST_GUILESS_MAIN(DecimalTest)
#include "tst_decimal.moc"
