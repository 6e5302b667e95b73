#include "TestEnvironment.h"
#include "core/Store.h"
#include "money/Decimal.h"

#include <QTest>
#include <limits>

namespace {

Decimal dec(const QString& text)
{
    const std::optional<Decimal> d = Decimal::fromString(text);
    if (!d)
        qFatal("bad decimal literal %s", qPrintable(text));
    return *d;
}

// Writes the value as the store does and reads it back.
std::optional<Decimal> throughFile(const Decimal& d)
{
    const std::optional<QByteArray> text = Store::encode(QJsonObject{{QStringLiteral("v"), d.toJson()}});
    const std::optional<QJsonValue> back = text ? Store::parse(*text) : std::nullopt;
    return back ? Decimal::fromJson(back->toObject().value(QStringLiteral("v"))) : std::nullopt;
}

int sign(std::partial_ordering c)
{
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

} // namespace

class DecimalTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void text_data()
    {
        QTest::addColumn<QString>("in");
        QTest::addColumn<QString>("out"); // empty: not a decimal
        auto row = [](const char* in, const char* out) { QTest::newRow(in) << QString::fromUtf8(in) << QString::fromUtf8(out); };
        row("2.50", "2.50");                    // keeps the scale
        row("0.00", "0.00");
        row("-0.001", "-0.001");
        row("+7", "7");
        row("000123.4500", "123.4500");
        row("125E-5", "0.00125");
        row("1.5e+45", "1.5e+45");
        row("12345678901234567890123456789012345678", "12345678901234567890123456789012345678"); // 38 digits exact
        row("123456789012345678901234567890123456789", "123456789012345678901234567890123456790"); // 39th rounded
        row("0.123456789012345678901234567890123456785", "0.12345678901234567890123456789012345679"); // half away
        row("-0", "0");
        row("1e-5000", "0e-1000");              // underflows to zero
        for (const char* t : {"", "-", ".", "+.", "1e", "1e+", "e5", "abc", " 1", "1 ", "1,000", "--1", "1..2", "0x10",
                              "1.2.3", "NaN", "inf", "1e2000", "١٢"})
            row(t, "");
    }
    void text()
    {
        QFETCH(QString, in);
        QFETCH(QString, out);
        const std::optional<Decimal> d = Decimal::fromString(in);
        QCOMPARE(d.has_value(), !out.isEmpty());
        if (d) {
            QCOMPARE(d->toString(), out);
            QCOMPARE(Decimal::fromString(d->toString()), d);
        }
    }

    void leadingNumber_data()
    {
        QTest::addColumn<QString>("in");
        QTest::addColumn<QString>("value"); // empty: none
        QTest::addColumn<int>("used");
        QTest::newRow("second point ends") << "1.2.3" << "1.2" << 3;
        QTest::newRow("minus") << "-12.50-" << "-12.50" << 6;
        QTest::newRow("no exponent") << "1e5" << "1" << 1;
        QTest::newRow("double minus") << "--5" << "" << 0;
        QTest::newRow("plus is not a sign") << "+5" << "" << 0;
    }
    void leadingNumber()
    {
        QFETCH(QString, in);
        QFETCH(QString, value);
        QFETCH(int, used);
        qsizetype n = -1;
        const std::optional<Decimal> d = Decimal::parsePrefix(in, &n);
        QCOMPARE(d.has_value(), !value.isEmpty());
        if (d) {
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
        auto row = [](const char* name, const char* a, const char* op, const char* b, const char* e) {
            QTest::newRow(name) << QString::fromLatin1(a) << QString::fromLatin1(op) << QString::fromLatin1(b)
                                << QString::fromLatin1(e);
        };
        row("tenths add exactly", "0.1", "+", "0.2", "0.3");
        row("scale of a sum", "1.50", "+", "2", "3.50");
        row("product scale", "2.5", "*", "80", "200.0");
        row("carry past 38 digits", "99999999999999999999999999999999999999", "+", "1",
            "100000000000000000000000000000000000000");
        row("wide product rounds", "12345678901234567890", "*", "98765432109876543210",
            "1219326311370217952237463801111263526900");
        row("far apart stays", "1e100", "+", "1e-100", "1e100");
        row("far apart below", "1e100", "-", "1e-100", "1e100");
        row("quotient keeps scale", "1.00", "/", "4", "0.25");
        row("thirds", "1", "/", "3", "0.33333333333333333333333333333333333333");
        row("two thirds round up", "2", "/", "3", "0.66666666666666666666666666666666666667");
        row("divide by zero", "1", "/", "0", "NaN");
        row("largest fits", "9e1000", "*", "1e37", "9e1037");
        row("overflow", "9e1000", "*", "1e38", "NaN");
        row("overflow by sum", "99999999999999999999999999999999999999e1000", "+", "1e1000", "NaN");
        row("exact quotient at the top of the range", "1e15", "/", "1e-1000", "1e1015");
        row("underflow", "1e-1000", "*", "1e-1000", "0e-1000");
    }
    void arithmetic()
    {
        QFETCH(QString, a);
        QFETCH(QString, op);
        QFETCH(QString, b);
        QFETCH(QString, expected);
        const Decimal x = dec(a);
        const Decimal y = dec(b);
        const Decimal r = op == QLatin1String("+") ? x + y : op == QLatin1String("-") ? x - y
                        : op == QLatin1String("*") ? x * y : x / y;
        if (expected == QLatin1String("NaN")) {
            QVERIFY2(r.isNaN(), qPrintable(r.toString()));
            return;
        }
        if (expected.size() < 40 && !expected.contains(QLatin1Char('e')))
            QCOMPARE(r.toString(), expected); // the scale too
        QCOMPARE(r, dec(expected));
        QVERIFY(r.exponent() >= Decimal::kMinExponent && r.exponent() <= Decimal::kMaxExponent);
        QCOMPARE(qHash(r), qHash(dec(r.toString())));
    }

    void nanPropagates()
    {
        const Decimal n = Decimal::nan();
        QVERIFY((n + Decimal(1)).isNaN() && (Decimal(1) - n).isNaN() && (n * Decimal(0)).isNaN());
        QVERIFY((Decimal(0) / n).isNaN() && n.rounded(2, Decimal::Rounding::halfEven).isNaN());
        QVERIFY(!(n < Decimal(1)) && !(n > Decimal(1)) && n != Decimal(0));
        QVERIFY(std::isnan(n.toDouble()));
        QVERIFY(!Store::encode(QJsonObject{{QStringLiteral("v"), n.toJson()}})); // never written
    }

    void comparesByValue_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<int>("order");
        QTest::newRow("scale ignored") << "2" << "2.00" << 0;
        QTest::newRow("zeros") << "0" << "-0.000" << 0;
        QTest::newRow("exponent forms") << "1e3" << "1000.0" << 0;
        QTest::newRow("sign first") << "-1e100" << "1e-100" << -1;
        QTest::newRow("magnitude") << "1e20" << "99999999999999999999" << 1;
        QTest::newRow("same lead, longer") << "1.0000000000000000000000000000000000001" << "1" << 1;
    }
    void comparesByValue()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(int, order);
        QCOMPARE(sign(dec(a) <=> dec(b)), order);
        QCOMPARE(sign(dec(b) <=> dec(a)), -order);
        if (order == 0)
            QCOMPARE(qHash(dec(a)), qHash(dec(b)));
    }

    void rounding_data()
    {
        QTest::addColumn<QString>("in");
        QTest::addColumn<int>("places");
        QTest::addColumn<int>("mode"); // -1: toFixed(places)
        QTest::addColumn<QString>("out");
        const int away = int(Decimal::Rounding::halfAwayFromZero);
        const int even = int(Decimal::Rounding::halfEven);
        QTest::newRow("half up") << "2.345" << 2 << away << "2.35";
        QTest::newRow("carry into units") << "9.995" << 2 << away << "10.00";
        QTest::newRow("minus half a cent") << "-0.005" << 2 << away << "-0.01";
        QTest::newRow("below half") << "0.0049999" << 2 << away << "0.00";
        QTest::newRow("short unchanged") << "2.3" << 2 << away << "2.3";
        QTest::newRow("even down") << "2.345" << 2 << even << "2.34";
        QTest::newRow("even up") << "2.355" << 2 << even << "2.36";
        QTest::newRow("truncate") << "-2.349" << 2 << int(Decimal::Rounding::towardZero) << "-2.34";
        QTest::newRow("tiny") << "1e-500" << 2 << away << "0.00";
        QTest::newRow("to whole even") << "2.5" << 0 << even << "2";
        QTest::newRow("fixed pads") << "1234.5" << 2 << -1 << "1234.50";
        QTest::newRow("fixed half even") << "0.125" << 2 << -1 << "0.12";
        QTest::newRow("fixed rounds to zero") << "-0.001" << 2 << -1 << "0.00";
        QTest::newRow("fixed negative") << "-7.999" << 2 << -1 << "-8.00";
    }
    void rounding()
    {
        QFETCH(QString, in);
        QFETCH(int, places);
        QFETCH(int, mode);
        QFETCH(QString, out);
        const Decimal d = dec(in);
        QCOMPARE(mode < 0 ? d.toFixed(places) : d.rounded(places, Decimal::Rounding(mode)).toString(), out);
    }

    void doubles_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text"); // empty: refused
        QTest::newRow("tenth") << 0.1 << "0.1";
        QTest::newRow("sum of tenths") << 0.1 + 0.2 << "0.30000000000000004";
        QTest::newRow("large") << 1e300 << "1e+300";
        QTest::newRow("smallest") << 5e-324 << "5e-324";
        QTest::newRow("negative zero") << -0.0 << "0";
        QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN() << "";
        QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << "";
        QTest::newRow("minus infinity") << -std::numeric_limits<double>::infinity() << "";
    }
    void doubles()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        const std::optional<Decimal> d = Decimal::fromDouble(value);
        QCOMPARE(d.has_value(), !text.isEmpty());
        if (d) {
            QCOMPARE(*d, dec(text));
            QCOMPARE(d->toDouble(), value);
        }
    }

    void jsonRoundTrip_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("asNumber");
        QTest::newRow("ten cents") << "0.10" << true;
        QTest::newRow("negative half cent") << "-0.005" << true;
        QTest::newRow("big integer") << "9007199254740993" << false;
        QTest::newRow("whole double beyond 2^53") << "999999999999000000" << true;
        QTest::newRow("beyond double range") << "1e400" << false;
        QTest::newRow("too many digits for a double") << "0.1234567890123456789" << false;
        QTest::newRow("38 digits") << "1234567890123456789012345678.9012345678" << false;
    }
    void jsonRoundTrip()
    {
        QFETCH(QString, value);
        QFETCH(bool, asNumber);
        const Decimal d = dec(value);
        QCOMPARE(d.toJson().isDouble(), asNumber);
        QCOMPARE(throughFile(d), std::optional<Decimal>(d));
    }

    void jsonReading()
    {
        // Whole numbers beyond 2^53 in a file are read exactly.
        const std::optional<QJsonValue> v = Store::parse("{\"q\": 9007199254740993, \"r\": 0.3, \"s\": \"2.50\"}");
        QVERIFY(v);
        const QJsonObject o = v->toObject();
        QCOMPARE(*Decimal::fromJson(o.value(QStringLiteral("q"))), dec(QStringLiteral("9007199254740993")));
        QCOMPARE(*Decimal::fromJson(o.value(QStringLiteral("r"))), dec(QStringLiteral("0.3")));
        QCOMPARE(*Decimal::fromJson(o.value(QStringLiteral("s"))), dec(QStringLiteral("2.5")));
        for (const QJsonValue& bad : {QJsonValue(true), QJsonValue(), QJsonValue(QJsonValue::Undefined),
                                      QJsonValue(QStringLiteral("12 dollars")), QJsonValue(QJsonArray{1})})
            QVERIFY(!Decimal::fromJson(bad));
    }

    void integersConvertExactly()
    {
        QCOMPARE(Decimal(std::numeric_limits<qint64>::min()).toString(), QStringLiteral("-9223372036854775808"));
        QCOMPARE(Decimal(std::numeric_limits<quint64>::max()).toString(), QStringLiteral("18446744073709551615"));
        QCOMPARE(Decimal(std::numeric_limits<qint64>::min()) - Decimal(1), dec(QStringLiteral("-9223372036854775809")));
    }
};

QTEST_GUILESS_MAIN(DecimalTest)
#include "tst_decimal.moc"
