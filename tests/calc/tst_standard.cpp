#include "TestEnvironment.h"
#include "calc/CalculatorModel.h"
#include "calc/NumberFormat.h"
#include "calc/StandardCalculator.h"

#include <QSignalSpy>
#include <QTest>

class StandardTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void keys_data();
    void keys();
    void digitLimit();
    void errorState_data();
    void errorState();
    void memory_data();
    void memory();
    void runningValue();
    void backspaceOnlyWhileTyping();
    void percentAndSign_data();
    void percentAndSign();
    void paste_data();
    void paste();
    void pasteKeepsMemory();
    void copyFlashes();
};

// Keys are written as one string, separated by spaces.
static QStringList keySeq(const char* text)
{
    return QString::fromUtf8(text).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

void StandardTest::keys_data()
{
    QTest::addColumn<QString>("sequence");
    QTest::addColumn<QString>("display");
    QTest::addColumn<QString>("line");

    QTest::newRow("add") << "2 + 3 =" << "5" << "2 + 3 =";
    QTest::newRow("precedence") << "2 + 3 × 4 =" << "14" << "2 + 3 × 4 =";
    QTest::newRow("divide") << "1 0 ÷ 4 =" << "2.5" << "10 ÷ 4 =";
    QTest::newRow("binary fraction") << "0 . 1 + 0 . 2 =" << "0.3" << "0.1 + 0.2 =";
    QTest::newRow("negative result") << "5 - 8 =" << "-3" << "5 - 8 =";
    QTest::newRow("negative operand") << "5 ± × 3 =" << "-15" << "-5 × 3 =";
    QTest::newRow("minus negative") << "5 - 3 ± =" << "8" << "5 - -3 =";
    QTest::newRow("ascii operators") << "6 * 7 / 2 =" << "21" << "6 × 7 ÷ 2 =";
    QTest::newRow("return key") << "2 + 2 \r" << "4" << "2 + 2 =";
    QTest::newRow("enter key") << "2 + 2 Enter" << "4" << "2 + 2 =";
    QTest::newRow("operator replacement") << "2 + × 3 =" << "6" << "2 × 3 =";
    QTest::newRow("operator first uses 0") << "+ 5 =" << "5" << "0 + 5 =";
    QTest::newRow("repeated equals") << "2 + 3 = =" << "8" << "5 + 3 =";
    QTest::newRow("repeated equals thrice") << "2 × 3 = = =" << "54" << "18 × 3 =";
    QTest::newRow("new number after result") << "2 + 3 = 4 =" << "4" << "";
    QTest::newRow("continue from result") << "2 + 3 = × 2 =" << "10" << "5 × 2 =";
    QTest::newRow("operand doubled") << "2 + =" << "4" << "2 + 2 =";
    QTest::newRow("lone number equals") << "5 =" << "5" << "";
    QTest::newRow("double point") << "1 . . 5" << "1.5" << "";
    QTest::newRow("point starts number") << ". 5 + 1 =" << "1.5" << "0.5 + 1 =";
    QTest::newRow("clear entry keeps chain") << "2 + 9 CE 3 =" << "5" << "2 + 3 =";
    QTest::newRow("backspace") << "1 2 3 ⌫" << "12" << "";
    QTest::newRow("backspace to zero") << "7 ⌫ ⌫" << "0" << "";
    QTest::newRow("DEL alias") << "4 5 DEL" << "4" << "";
    QTest::newRow("all clear") << "2 + 3 AC" << "0" << "";
    QTest::newRow("unknown keys ignored") << "2 sin + ( 3 =" << "5" << "2 + 3 =";
    QTest::newRow("big product") << "9 9 9 9 9 9 9 × 9 9 9 9 9 9 9 9 =" << "999999890000001" << "9999999 × 99999999 =";
}

void StandardTest::keys()
{
    QFETCH(QString, sequence);
    QFETCH(QString, display);
    QFETCH(QString, line);
    StandardCalculator c;
    c.inputSequence(keySeq(sequence.toUtf8().constData()));
    QCOMPARE(c.display, display);
    if (!line.isEmpty())
        QCOMPARE(c.expressionLine, line);
    QVERIFY(!c.isError);
}

void StandardTest::digitLimit()
{
    StandardCalculator c;
    for (int i = 0; i < 17; ++i)
        c.input(QString::number((i % 9) + 1));
    QCOMPARE(StandardCalculator::digitCount(c.display), 16);
    QCOMPARE(c.display, QStringLiteral("1234567891234567"));

    // Sign and point do not count towards the limit.
    StandardCalculator d;
    d.inputSequence(keySeq("0 . 1 2 3 4 5 6 7 8 9 0 1 2 3 4 5 6 7"));
    QCOMPARE(d.display, QStringLiteral("0.123456789012345"));
    d.input(QStringLiteral("±"));
    d.input(QStringLiteral("9"));
    QCOMPARE(d.display, QStringLiteral("-0.123456789012345"));
}

void StandardTest::errorState_data()
{
    QTest::addColumn<QString>("sequence");
    QTest::addColumn<QString>("display");
    QTest::addColumn<bool>("isError");

    QTest::newRow("divide by zero") << "9 ÷ 0 =" << "Cannot divide by zero" << true;
    QTest::newRow("clear leaves error") << "9 ÷ 0 = C" << "0" << false;
    QTest::newRow("operator ignored") << "9 ÷ 0 = +" << "Cannot divide by zero" << true;
    QTest::newRow("equals ignored") << "9 ÷ 0 = = =" << "Cannot divide by zero" << true;
    QTest::newRow("memory ignored") << "9 ÷ 0 = M+ MR" << "Cannot divide by zero" << true;
    QTest::newRow("digit restarts") << "9 ÷ 0 = 7" << "7" << false;
    QTest::newRow("point restarts") << "9 ÷ 0 = . 5" << "0.5" << false;
    QTest::newRow("CE resets") << "9 ÷ 0 = CE" << "0" << false;
    QTest::newRow("overflow is Error") << "9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 × = = = = = = = = = = = = = = = = = = = = = ="
                                      << "Error" << true;
    QTest::newRow("running value failure is silent") << "9 ÷ 0 +" << "0" << false;
}

void StandardTest::errorState()
{
    QFETCH(QString, sequence);
    QFETCH(QString, display);
    QFETCH(bool, isError);
    StandardCalculator c;
    c.inputSequence(keySeq(sequence.toUtf8().constData()));
    QCOMPARE(c.display, display);
    QCOMPARE(c.isError, isError);
}

void StandardTest::memory_data()
{
    QTest::addColumn<QString>("sequence");
    QTest::addColumn<QString>("display");
    QTest::addColumn<bool>("hasMemory");
    QTest::addColumn<double>("memory");

    QTest::newRow("recall") << "7 M+ C MR" << "7" << true << 7.0;
    QTest::newRow("subtract") << "7 M+ 2 M- MR" << "5" << true << 5.0;
    QTest::newRow("clear") << "7 M+ MC" << "7" << false << 0.0;
    QTest::newRow("recall without memory") << "7 MR" << "7" << false << 0.0;
    QTest::newRow("store") << "7 M+ 3 MS C MR" << "3" << true << 3.0;
    QTest::newRow("memory survives C") << "4 M- C" << "0" << true << -4.0;
    QTest::newRow("recall as operand") << "6 M+ C 2 × MR =" << "12" << true << 6.0;
    QTest::newRow("digit after M+ starts new number") << "5 M+ 3" << "3" << true << 5.0;
}

void StandardTest::memory()
{
    QFETCH(QString, sequence);
    QFETCH(QString, display);
    QFETCH(bool, hasMemory);
    QFETCH(double, memory);
    StandardCalculator c;
    c.inputSequence(keySeq(sequence.toUtf8().constData()));
    QCOMPARE(c.display, display);
    QCOMPARE(c.hasMemory, hasMemory);
    QCOMPARE(c.memory, memory);
}

void StandardTest::runningValue()
{
    StandardCalculator c;
    c.inputSequence(keySeq("3 + 4 ×"));
    QCOMPARE(c.display, QStringLiteral("7"));
    QCOMPARE(c.expressionLine, QStringLiteral("3 + 4 ×"));
    // The chain still honours precedence: 3 + 4 × 2 = 11, not 14.
    c.inputSequence(keySeq("2 ="));
    QCOMPARE(c.display, QStringLiteral("11"));
}

void StandardTest::backspaceOnlyWhileTyping()
{
    StandardCalculator c;
    c.inputSequence(keySeq("1 2 + 3 4 = ⌫"));
    QCOMPARE(c.display, QStringLiteral("46"));
    StandardCalculator d;
    d.inputSequence(keySeq("5 ± ⌫"));
    QCOMPARE(d.display, QStringLiteral("0"));
}

void StandardTest::percentAndSign_data()
{
    QTest::addColumn<QString>("sequence");
    QTest::addColumn<QString>("display");

    QTest::newRow("percent") << "5 0 %" << "0.5";
    QTest::newRow("percent of chain operand only") << "2 0 0 + 1 0 % =" << "200.1";
    QTest::newRow("sign of zero") << "±" << "0";
    QTest::newRow("sign twice") << "8 ± ±" << "8";
    QTest::newRow("sign of result") << "2 + 3 = ± + 1 =" << "-4";
    QTest::newRow("digit after percent starts over") << "5 % 7" << "7";
}

void StandardTest::percentAndSign()
{
    QFETCH(QString, sequence);
    QFETCH(QString, display);
    StandardCalculator c;
    c.inputSequence(keySeq(sequence.toUtf8().constData()));
    QCOMPARE(c.display, display);
}

void StandardTest::paste_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("display");   // empty: the paste is ignored

    QTest::newRow("grouping") << "1,234.5" << "1234.5";
    QTest::newRow("negative") << "-42" << "-42";
    QTest::newRow("negative fraction") << "-3.5" << "-3.5";
    QTest::newRow("surrounding white space") << "  \t7\n" << "7";
    QTest::newRow("plus sign") << "+5" << "5";
    QTest::newRow("exponent") << "1e5" << "100000";
    QTest::newRow("exponent upper case") << "2.5E3" << "2500";
    QTest::newRow("negative exponent") << "1.5e-3" << "0.0015";
    QTest::newRow("exponent with sign") << "-4e+2" << "-400";
    QTest::newRow("exponent moves point inside") << "123.456e1" << "1234.56";
    QTest::newRow("sixteen digits") << "1234567890123456" << "1234567890123456";
    QTest::newRow("largest keyable power") << "1e15" << "1000000000000000";
    QTest::newRow("leading zeros") << "007" << "7";
    QTest::newRow("trailing point") << "5." << "5";
    QTest::newRow("leading point") << ".25" << "0.25";
    QTest::newRow("zero with huge exponent") << "0e99999999999999999999" << "0";
    QTest::newRow("negative zero") << "-0" << "0";
    QTest::newRow("not a number") << "hello" << "";
    QTest::newRow("empty") << "" << "";
    QTest::newRow("lone point") << "." << "";
    QTest::newRow("dangling exponent") << "1e" << "";
    QTest::newRow("two points") << "1.2.3" << "";
    QTest::newRow("inner space") << "1 234" << "";
    QTest::newRow("hexadecimal") << "0x10" << "";
    QTest::newRow("infinity") << "inf" << "";
    QTest::newRow("nan") << "nan" << "";
    QTest::newRow("seventeen digits") << "12345678901234567" << "";
    QTest::newRow("too large for the keys") << "1e16" << "";
    QTest::newRow("too small for the keys") << "1e-20" << "";
    QTest::newRow("overflowing exponent") << "1e999999999999999999" << "";
    QTest::newRow("long fraction") << "3.14159265358979323846" << "";
}

void StandardTest::paste()
{
    QFETCH(QString, text);
    QFETCH(QString, display);
    CalculatorModel m;
    m.input(QStringLiteral("2"));
    m.input(QStringLiteral("+"));
    m.input(QStringLiteral("9"));
    const bool entered = m.paste(text);
    QCOMPARE(entered, !display.isEmpty());
    if (display.isEmpty()) {
        // Ignored: the calculator is untouched.
        QCOMPARE(m.display(), QStringLiteral("9"));
        QCOMPARE(m.expressionLine(), QStringLiteral("2 +"));
    } else {
        QCOMPARE(m.display(), display);
        QCOMPARE(m.expressionLine(), QString());
        // The pasted number is an operand like a typed one.
        m.input(QStringLiteral("×"));
        m.input(QStringLiteral("1"));
        m.input(QStringLiteral("="));
        QVERIFY(!m.calc().isError);
        QCOMPARE(m.display(), NumberFormat::display(display.toDouble(), 12));
    }
}

void StandardTest::pasteKeepsMemory()
{
    CalculatorModel m;
    m.input(QStringLiteral("8"));
    m.input(QStringLiteral("M+"));
    QVERIFY(m.paste(QStringLiteral("3")));
    QCOMPARE(m.display(), QStringLiteral("3"));
    QVERIFY(m.hasMemory());
    QCOMPARE(m.calc().memory, 8.0);
}

void StandardTest::copyFlashes()
{
    CalculatorModel m;
    m.input(QStringLiteral("1"));
    m.input(QStringLiteral("5"));
    QSignalSpy spy(&m, &CalculatorModel::flashChanged);
    QCOMPARE(m.copy(), QStringLiteral("15"));
    QCOMPARE(m.flash(), std::optional<QString>(QStringLiteral("Copied 15")));
    QTRY_VERIFY_WITH_TIMEOUT(!m.flash().has_value(), 3000);
    QCOMPARE(spy.count(), 2);
}

QTEST_GUILESS_MAIN(StandardTest)
#include "tst_standard.moc"
