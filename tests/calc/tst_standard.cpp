#include "TestEnvironment.h"
#include "calc/CalculatorModel.h"
#include "calc/NumberFormat.h"
#include "calc/StandardCalculator.h"

#include <QTest>

class StandardTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void keys_data()
    {
        QTest::addColumn<QString>("sequence"); // keys separated by spaces
        QTest::addColumn<QString>("display");
        QTest::addColumn<QString>("line");     // empty: not checked
        QTest::addColumn<bool>("isError");
        QTest::addColumn<QString>("memory");   // empty: no memory

        auto row = [](const char* name, const char* keys, const char* display, const char* line = "",
                      bool error = false, const char* memory = "") {
            QTest::newRow(name) << QString::fromUtf8(keys) << QString::fromUtf8(display) << QString::fromUtf8(line)
                                << error << QString::fromUtf8(memory);
        };
        row("precedence", "2 + 3 × 4 =", "14", "2 + 3 × 4 =");
        row("binary fraction", "0 . 1 + 0 . 2 =", "0.3", "0.1 + 0.2 =");
        row("negative operand", "5 ± × 3 =", "-15", "-5 × 3 =");
        row("minus negative", "5 - 3 ± =", "8", "5 - -3 =");
        row("ascii operators", "6 * 7 / 2 =", "21", "6 × 7 ÷ 2 =");
        row("return key", "2 + 2 \r", "4", "2 + 2 =");
        row("enter key", "2 + 2 Enter", "4", "2 + 2 =");
        row("operator replacement", "2 + × 3 =", "6", "2 × 3 =");
        row("operator first uses 0", "+ 5 =", "5", "0 + 5 =");
        row("repeated equals", "2 + 3 = =", "8", "5 + 3 =");
        row("new number after result", "2 + 3 = 4 =", "4");
        row("continue from result", "2 + 3 = × 2 =", "10", "5 × 2 =");
        row("operand doubled", "2 + =", "4", "2 + 2 =");
        // The running value shows, and the chain still honours precedence.
        row("running value", "3 + 4 ×", "7", "3 + 4 ×");
        row("running value then precedence", "3 + 4 × 2 =", "11");
        row("double point", "1 . . 5", "1.5");
        row("clear entry keeps chain", "2 + 9 CE 3 =", "5", "2 + 3 =");
        row("backspace", "1 2 3 ⌫", "12");
        row("DEL alias", "4 5 DEL", "4");
        row("backspace leaves a result", "1 2 + 3 4 = ⌫", "46");
        row("backspace after sign", "5 ± ⌫", "0");
        row("all clear", "2 + 3 AC", "0");
        row("unknown keys ignored", "2 sin + ( 3 =", "5", "2 + 3 =");
        row("percent", "5 0 %", "0.5");
        row("percent of chain operand only", "2 0 0 + 1 0 % =", "200.1", "200 + 0.1 =");
        row("digit after percent starts over", "5 % 7", "7");
        row("sign of zero", "±", "0");
        row("sign of result", "2 + 3 = ± + 1 =", "-4", "-5 + 1 =");
        row("big product", "9 9 9 9 9 9 9 × 9 9 9 9 9 9 9 9 =", "999999890000001", "9999999 × 99999999 =");
        // Sixteen digits at most; sign and point do not count.
        row("digit limit", "1 2 3 4 5 6 7 8 9 1 2 3 4 5 6 7 8", "1234567891234567");
        row("digit limit with point and sign", "0 . 1 2 3 4 5 6 7 8 9 0 1 2 3 4 5 6 7 ± 9", "-0.123456789012345");
        // Errors: only clear, a digit or CE leaves them.
        row("divide by zero", "9 ÷ 0 =", "Cannot divide by zero", "", true);
        row("clear leaves error", "9 ÷ 0 = C", "0");
        row("operator ignored", "9 ÷ 0 = +", "Cannot divide by zero", "", true);
        row("memory ignored", "9 ÷ 0 = M+ MR", "Cannot divide by zero", "", true);
        row("digit restarts", "9 ÷ 0 = 7", "7");
        row("CE resets", "9 ÷ 0 = CE", "0");
        row("overflow is Error", "9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 × = = = = = = = = = = = = = = = = = = = = = =",
            "Error", "", true);
        row("running value failure is silent", "9 ÷ 0 +", "0");
        // Memory.
        row("recall", "7 M+ C MR", "7", "", false, "7");
        row("subtract", "7 M+ 2 M- MR", "5", "", false, "5");
        row("memory clear", "7 M+ MC", "7");
        row("recall without memory", "7 MR", "7");
        row("store", "7 M+ 3 MS C MR", "3", "", false, "3");
        row("recall as operand", "6 M+ C 2 × MR =", "12", "", false, "6");
        row("digit after M+ starts new number", "5 M+ 3", "3", "", false, "5");
    }
    void keys()
    {
        QFETCH(QString, sequence);
        QFETCH(QString, display);
        QFETCH(QString, line);
        QFETCH(bool, isError);
        QFETCH(QString, memory);
        StandardCalculator c;
        c.inputSequence(sequence.split(QLatin1Char(' '), Qt::SkipEmptyParts));
        QCOMPARE(c.display, display);
        if (!line.isEmpty())
            QCOMPARE(c.expressionLine, line);
        QCOMPARE(c.isError, isError);
        QCOMPARE(c.hasMemory, !memory.isEmpty());
        if (!memory.isEmpty())
            QCOMPARE(c.memory, memory.toDouble());
    }

    void paste_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("display");   // empty: the paste is ignored

        QTest::newRow("grouping") << "1,234.5" << "1234.5";
        QTest::newRow("negative") << "-42" << "-42";
        QTest::newRow("surrounding white space") << "  \t7\n" << "7";
        QTest::newRow("exponent") << "1e5" << "100000";
        QTest::newRow("negative exponent") << "1.5e-3" << "0.0015";
        QTest::newRow("exponent moves point inside") << "123.456e1" << "1234.56";
        QTest::newRow("sixteen digits") << "1234567890123456" << "1234567890123456";
        QTest::newRow("largest keyable power") << "1e15" << "1000000000000000";
        QTest::newRow("zero with huge exponent") << "0e99999999999999999999" << "0";
        QTest::newRow("negative zero") << "-0" << "0";
        QTest::newRow("not a number") << "hello" << "";
        QTest::newRow("inner space") << "1 234" << "";
        QTest::newRow("infinity") << "inf" << "";
        QTest::newRow("seventeen digits: the first sixteen") << "12345678901234567" << "1234567890123456";
        QTest::newRow("too large for the keys") << "1e16" << "";
        QTest::newRow("too small for the keys: the zeros that fit") << "1e-20" << "0.000000000000000";
        QTest::newRow("overflowing exponent") << "1e999999999999999999" << "";
        QTest::newRow("below the smallest double") << "1e-400" << "";
        QTest::newRow("above the largest double") << "-1.8e308" << "";
        QTest::newRow("long fraction: first sixteen digits") << "3.14159265358979323846" << "3.141592653589793";
        QTest::newRow("long fraction below one") << "0.12345678901234567" << "0.123456789012345";
        QTest::newRow("long fraction after exponent") << "1.23456789012345678e10" << "12345678901.23456";
        QTest::newRow("sixteen whole digits, fraction dropped") << "1234567890123456.78" << "1234567890123456";
        QTest::newRow("exponent leaves sixteen whole digits") << "1.2345678901234567e15" << "1234567890123456";
        QTest::newRow("negative long fraction") << "-2.718281828459045235" << "-2.718281828459045";
        QTest::newRow("seventeen whole digits with fraction") << "12345678901234567.5" << "1234567890123456";
        QTest::newRow("twenty digits") << "12345678901234567890" << "1234567890123456";
        QTest::newRow("beyond what a number holds") << "1e400" << "";
        QTest::newRow("below what a number holds") << "1e-400" << "";
        // Written digits are keyed as they stand.
        QTest::newRow("trailing fraction zeros kept") << "1.50" << "1.50";
        QTest::newRow("trailing point kept") << "5." << "5.";
        QTest::newRow("zero with a fraction") << "-0.0" << "-0.0";
        QTest::newRow("leading zeros collapse") << "007.25" << "7.25";
        QTest::newRow("bare fraction") << "-.5" << "-0.5";
        QTest::newRow("many leading zeros do not count") << "0000000000000000000.5" << "0.5";
    }
    void paste()
    {
        QFETCH(QString, text);
        QFETCH(QString, display);
        CalculatorModel m;
        for (const char* k : {"8", "M+", "2", "+", "9"})
            m.input(QString::fromUtf8(k));
        QCOMPARE(m.paste(text), !display.isEmpty());
        QCOMPARE(m.calc().memory, 8.0); // a paste never touches the memory
        if (display.isEmpty()) {
            // Ignored: the calculator is untouched.
            QCOMPARE(m.display(), QStringLiteral("9"));
            QCOMPARE(m.expressionLine(), QStringLiteral("2 +"));
        } else {
            QCOMPARE(m.display(), display);
            QCOMPARE(m.expressionLine(), QString());
            // The pasted number is an operand like a typed one.
            for (const char* k : {"×", "1", "="})
                m.input(QString::fromUtf8(k));
            QVERIFY(!m.calc().isError);
            QCOMPARE(m.display(), NumberFormat::display(display.toDouble(), 12));
        }
    }

};

QTEST_GUILESS_MAIN(StandardTest)
#include "tst_standard.moc"
