// Self-test suites of the expression engine and the number display rules.
#include "calc/ExpressionEvaluator.h"
#include "calc/NumberFormat.h"
#include "selftest/SelfTest.h"

#include <cmath>
#include <limits>

namespace {

// The result text as a calculator shows it: the value at 12 digits, or the
// error's description.
QString shown(const QString& text, AngleMode mode = AngleMode::radians, QHash<QString, double> vars = {})
{
    const ExpressionEvaluator ev{mode, std::move(vars)};
    const ExprResult<double> r = ev.evaluate(text);
    return r ? NumberFormat::display(r.value(), 12) : r.error().description();
}

SelfTest::Suite engineSuite("Expression engine", [](SelfTest::Check& c) {
    struct Case {
        const char* text;
        const char* expected;
    };
    static const Case radians[] = {
        {"2+3*4", "14"},
        {"(2+3)*4", "20"},
        {"2^3^2", "512"},
        {"-2^2", "-4"},
        {"2^-1", "0.5"},
        {"--2", "2"},
        {"-3!", "-6"},
        {"2^3!", "64"},
        {"2pi", "6.28318530718"},
        {"3(4+1)", "15"},
        {"(1+1)(2+2)", "8"},
        {"2!3", "6"},
        {"50%", "0.5"},
        {"1.5e3+1", "1501"},
        {"2e", "5.43656365692"},
        {"1e5.5", "50000"},
        {"2×3÷4−1", "0.5"},
        {"√9+3²", "12"},
        {"sqrt(16)+cbrt(27)", "7"},
        {"root(-8,3)", "-2"},
        {"(-8)^(1/3)", "-2"},
        {"log(8,2)", "3"},
        {"ln(e)", "1"},
        {"ncr(5,2)+npr(5,2)", "30"},
        {"abs(-3)+floor(2.7)+ceil(2.1)", "8"},
        {"sin(pi/2)", "1"},
        {"atan(1)", "0.785398163397"},
        {"", "Syntax error: empty expression"},
        {"2)", "Syntax error: unexpected input"},
        {"1/0 + &", "Syntax error: unexpected '&'"},
        {"1.2.3", "Syntax error: bad number 1.2.3"},
        {"2+", "Syntax error: expression ends too early"},
        {"*2", "Syntax error: unexpected symbol"},
        {"(2+3", "Syntax error: missing )"},
        {"sin()", "Syntax error: sin() needs a value"},
        {"SIN(1,2)", "Syntax error: sin takes 1 value"},
        {"root(8)", "Syntax error: root(x, n) takes 2 values"},
        {"ncr(5)", "Syntax error: ncr(n, r) takes 2 values"},
        {"foo(2)", "Unknown name: foo"},
        {"e2", "Unknown name: e2"},
        {"1/0 + foo", "Cannot divide by zero"},
        {"0^-1", "Cannot divide by zero"},
        {"(-8)^(2/3)", "Math error: fractional power of a negative number"},
        {"2.5!", "Math error: factorial needs a whole number ≥ 0"},
        {"171!", "Math error: overflow"},
        {"10^400", "Math error: overflow"},
        {"1e999-1e999", "Math error: undefined result"},
        {"sqrt(-1)", "Math error: square root of a negative number"},
        {"arcsin(2)", "Math error: asin needs -1…1"},
        {"root(-8,2)", "Math error: even root of a negative number"},
        {"npr(2,5)", "Math error: bad n, r"},
        // Whole numbers beyond 64 bits have no parity to test: they count as
        // even, never as a crash.
        {"(-8)^(1e-30)", "Math error: fractional power of a negative number"},
        {"root(-8, 1e30)", "Math error: even root of a negative number"},
    };
    for (const Case& k : radians) {
        const QString text = QString::fromUtf8(k.text);
        c.equal(shown(text), QString::fromUtf8(k.expected), text);
    }

    static const Case degrees[] = {
        {"sin(30)", "0.5"},
        {"cos(60)", "0.5"},
        {"tan(45)", "1"},
        {"sin(180)", "0"},
        {"asin(1)", "90"},
        {"tan(90)", "Math error: tan is undefined here"},
    };
    for (const Case& k : degrees) {
        const QString text = QString::fromUtf8(k.text);
        c.equal(shown(text, AngleMode::degrees), QString::fromUtf8(k.expected), QStringLiteral("degrees ") + text);
    }

    const QHash<QString, double> vars{{QStringLiteral("ans"), 21}, {QStringLiteral("m"), 2}};
    c.equal(shown(QStringLiteral("ANS*2+m"), AngleMode::radians, vars), QStringLiteral("44"),
            QStringLiteral("variables, looked up lower-cased"));

    const ExprResult<double> deep = ExpressionEvaluator{}.evaluate(QString(20000, QLatin1Char('(')) + QStringLiteral("1"));
    c.that(!deep && deep.error().kind() == ExprError::syntax, QStringLiteral("hostile nesting is an error, not a crash"));

    c.equal(qint64(ExpressionEvaluator::functionNames().size()), 29, QStringLiteral("29 functions"));
    c.equal(qint64(ExpressionEvaluator::constants().size()), 4, QStringLiteral("4 constants"));
    c.that(AngleMode::allCases().first() == AngleMode::degrees
               && AngleMode::fromRawValue(u"radians") == std::optional<AngleMode>(AngleMode::radians),
           QStringLiteral("angle modes and raw values"));
});

SelfTest::Suite displaySuite("Number display", [](SelfTest::Check& c) {
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        double value;
        int maxSig;
        const char* expected;
    };
    const Case cases[] = {
        {0.1 + 0.2, 12, "0.3"},
        {1e20, 12, "1e20"},
        {-0.0, 12, "0"},
        {2.5, 12, "2.5"},
        {1.0 / 3, 12, "0.333333333333"},
        {1e15, 12, "1e15"},
        {999999999999999.0, 12, "999999999999999"},
        {-7, 12, "-7"},
        {1.5e-7, 12, "1.5e-7"},
        {1.23456789012345e-300, 12, "1.23456789012e-300"},
        {2.5e100, 12, "2.5e100"},
        {1234.5678, 12, "1234.5678"},
        {std::nan(""), 12, "Error"},
        {inf, 12, "∞"},
        {-inf, 12, "-∞"},
        {1.0 / 3, 10, "0.3333333333"},
    };
    for (const Case& k : cases) {
        c.equal(NumberFormat::display(k.value, k.maxSig), QString::fromUtf8(k.expected),
                QStringLiteral("%1 at %2 digits").arg(k.value, 0, 'g', 17).arg(k.maxSig));
    }
});

} // namespace
