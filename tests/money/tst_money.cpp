#include "TestEnvironment.h"
#include "core/Store.h"
#include "money/InvoiceLine.h"
#include "money/Money.h"

#include <QTest>

namespace {

Decimal dec(const QString& text)
{
    const std::optional<Decimal> d = Decimal::fromString(text);
    if (!d)
        qFatal("bad decimal literal %s", qPrintable(text));
    return *d;
}

// "2 x 19.99; 1 x 5" -> lines.
QList<InvoiceLine> lines(const QString& text)
{
    QList<InvoiceLine> out;
    for (const QString& part : text.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QStringList qp = part.trimmed().split(QStringLiteral(" x "));
        out.append(InvoiceLine(QStringLiteral("item"), dec(qp.at(0)), dec(qp.at(1))));
    }
    return out;
}

} // namespace

class MoneyTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cents()
    {
        // Halves away from zero; two or fewer decimals stay as they are.
        QCOMPARE(Money::round(dec("-2.345")).toString(), QStringLiteral("-2.35"));
        QCOMPARE(Money::round(dec("7.5")).toString(), QStringLiteral("7.5"));
        // A line's amount is rounded to the cent the same way.
        auto amount = [](const char* q, const char* p) { return InvoiceLine(QStringLiteral("x"), dec(q), dec(p)).amount().toString(); };
        QCOMPARE(amount("1", "0.005"), QStringLiteral("0.01"));
        QCOMPARE(amount("1", "-0.005"), QStringLiteral("-0.01"));
        QCOMPARE(amount("1.5", "33.33"), QStringLiteral("50.00"));
    }

    void totals_data()
    {
        QTest::addColumn<QString>("lines");
        QTest::addColumn<QString>("discount");
        QTest::addColumn<QString>("tax");
        QTest::addColumn<QString>("shipping");
        QTest::addColumn<QString>("paid");
        QTest::addColumn<QString>("expected"); // subtotal discount taxable tax shipping total paid balance
        QTest::newRow("discount then tax") << "2 x 19.99; 1 x 5" << "10" << "8.25" << "0" << "0"
                                           << "44.98 4.50 40.48 3.34 0 43.82 0 43.82";
        QTest::newRow("part paid") << "2.5 x 80" << "0" << "0" << "12.5" << "100" << "200 0 200 0 12.50 212.50 100 112.50";
        QTest::newRow("each line rounded before adding") << "1 x 0.005; 1 x 0.005; 1 x 0.005" << "0" << "0" << "0"
                                                         << "0" << "0.03 0 0.03 0 0 0.03 0 0.03";
        QTest::newRow("tiny discount rounds away") << "1 x 0.15" << "3.3333" << "0" << "0" << "0"
                                                   << "0.15 0 0.15 0 0 0.15 0 0.15";
        QTest::newRow("overpaid") << "1 x 10" << "0" << "0" << "0" << "15.555" << "10 0 10 0 0 10 15.56 -5.56";
        QTest::newRow("discount above 100 %") << "1 x 10" << "150" << "10" << "0" << "0"
                                              << "10 15 -5 -0.50 0 -5.50 0 -5.50";
        QTest::newRow("negative line and shipping") << "-1 x 20; 1 x 5" << "0" << "0" << "-2.005" << "0"
                                                    << "-15 0 -15 0 -2.01 -17.01 0 -17.01";
    }
    void totals()
    {
        QFETCH(QString, lines);
        QFETCH(QString, discount);
        QFETCH(QString, tax);
        QFETCH(QString, shipping);
        QFETCH(QString, paid);
        QFETCH(QString, expected);
        const InvoiceTotals t = Money::totals(::lines(lines), dec(discount), dec(tax), dec(shipping), dec(paid));
        const QList<Decimal> got{t.subtotal, t.discount, t.taxable, t.tax, t.shipping, t.total, t.paid, t.balance};
        const QStringList want = expected.split(QLatin1Char(' '));
        for (int i = 0; i < 8; ++i)
            QVERIFY2(got.at(i) == dec(want.at(i)), qPrintable(QStringLiteral("figure %1: %2").arg(i).arg(got.at(i).toString())));
    }

    void nextNumber_data()
    {
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<qint64>("start");
        QTest::addColumn<QString>("expected"); // empty: nothing
        QTest::newRow("largest plus one") << "INV-" << QStringList{"INV-1001", "INV-1007", "RCPT-2000"} << qint64(1001)
                                          << "INV-1008";
        QTest::newRow("start wins") << "INV-" << QStringList{"INV-5"} << qint64(1001) << "INV-1001";
        QTest::newRow("digits anywhere") << "INV-" << QStringList{"INV-2024-07"} << qint64(1001) << "INV-202408";
        QTest::newRow("letters dropped") << "INV-" << QStringList{"INV-12a", "INV-a1b1c"} << qint64(1) << "INV-13";
        QTest::newRow("other script digits skip the text")
            << "INV-" << QStringList{QString::fromUtf8("INV-٣٠٠٠"), "INV-1001"} << qint64(1001) << "INV-1002";
        QTest::newRow("fraction sign skips the text")
            << "INV-" << QStringList{QString::fromUtf8("INV-5000½")} << qint64(1001) << "INV-1001";
        QTest::newRow("beyond 64 bits skipped")
            << "INV-" << QStringList{"INV-9223372036854775808", "INV-77"} << qint64(1) << "INV-78";
        QTest::newRow("maximum in use") << "INV-" << QStringList{"INV-9223372036854775807"} << qint64(1) << "";
        QTest::newRow("maximum start") << "INV-" << QStringList{} << std::numeric_limits<qint64>::max()
                                       << "INV-9223372036854775807";
        QTest::newRow("empty prefix matches all") << "" << QStringList{"A7", "B9"} << qint64(1) << "10";
    }
    void nextNumber()
    {
        QFETCH(QString, prefix);
        QFETCH(QStringList, existing);
        QFETCH(qint64, start);
        QFETCH(QString, expected);
        const std::optional<QString> got = Money::nextNumber(prefix, existing, start);
        if (expected.isEmpty())
            QVERIFY(!got);
        else
            QCOMPARE(got.value_or(QStringLiteral("<none>")), expected);
    }

    void format_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("symbol");
        QTest::addColumn<QString>("text");
        QTest::newRow("grouping") << "1234.5" << "$" << "$1,234.50";
        QTest::newRow("negative") << "-3" << "$" << "-$3.00";
        QTest::newRow("half to even down") << "2.345" << "$" << "$2.34";
        QTest::newRow("carry into grouping") << "999999.999" << "€" << "€1,000,000.00";
        QTest::newRow("sign from the value") << "-0.001" << "$" << "-$0.00";
        QTest::newRow("nan") << "NaN" << "$" << "$NaN";
    }
    void format()
    {
        QFETCH(QString, value);
        QFETCH(QString, symbol);
        QFETCH(QString, text);
        const Decimal d = value == QLatin1String("NaN") ? Decimal::nan() : dec(value);
        QCOMPARE(Money::format(d, symbol), text);
    }

    void parse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("value"); // empty: nothing
        QTest::newRow("currency and grouping") << "$1,250.75" << "1250.75";
        QTest::newRow("parentheses") << "(12.50)" << "12.50";
        QTest::newRow("second point") << "1.2.3" << "1.2";
        QTest::newRow("letter dropped") << "1e5" << "15";
        QTest::newRow("no digits") << "abc" << "";
        QTest::newRow("other script digits") << QString::fromUtf8("٣٤.٥") << "34.5";
        QTest::newRow("fraction sign ends") << QString::fromUtf8("1½") << "1";
        QTest::newRow("wide digits") << QString::fromUtf8("\U0001D7D9\U0001D7DA") << "12";
        QTest::newRow("long") << "123456789012345678901234567890123456789012" << "1.2345678901234567890123456789012345679e+41";
    }
    void parse()
    {
        QFETCH(QString, text);
        QFETCH(QString, value);
        const std::optional<Decimal> d = Money::parse(text);
        if (value.isEmpty()) {
            QVERIFY(!d);
        } else {
            QVERIFY(d);
            QCOMPARE(*d, dec(value));
        }
    }

    void lineJsonRoundTrip()
    {
        for (const InvoiceLine& line : {InvoiceLine(QStringLiteral("Widget \"deluxe\""), dec("3"), dec("0.10")),
                                        InvoiceLine(QStringLiteral("precise"), dec("0.3333333333333333333"),
                                                    dec("12345678901234567.5"))}) {
            const std::optional<QByteArray> text = Store::encode(line.toJson());
            QVERIFY(text);
            const std::optional<InvoiceLine> back = InvoiceLine::fromJson(*Store::parse(*text));
            QVERIFY(back);
            QCOMPARE(*back, line);
            QCOMPARE(back->amount(), line.amount());
        }
    }

    void lineJsonIsStrict_data()
    {
        QTest::addColumn<QByteArray>("json");
        const QByteArray id = "\"id\": \"6F9619FF-8B86-D011-B42D-00CF4FC964FF\"";
        QTest::newRow("complete") << "{" + id + ", \"description\": \"a\", \"quantity\": 1, \"unitPrice\": 2.5}";
        QTest::newRow("no id") << QByteArray("{\"description\": \"a\", \"quantity\": 1, \"unitPrice\": 2.5}");
        QTest::newRow("no price") << "{" + id + ", \"description\": \"a\", \"quantity\": 1}";
        QTest::newRow("price as bool") << "{" + id + ", \"description\": \"a\", \"quantity\": 1, \"unitPrice\": true}";
        QTest::newRow("bad uuid") << QByteArray("{\"id\": \"nope\", \"description\": \"a\", \"quantity\": 1, \"unitPrice\": 2.5}");
        QTest::newRow("not an object") << QByteArray("[1]");
    }
    void lineJsonIsStrict()
    {
        QFETCH(QByteArray, json);
        const std::optional<InvoiceLine> line = InvoiceLine::fromJson(*Store::parse(json));
        QCOMPARE(bool(line), QByteArray(QTest::currentDataTag()) == "complete");
    }

    void lineEqualityByValue()
    {
        InvoiceLine a(QStringLiteral("x"), dec("2"), dec("1.5"));
        InvoiceLine b = a;
        b.quantity = dec("2.00");
        b.unitPrice = dec("1.50");
        QCOMPARE(a, b);
        QCOMPARE(qHash(a), qHash(b));
        const InvoiceLine c(QStringLiteral("x"), dec("2"), dec("1.5"));
        QVERIFY(c.id != a.id);
        QVERIFY(!(c == a));
    }
};

QTEST_GUILESS_MAIN(MoneyTest)
#include "tst_money.moc"
