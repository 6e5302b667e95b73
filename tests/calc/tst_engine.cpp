#include "TestEnvironment.h"
#include "calc/ExpressionEvaluator.h"

#include <QTest>
#include <QTextBoundaryFinder>
#include <cmath>
#include <limits>

namespace {

const double kInf = std::numeric_limits<double>::infinity();

ExprError syntax(const char* m) { return ExprError(ExprError::syntax, QString::fromUtf8(m)); }
ExprError domain(const char* m) { return ExprError(ExprError::domain, QString::fromUtf8(m)); }
ExprError unknown(const char* m) { return ExprError(ExprError::unknown, QString::fromUtf8(m)); }
ExprError divByZero() { return ExprError(ExprError::divideByZero); }

ExprResult<double> eval(const QString& text, bool degrees = false, QHash<QString, double> vars = {})
{
    const ExpressionEvaluator ev{degrees ? AngleMode::degrees : AngleMode::radians, std::move(vars)};
    return ev.evaluate(text);
}

QString describe(const ExprResult<double>& r)
{
    if (r)
        return QString::number(r.value(), 'g', 17);
    return r.error().description();
}

} // namespace

Q_DECLARE_METATYPE(ExprError)


class EngineTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // ------------------------------------------------------------ values
    void values_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("degrees");
        QTest::addColumn<double>("expected");
        QTest::addColumn<double>("tolerance"); // 0: exactly

        auto row = [](const char* name, const char* text, double expected, bool degrees = false, double tol = 0) {
            QTest::newRow(name) << QString::fromUtf8(text) << degrees << expected << tol;
        };
        // precedence and associativity
        row("mul before add", "2+3*4", 14);
        row("power right-assoc", "2^3^2", 512);
        row("minus left-assoc", "10-4-3", 3);
        row("mixed left-assoc", "8/2*4", 16);
        row("power before unary", "-2^2", -4);
        row("negative exponent", "2^-1", 0.5);
        row("unary exponent chain", "2^-2^2", 0.0625);
        row("double minus", "--2", 2);
        row("minus minus in expr", "3--2", 5);
        row("fact under minus", "-3!", -6);
        row("postfix before power", "2^3!", 64);
        row("power of postfix", "3!^2", 36);
        row("percent", "50%", 0.5);
        row("percent twice", "10%%", 0.001);
        row("percent is not of previous", "200+10%", 200.1);
        row("fact of fact", "3!!", 720);
        // implicit multiplication
        row("number name", "2pi", 6.283185307179586);
        row("number bracket", "3(4+1)", 15);
        row("number number", "2 3", 6);
        row("fact then number", "2!3", 6);
        row("implicit binds like mul", "1+2pi/pi", 3);
        row("implicit then power", "2 3^2", 18);
        row("minus after a value subtracts", "2 -3", -1);
        row("mixed brackets", "(2]", 2);
        // functions without brackets
        row("sqrt bare", "sqrt 16", 4);
        row("bare arg is power level", "sqrt 2^4", 4);
        row("bare arg then implicit", "2 sqrt 16", 8);
        row("sqrt glyph", "√9+3²", 12);
        row("sin bare degrees", "sin 30^2", std::sin(900 * M_PI / 180), true, 1e-15);
        // functions
        row("cbrt negative", "cbrt(-27)", -3, false, 1e-15);
        row("root fractional n", "root(16,0.5)", 256);
        row("root huge odd n uses 64 bits", "root(-8,9007199254740991)", -std::pow(8.0, 1 / 9007199254740991.0));
        // 2^52 + 1 is odd and survives 1/(1/x): the parity test must see more than 32 bits.
        row("odd reciprocal beyond 32 bits", "(-8)^(1/4503599627370497)", -std::pow(8.0, 1 / 4503599627370497.0), false, 1e-15);
        row("logarithms", "ln(e)+log(1000)+log2(1024)", 14);
        row("log base", "log(8,2)", 3);
        row("fact of minus zero", "fact(-0)", 1);
        // 170! is exactly the ascending product, the largest that fits.
        const double fact170 = [] { double p = 1; for (int i = 1; i <= 170; ++i) p *= i; return p; }();
        row("fact 170", "170!", fact170);
        row("ncr 170 85", "ncr(170,85)", 9.144841845131555e49, false, 1e37);
        row("ncr npr", "ncr(5,2)+npr(5,2)", 30);
        row("npr r=0", "npr(0,0)", 1);
        row("ncr is npr over r!", "ncr(170,170)", 1, false, 1e-14);
        row("abs floor ceil", "abs(-3)+floor(2.7)+ceil(2.1)", 8);
        row("round half away", "round(2.5)+round(-2.5)", 0);
        row("exp sinh cosh", "exp(0)+sinh(0)+cosh(0)", 2);
        row("inverse hyperbolic", "tanh(0)+asinh(0)+acosh(1)", 0);
        row("atanh", "atanh(0.5)", 0.5493061443340548, false, 1e-16);
        row("names lower-cased", "SIN(0)+Sqrt(4)+PI-pi", 2);
        // degrees
        row("deg sin 30", "sin(30)", 0.5, true, 4e-16);
        row("deg sin 180 exact", "sin(180)", 0, true);
        row("deg cos 90 snapped", "cos(90)", 0, true);
        row("deg tan 180 snapped", "tan(180)", 0, true);
        row("deg asin", "asin(1)", 90, true);
        row("deg sinh unconverted", "sinh(1)", std::sinh(1.0), true);
        // radians
        row("rad sin pi snapped", "sin(pi)", 0);
        row("rad sin 30 is radians", "sin(30)", std::sin(30.0));
        // numbers
        row("exponent signed", "5e-1+1e+1", 10.5);
        row("point then exponent", "1.e2", 100);
        row("2e is 2 times e", "2e", 2 * M_E);
        row("exponent then fraction", "1e5.5", 50000);
        row("deep underflow is zero", "1e-999", 0);
        row("zero literal with huge exponent", "0e999", 0);
        // glyphs
        row("times divide minus", "2×3÷4−1", 0.5);
        row("double star", "2**3", 8);
        row("times then star makes power", "2×*3", 8);
        row("dot then times makes power", "2·×3", 8);
        row("cube glyph", "2³", 8);
        // constants
        row("phi", "phi", 1.618033988749895);
        // powers
        row("odd root", "(-8)^(1/3)", -2);
        row("zero to zero", "0^0", 1);
        // white space
        row("tabs and newlines", "\t1\n+ 2 ", 3);
        row("deep but fine", "((((((((((((((((((((1))))))))))))))))))))", 1);
    }

    void values()
    {
        QFETCH(QString, text);
        QFETCH(bool, degrees);
        QFETCH(double, expected);
        QFETCH(double, tolerance);
        const ExprResult<double> r = eval(text, degrees);
        QVERIFY2(r.ok(), qPrintable(describe(r)));
        if (tolerance == 0) {
            QVERIFY2(r.value() == expected, qPrintable(describe(r)));
        } else {
            QVERIFY2(std::fabs(r.value() - expected) <= tolerance, qPrintable(describe(r)));
        }
    }

    // ------------------------------------------------------------ errors
    void errors_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("degrees");
        QTest::addColumn<ExprError>("expected");

        auto row = [](const char* name, const char* text, ExprError e, bool degrees = false) {
            QTest::newRow(name) << QString::fromUtf8(text) << degrees << e;
        };
        // tokenising
        row("empty", "", syntax("empty expression"));
        row("ampersand", "2&3", syntax("unexpected '&'"));
        row("tokenising wins", "1/0 + &", syntax("unexpected '&'"));
        row("no-break space", "1\u00A0+1", syntax("unexpected '\u00A0'"));
        row("carriage return line feed is one character", "1\r\n+1", syntax("unexpected '\r\n'"));
        row("emoji sequence is one character", "1+👩‍👩‍👧", syntax("unexpected '👩‍👩‍👧'"));
        row("combining mark stays with its base", "1 +\u0301 2", syntax("unexpected '+\u0301'"));
        row("two points", "1.2.3", syntax("bad number 1.2.3"));
        row("lone point", ".", syntax("bad number ."));
        row("arabic-indic digit", "٣+1", syntax("bad number ٣"));
        row("digit with combining mark", "12\u0301", syntax("bad number 12\u0301"));
        row("exponent written lower", "1.2.3E5", syntax("bad number 1.2.3e5"));
        row("unicode exponent digit", "1e٣", syntax("bad number 1e٣"));
        // parsing
        row("unexpected input", "2)", syntax("unexpected input"));
        row("comma at top", "2,3", syntax("unexpected input"));
        row("leading operator", "*2", syntax("unexpected symbol"));
        row("ends early", "2+", syntax("expression ends too early"));
        row("ends after function", "2+sin", syntax("expression ends too early"));
        row("2e plus", "2e+", syntax("expression ends too early"));
        row("missing bracket", "(2+3", syntax("missing )"));
        row("junk in call", "sin(1 2", syntax("missing )"));
        row("empty brackets", "()", syntax("unexpected symbol"));
        row("sign is not a bare argument", "sin -30", syntax("unexpected symbol"));
        row("empty call", "sin()", syntax("sin() needs a value"));
        row("empty call upper", "SQRT[]", syntax("sqrt() needs a value"));
        row("two values", "sin(1,2)", syntax("sin takes 1 value"));
        row("two values alias", "arcsin(1;2)", syntax("arcsin takes 1 value"));
        row("root one", "root(8)", syntax("root(x, n) takes 2 values"));
        row("root bare", "root 8", syntax("root(x, n) takes 2 values"));
        row("npr three", "NPR(5,2,1)", syntax("npr(n, r) takes 2 values"));
        row("count before domain", "sqrt(-1,-1)", syntax("sqrt takes 1 value"));
        // names
        row("unknown", "foo(2)", unknown("foo"));
        row("unknown lower-cased", "2*FOO", unknown("foo"));
        row("e2 is a name", "e2", unknown("e2"));
        row("letter with combining mark", "e\u0301", unknown("e\u0301"));
        row("2é is not an exponent", "2é5", unknown("é5"));
        // arithmetic
        row("divide by zero", "1/0", divByZero());
        row("divide by minus zero", "1/-0", divByZero());
        row("divide by zero wins over name", "1/0 + foo", divByZero());
        row("zero negative power", "0^-1", divByZero());
        row("fractional power", "(-8)^(2/3)", domain("fractional power of a negative number"));
        row("fractional power of nan", "(-2)^(1e999-1e999)", domain("fractional power of a negative number"));
        row("factorial fraction", "2.5!", domain("factorial needs a whole number ≥ 0"));
        row("factorial nan", "(1e999-1e999)!", domain("factorial needs a whole number ≥ 0"));
        row("factorial 171", "171!", domain("overflow"));
        row("factorial infinite", "fact(1e999)", domain("overflow"));
        row("overflow", "10^400", domain("overflow"));
        row("undefined", "1e999-1e999", domain("undefined result"));
        // function domains
        row("sqrt", "sqrt(-1)", domain("square root of a negative number"));
        row("ln zero", "ln(0)", domain("ln needs a positive number"));
        row("log zero", "log(0)", domain("log needs a positive number"));
        row("log2 negative", "log2(-4)", domain("log2 needs a positive number"));
        row("log base one", "log(8,1)", domain("bad log base"));
        row("log of zero with base", "log(0,2)", domain("bad log base"));
        row("asin", "asin(2)", domain("asin needs -1…1"));
        row("arcsin fixed text", "arcsin(-1.5)", domain("asin needs -1…1"));
        row("acos", "arccos(2)", domain("acos needs -1…1"));
        row("acosh", "acosh(0.5)", domain("acosh needs ≥ 1"));
        row("atanh one", "atanh(1)", domain("atanh needs -1…1"));
        row("tan 90", "tan(90)", domain("tan is undefined here"), true);
        row("tan pi/2", "tan(pi/2)", domain("tan is undefined here"));
        row("zeroth root", "root(8,0)", domain("zeroth root"));
        row("even root", "root(-8,2)", domain("even root of a negative number"));
        row("fractional root", "root(-8,2.5)", domain("even root of a negative number"));
        row("bad n r fraction", "ncr(5.5,2)", domain("bad n, r"));
        row("bad n r negative r", "npr(5,-1)", domain("bad n, r"));
        row("ncr over 170", "ncr(1000,171)", domain("overflow"));
        row("npr product overflows", "npr(1000,200)", domain("overflow"));
        row("npr with huge r ends", "npr(1e18,1e18)", domain("overflow"));
        row("npr with infinite n ends", "npr(1e999,1e999)", domain("overflow"));
        row("first failure in arguments", "log(sqrt(-1), 0)", domain("square root of a negative number"));
        // Parity of whole numbers outside the 64-bit range: reported as the
        // fractional-power or even-root error, never an out-of-range cast.
        const ExprError frac = domain("fractional power of a negative number");
        const ExprError even = domain("even root of a negative number");
        row("reciprocal above 2^63", "(-8)^(1e-19)", frac);
        row("reciprocal exactly 2^63", "(-8)^(1/9223372036854775808)", frac);
        row("reciprocal below -2^63", "(-8)^(-1e-300)", frac);
        row("root 2^53 is even", "root(-8, 9007199254740992)", even);
        row("root 2^63", "root(-8, 9223372036854775808)", even);
        row("root -1e300", "root(-8, -1e300)", even);
        row("root infinite", "root(-8, 1e999)", even);
        row("root nan", "root(-8, 1e999-1e999)", even);
    }

    void errors()
    {
        QFETCH(QString, text);
        QFETCH(bool, degrees);
        QFETCH(ExprError, expected);
        const ExprResult<double> r = eval(text, degrees);
        QVERIFY2(!r.ok(), qPrintable(describe(r)));
        QCOMPARE(r.error().description(), expected.description()); // kind and message
    }

    // ------------------------------------------------------- variables
    void variables_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("expected");
        QTest::newRow("ans") << QStringLiteral("ans*2") << 42.0;
        QTest::newRow("ANS") << QStringLiteral("ANS*2") << 42.0;
        QTest::newRow("variable before constant") << QStringLiteral("e") << 5.0;
        QTest::newRow("function name is never a variable") << QStringLiteral("sin(0)") << 0.0;
        QTest::newRow("non-ascii key") << QStringLiteral("Δ") << 7.0;
    }

    void variables()
    {
        QFETCH(QString, text);
        QFETCH(double, expected);
        const QHash<QString, double> vars{{QStringLiteral("ans"), 21},
                                          {QStringLiteral("m"), 3},
                                          {QStringLiteral("e"), 5},
                                          {QStringLiteral("sin"), 99},
                                          {QStringLiteral("δ"), 7}};
        const ExprResult<double> r = eval(text, false, vars);
        QVERIFY2(r.ok(), qPrintable(describe(r)));
        QCOMPARE(r.value(), expected);
    }

    // ------------------------------------------------------- tokenising
    // In text below U+0300 every code unit is a character of its own except
    // CR LF; the tokeniser relies on this instead of asking the boundary
    // finder every time.
    void graphemeShortcutHolds()
    {
        for (char16_t c = 0; c < 0x300; ++c) {
            QString s;
            for (char16_t d = 0; d < 0x300; ++d) {
                s.append(QChar(c));
                s.append(QChar(d));
            }
            QTextBoundaryFinder f(QTextBoundaryFinder::Grapheme, s);
            for (qsizetype i = 1; i < s.size(); ++i) {
                const bool crlf = s.at(i - 1) == u'\r' && s.at(i) == u'\n';
                f.setPosition(i);
                if (f.isAtBoundary() == crlf)
                    QFAIL(qPrintable(QStringLiteral("U+%1 U+%2").arg(int(s.at(i - 1).unicode()), 4, 16, QLatin1Char('0'))
                                         .arg(int(s.at(i).unicode()), 4, 16, QLatin1Char('0'))));
            }
        }
    }

    // ---------------------------------------------------- call, factorial
    // ------------------------------------------------------------ tables
    void descriptions()
    {
        QCOMPARE(syntax("missing )").description(), QStringLiteral("Syntax error: missing )"));
        QCOMPARE(domain("overflow").description(), QStringLiteral("Math error: overflow"));
        QCOMPARE(unknown("foo").description(), QStringLiteral("Unknown name: foo"));
        QCOMPARE(divByZero().description(), QStringLiteral("Cannot divide by zero"));
    }

    // ------------------------------------------------------ hostile text
    void deepNestingFailsCleanly_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("brackets") << QString(100000, QLatin1Char('(')) + QStringLiteral("1");
        QTest::newRow("powers") << QStringLiteral("1^").repeated(100000) + QStringLiteral("1");
        QTest::newRow("bare functions") << QStringLiteral("sqrt ").repeated(100000) + QStringLiteral("1");
        QTest::newRow("calls") << QStringLiteral("abs(").repeated(100000) + QStringLiteral("1");
    }

    void deepNestingFailsCleanly()
    {
        QFETCH(QString, text);
        const ExprResult<double> r = eval(text);
        QVERIFY(!r.ok());
        QCOMPARE(r.error(), syntax("expression is nested too deeply"));
    }

    void longFlatInputIsFine()
    {
        QCOMPARE(eval(QStringLiteral("1+").repeated(100000) + QStringLiteral("1")).value(), 100001.0);
        QCOMPARE(eval(QStringLiteral("-").repeated(100001) + QStringLiteral("2")).value(), -2.0);
        QCOMPARE(eval(QString(150, QLatin1Char('(')) + QStringLiteral("7") + QString(150, QLatin1Char(')'))).value(), 7.0);
        QCOMPARE(eval(QString(5000, QLatin1Char('9'))).error(), domain("overflow"));
        QCOMPARE(eval(QStringLiteral("0.") + QString(5000, QLatin1Char('0')) + QStringLiteral("1")).value(), 0.0);
        // Long exponents and long fractions offset each other exactly.
        QCOMPARE(eval(QStringLiteral("1e") + QString(30, QLatin1Char('0')) + QStringLiteral("1")).value(), 10.0);
        QCOMPARE(eval(QStringLiteral("0.") + QString(200000, QLatin1Char('0')) + QStringLiteral("1e1000000")).error(),
                 domain("overflow"));
        QCOMPARE(eval(QStringLiteral("0.") + QString(199999, QLatin1Char('0')) + QStringLiteral("25e200000")).value(), 2.5);
    }
};

QTEST_GUILESS_MAIN(EngineTest)
#include "tst_engine.moc"
