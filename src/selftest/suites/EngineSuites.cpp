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
        {"2+3*4", AngleMode::radians, "14"},
        {"√9+3²", AngleMode::radians, "12"},
        {"ncr(5,2)+npr(5,2)", AngleMode::radians, "30"},
        {"sin(30)", AngleMode::degrees, "0.5"},
        {"(2+3", AngleMode::radians, "Syntax error: missing )"},
        {"1/0", AngleMode::radians, "Cannot divide by zero"},
    };
    for (const Case& k : cases) {
        const QString text = QString::fromUtf8(k.text);
        c.equal(shown(text, k.mode), QString::fromUtf8(k.expected), text);
    }
});

SelfTest::Suite displaySuite("Number display", [](SelfTest::Check& c) {
    c.equal(NumberFormat::display(0.1 + 0.2, 12), QStringLiteral("0.3"), QStringLiteral("0.1 + 0.2 shows 0.3"));
    c.equal(NumberFormat::display(1e20, 12), QStringLiteral("1e20"), QStringLiteral("large values in e-notation"));
});

} // namespace
