#include "TestEnvironment.h"
#include "calc/NumberFormat.h"

#include <QLocale>
#include <QTest>
#include <cmath>
#include <limits>

class NumberFormatTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void display_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("maxSig");
        QTest::addColumn<QString>("expected");

        const double inf = std::numeric_limits<double>::infinity();
        auto row = [](const char* name, double v, const char* text, int maxSig = 12) {
            QTest::newRow(name) << v << maxSig << QString::fromUtf8(text);
        };
        // not numbers, zero
        row("nan", std::nan(""), "Error");
        row("infinity", inf, "∞");
        row("minus infinity", -inf, "-∞");
        row("zero", 0.0, "0");
        row("minus zero", -0.0, "0");
        // whole values below 1e15: every digit
        row("minus seven", -7.0, "-7");
        row("fifteen nines", 999999999999999.0, "999999999999999");
        row("fifteen digits negative", -123456789012345.0, "-123456789012345");
        row("whole beyond maxSig digits", 1234567890123.0, "1234567890123");
        row("whole with few digits", 1234567890123.0, "1234567890123", 4);
        // whole values from 1e15 on
        row("1e15", 1e15, "1e15");
        row("minus 1e15", -1e15, "-1e15");
        row("sixteen digits", 1234567890123456.0, "1.23456789012e15");
        row("1e20", 1e20, "1e20");
        row("largest double", std::numeric_limits<double>::max(), "1.79769313486e308");
        // fractions
        row("0.1 + 0.2", 0.1 + 0.2, "0.3");
        row("2.5", 2.5, "2.5");
        row("a third", 1.0 / 3, "0.333333333333");
        row("two thirds", 2.0 / 3, "0.666666666667");
        row("big fraction", 1234.5678, "1234.5678");
        row("fraction above 1e15", 1e15 + 0.5, "1e15");
        row("fraction near 1e15", 999999999999999.9, "1e15");
        row("fraction rounds to whole", 0.9999999999999999, "1");
        row("fraction rounds up a digit", 99999999999.99999, "100000000000");
        row("large fraction becomes exponent", 1234567890123.4, "1.23456789012e12");
        row("small", 0.0001, "0.0001");
        row("small with digits", 0.00012345, "0.00012345");
        row("negative fraction", -100.5, "-100.5");
        // exponents
        row("1.5e-7", 1.5e-7, "1.5e-7");
        row("minus 1.5e-7", -1.5e-7, "-1.5e-7");
        row("1e-5", 1e-5, "1e-5");
        row("tiny", 1.23456789012345e-300, "1.23456789012e-300");
        row("2.5e100", 2.5e100, "2.5e100");
        row("denormal", 5e-324, "4.94065645841e-324");
        // the converter's ten digits
        row("ten digits third", 1.0 / 3, "0.3333333333", 10);
        row("ten digits two thirds", 2.0 / 3, "0.6666666667", 10);
        row("ten digits mixed", 12345.678901234, "12345.6789", 10);
        row("ten digits exponent", 6.02214076e23, "6.02214076e23", 10);
        row("ten digits small", 0.000000123456789123, "1.234567891e-7", 10);
        // precision edge values never fail
        row("precision 0 means 1", 1.0 / 3, "0.3", 0);
        row("negative precision", 1.0 / 3, "0.3", -5);
        row("huge precision", 0.1, "0.1000000000000000055511151231257827021181583404541015625", 100000);
    }

    void display()
    {
        QFETCH(double, value);
        QFETCH(int, maxSig);
        QFETCH(QString, expected);
        QCOMPARE(NumberFormat::display(value, maxSig), expected);
    }

    // The point is always ".", whatever the user's locale.
    void ignoresLocale()
    {
        const QLocale before;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QCOMPARE(NumberFormat::display(2.5, 12), QStringLiteral("2.5"));
        QCOMPARE(NumberFormat::display(1234567.0, 12), QStringLiteral("1234567"));
        QLocale::setDefault(before);
    }
};

QTEST_GUILESS_MAIN(NumberFormatTest)
#include "tst_numberformat.moc"
