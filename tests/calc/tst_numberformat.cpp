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
        row("minus zero", -0.0, "0");
        // whole values below 1e15: every digit
        row("fifteen nines", 999999999999999.0, "999999999999999");
        row("whole with few digits", 1234567890123.0, "1234567890123", 4);
        // whole values from 1e15 on
        row("1e15", 1e15, "1e15");
        row("sixteen digits", 1234567890123456.0, "1.23456789012e15");
        // fractions
        row("0.1 + 0.2", 0.1 + 0.2, "0.3");
        row("a third", 1.0 / 3, "0.333333333333");
        row("fraction near 1e15", 999999999999999.9, "1e15");
        row("fraction rounds to whole", 0.9999999999999999, "1");
        row("fraction rounds up a digit", 99999999999.99999, "100000000000");
        row("large fraction becomes exponent", 1234567890123.4, "1.23456789012e12");
        // exponents
        row("1.5e-7", 1.5e-7, "1.5e-7");
        row("denormal", 5e-324, "4.94065645841e-324");
        // the converter's ten digits
        row("ten digits mixed", 12345.678901234, "12345.6789", 10);
        row("ten digits small", 0.000000123456789123, "1.234567891e-7", 10);
        // precision edge values never fail
        row("precision 0 means 1", 1.0 / 3, "0.3", 0);
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
