// Self-test suites of the expression engine and the number display rules.
#include "calc/ExpressionEvaluator.h"
#include "calc/NumberFormat.h"
#include "selftest/SelfTest.h"

namespace {

// The result text as a calculator shows it: the value at 12 digits, or the
// error's description.
QString shown(const QString& text, AngleMode mode = AngleMode::radians)
{
    const ExprResult<double> r = ExpressionEvaluator{mode, {}}.evaluate(text);
    return r ? NumberFormat::display(r.value(), 12) : r.error().description();
}

SelfTest::Suite engineSuite("Expression engine", [](SelfTest::Check& c) {
    struct Case {
        const char* text;
        AngleMode mode;
        const char* expected;
    };
    static const Case cases[] = {
        {"2+3*4-√9+sin(30)", AngleMode::degrees, "11.5"},
        {"ln(e)+ncr(6,3)", AngleMode::radians, "21"},
        {"2*(3", AngleMode::radians, "Syntax error: missing )"},
    };
    for (const Case& k : cases) {
        const QString text = QString::fromUtf8(k.text);
        c.equal(shown(text, k.mode), QString::fromUtf8(k.expected), text);
    }
});

SelfTest::Suite displaySuite("Number display", [](SelfTest::Check& c) {
    c.equal(NumberFormat::display(12345.678, 12), QStringLiteral("12345.678"), QStringLiteral("a plain value"));
    c.equal(NumberFormat::display(2.5e21, 12), QStringLiteral("2.5e21"), QStringLiteral("a large value in e-notation"));
});

} // namespace
