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
Q_DECLARE_METATYPE(ExpressionEvaluator::Tok)

using Tok = ExpressionEvaluator::Tok;

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
        row("brackets", "(2+3)*4", 20);
        row("power right-assoc", "2^3^2", 512);
        row("minus left-assoc", "10-4-3", 3);
        row("div left-assoc", "100/10/5", 2);
        row("mixed left-assoc", "8/2*4", 16);
        row("power before unary", "-2^2", -4);
        row("negative exponent", "2^-1", 0.5);
        row("unary exponent chain", "2^-2^2", 0.0625);
        row("unary before mul", "-2*3", -6);
        row("unary in exponent base", "(-2)^2", 4);
        row("double minus", "--2", 2);
        row("sign chain", "-+-+-2", -2);
        row("minus minus in expr", "3--2", 5);
        row("plus minus", "3+-2", 1);
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
        row("bracket bracket", "(1+1)(2+2)", 8);
        row("number number", "2 3", 6);
        row("number function", "2sin(0)+1", 1);
        row("fact then number", "2!3", 6);
        row("implicit binds like mul", "1+2pi/pi", 3);
        row("implicit then power", "2 3^2", 18);
        row("minus after a value subtracts", "2 -3", -1);
        row("mixed brackets", "(2]", 2);
        row("curly and square", "{1+[2*3]}", 7);
        // functions without brackets
        row("sqrt bare", "sqrt 16", 4);
        row("bare arg is power level", "sqrt 2^4", 4);
        row("bare arg then implicit", "2 sqrt 16", 8);
        row("sqrt glyph", "√9+3²", 12);
        row("bare function nests", "sqrt sqrt 16", 2);
        row("sin bare degrees", "sin 30^2", std::sin(900 * M_PI / 180), true, 1e-15);
        // functions
        row("sqrt cbrt", "sqrt(16)+cbrt(27)", 7);
        row("cbrt negative", "cbrt(-27)", -3, false, 1e-15);
        row("root", "root(32,5)", 2);
        row("root negative odd", "root(-8,3)", -2);
        row("root fractional n", "root(16,0.5)", 256);
        row("root huge odd n uses 64 bits", "root(-8,9007199254740991)", -std::pow(8.0, 1 / 9007199254740991.0));
        row("ln e", "ln(e)", 1);
        row("log", "log(1000)", 3);
        row("log2", "log2(1024)", 10);
        row("log base", "log(8,2)", 3);
        row("fact", "5!", 120);
        row("fact fn", "fact(0)", 1);
        row("fact 1", "1!", 1);
        row("fact 170", "170!", 7.257415615307994e306, false, 1e292);
        row("ncr", "ncr(5,2)", 10);
        row("npr", "npr(5,2)", 20);
        row("ncr r=0", "ncr(5,0)", 1);
        row("npr r=0", "npr(0,0)", 1);
        row("npr r=n", "npr(5,5)", 120);
        row("ncr 5 5", "ncr(5,5)", 1);
        row("ncr is npr over r!", "ncr(170,170)", 1, false, 1e-14);
        row("abs floor ceil", "abs(-3)+floor(2.7)+ceil(2.1)", 8);
        row("floor negative", "floor(-2.5)", -3);
        row("round half away", "round(2.5)+round(-2.5)", 0);
        row("round half up", "round(0.5)", 1);
        row("exp sinh cosh", "exp(0)+sinh(0)+cosh(0)", 2);
        row("tanh", "tanh(0)", 0);
        row("asinh", "asinh(0)", 0);
        row("acosh 1", "acosh(1)", 0);
        row("atanh", "atanh(0.5)", 0.5493061443340548, false, 1e-16);
        row("names lower-cased", "SIN(0)+Sqrt(4)+PI-pi", 2);
        // degrees
        row("deg sin 30", "sin(30)", 0.5, true, 4e-16);
        row("deg cos 60", "cos(60)", 0.5, true, 4e-16);
        row("deg tan 45", "tan(45)", 1, true, 4e-16);
        row("deg sin 180 exact", "sin(180)", 0, true);
        row("deg cos 90 snapped", "cos(90)", 0, true);
        row("deg tan 180 snapped", "tan(180)", 0, true);
        row("deg asin", "asin(1)", 90, true);
        row("deg arcsin alias", "arcsin(1)", 90, true);
        row("deg acos", "acos(0)", 90, true);
        row("deg atan", "atan(1)", 45, true);
        row("deg arctan", "arctan(1)", 45, true);
        row("deg sinh unconverted", "sinh(1)", std::sinh(1.0), true);
        row("deg cosine of 2 sin 30", "2sin(30)", 1, true, 1e-15);
        // radians
        row("rad sin pi/2", "sin(pi/2)", 1);
        row("rad cos pi", "cos(pi)", -1);
        row("rad atan", "atan(1)", 0.7853981633974483);
        row("rad sin pi snapped", "sin(pi)", 0);
        row("rad sin 30 is radians", "sin(30)", std::sin(30.0));
        row("rad asin", "asin(1)", M_PI / 2);
        // numbers
        row("exponent", "1.5e3+1", 1501);
        row("exponent upper", "2E3", 2000);
        row("exponent signed", "5e-1+1e+1", 10.5);
        row("leading point", ".5", 0.5);
        row("trailing point", "1.", 1);
        row("point then exponent", "1.e2", 100);
        row("2e is 2 times e", "2e", 2 * M_E);
        row("exponent then fraction", "1e5.5", 50000);
        row("deep underflow is zero", "1e-999", 0);
        row("zero literal with huge exponent", "0e999", 0);
        // glyphs
        row("times divide minus", "2×3÷4−1", 0.5);
        row("middle dot", "2·3", 6);
        row("double star", "2**3", 8);
        row("times then star makes power", "2×*3", 8);
        row("dot then times makes power", "2·×3", 8);
        row("pi glyph", "2π", 6.283185307179586);
        row("cube glyph", "2³", 8);
        // constants
        row("tau", "tau", 6.283185307179586);
        row("phi", "phi", 1.618033988749895);
        row("e", "e", 2.718281828459045);
        // powers
        row("odd root", "(-8)^(1/3)", -2);
        row("odd root negative", "(-8)^(-1/3)", -0.5);
        row("negative whole power", "(-2)^3", -8);
        row("zero to zero", "0^0", 1);
        row("zero to positive", "0^2", 0);
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
        row("blank", "  \t\n ", syntax("empty expression"));
        row("ampersand", "2&3", syntax("unexpected '&'"));
        row("tokenising wins", "1/0 + &", syntax("unexpected '&'"));
        row("no-break space", "1\u00A0+1", syntax("unexpected '\u00A0'"));
        row("carriage return line feed is one character", "1\r\n+1", syntax("unexpected '\r\n'"));
        row("lone carriage return", "1\r+1", syntax("unexpected '\r'"));
        row("emoji is one character", "1+😀", syntax("unexpected '😀'"));
        row("emoji sequence is one character", "1+👩‍👩‍👧", syntax("unexpected '👩‍👩‍👧'"));
        row("combining mark stays with its base", "1 +\u0301 2", syntax("unexpected '+\u0301'"));
        row("fullwidth plus", "2 − 1 ＋ 1", syntax("unexpected '＋'"));
        row("two points", "1.2.3", syntax("bad number 1.2.3"));
        row("lone point", ".", syntax("bad number ."));
        row("point point", "..", syntax("bad number .."));
        row("point exponent", ".e5", syntax("bad number .e5"));
        row("arabic-indic digit", "٣+1", syntax("bad number ٣"));
        row("digit with combining mark", "12\u0301", syntax("bad number 12\u0301"));
        row("astral digit", "𝟏", syntax("bad number 𝟏"));
        row("vulgar fraction", "¼", syntax("bad number ¼"));
        row("exponent written lower", "1.2.3E5", syntax("bad number 1.2.3e5"));
        row("unicode exponent digit", "1e٣", syntax("bad number 1e٣"));
        // parsing
        row("unexpected input", "2)", syntax("unexpected input"));
        row("comma at top", "2,3", syntax("unexpected input"));
        row("leading operator", "*2", syntax("unexpected symbol"));
        row("double operator", "2*/3", syntax("unexpected symbol"));
        row("leading bracket", ")", syntax("unexpected symbol"));
        row("ends early", "2+", syntax("expression ends too early"));
        row("ends early after sign", "-", syntax("expression ends too early"));
        row("ends after function", "2+sin", syntax("expression ends too early"));
        row("ends after power", "2^", syntax("expression ends too early"));
        row("ends in open call", "sin(", syntax("expression ends too early"));
        row("ends after comma", "log(8,", syntax("expression ends too early"));
        row("lone bracket", "(", syntax("expression ends too early"));
        row("2e plus", "2e+", syntax("expression ends too early"));
        row("missing bracket", "(2+3", syntax("missing )"));
        row("missing bracket in call", "log(8,2", syntax("missing )"));
        row("junk in call", "sin(1 2", syntax("missing )"));
        row("empty brackets", "()", syntax("unexpected symbol"));
        row("sign is not a bare argument", "sin -30", syntax("unexpected symbol"));
        row("empty call", "sin()", syntax("sin() needs a value"));
        row("empty call upper", "SQRT[]", syntax("sqrt() needs a value"));
        row("two values", "sin(1,2)", syntax("sin takes 1 value"));
        row("two values upper", "SIN(1,2)", syntax("sin takes 1 value"));
        row("two values alias", "arcsin(1;2)", syntax("arcsin takes 1 value"));
        row("log three", "log(1,2,3)", syntax("log takes 1 value"));
        row("root one", "root(8)", syntax("root(x, n) takes 2 values"));
        row("root bare", "root 8", syntax("root(x, n) takes 2 values"));
        row("ncr one", "ncr(5)", syntax("ncr(n, r) takes 2 values"));
        row("npr three", "NPR(5,2,1)", syntax("npr(n, r) takes 2 values"));
        row("count before domain", "sqrt(-1,-1)", syntax("sqrt takes 1 value"));
        // names
        row("unknown", "foo(2)", unknown("foo"));
        row("unknown lower-cased", "2*FOO", unknown("foo"));
        row("e2 is a name", "e2", unknown("e2"));
        row("underscore name", "_x1", unknown("_x1"));
        row("greek name", "ΑΒΓ", unknown("αβγ"));
        row("accented letter", "é", unknown("é"));
        row("letter with combining mark", "e\u0301", unknown("e\u0301"));
        row("2é is not an exponent", "2é5", unknown("é5"));
        // arithmetic
        row("divide by zero", "1/0", divByZero());
        row("divide by minus zero", "1/-0", divByZero());
        row("divide by zero wins over name", "1/0 + foo", divByZero());
        row("zero negative power", "0^-1", divByZero());
        row("fractional power", "(-8)^(2/3)", domain("fractional power of a negative number"));
        row("square root by power", "(-2)^0.5", domain("fractional power of a negative number"));
        row("fractional power of nan", "(-2)^(1e999-1e999)", domain("fractional power of a negative number"));
        row("factorial fraction", "2.5!", domain("factorial needs a whole number ≥ 0"));
        row("factorial negative", "(-1)!", domain("factorial needs a whole number ≥ 0"));
        row("factorial nan", "(1e999-1e999)!", domain("factorial needs a whole number ≥ 0"));
        row("factorial 171", "171!", domain("overflow"));
        row("factorial infinite", "fact(1e999)", domain("overflow"));
        row("overflow", "10^400", domain("overflow"));
        row("exp overflow", "exp(1000)", domain("overflow"));
        row("literal overflow", "1e999", domain("overflow"));
        row("sinh overflow", "sinh(1000)", domain("overflow"));
        row("undefined", "1e999-1e999", domain("undefined result"));
        row("undefined zero times inf", "0*1e999", domain("undefined result"));
        // function domains
        row("sqrt", "sqrt(-1)", domain("square root of a negative number"));
        row("ln zero", "ln(0)", domain("ln needs a positive number"));
        row("ln nan", "ln(1e999-1e999)", domain("ln needs a positive number"));
        row("log zero", "log(0)", domain("log needs a positive number"));
        row("log2 negative", "log2(-4)", domain("log2 needs a positive number"));
        row("log base one", "log(8,1)", domain("bad log base"));
        row("log base zero", "log(8,0)", domain("bad log base"));
        row("log of zero with base", "log(0,2)", domain("bad log base"));
        row("asin", "asin(2)", domain("asin needs -1…1"));
        row("arcsin fixed text", "arcsin(-1.5)", domain("asin needs -1…1"));
        row("acos", "arccos(2)", domain("acos needs -1…1"));
        row("acosh", "acosh(0.5)", domain("acosh needs ≥ 1"));
        row("atanh one", "atanh(1)", domain("atanh needs -1…1"));
        row("atanh minus one", "atanh(-1)", domain("atanh needs -1…1"));
        row("tan 90", "tan(90)", domain("tan is undefined here"), true);
        row("tan -270", "tan(-270)", domain("tan is undefined here"), true);
        row("tan pi/2", "tan(pi/2)", domain("tan is undefined here"));
        row("zeroth root", "root(8,0)", domain("zeroth root"));
        row("even root", "root(-8,2)", domain("even root of a negative number"));
        row("fractional root", "root(-8,2.5)", domain("even root of a negative number"));
        row("bad n r fraction", "ncr(5.5,2)", domain("bad n, r"));
        row("bad n r order", "npr(2,5)", domain("bad n, r"));
        row("bad n r negative", "ncr(-5,-2)", domain("bad n, r"));
        row("bad n r negative r", "npr(5,-1)", domain("bad n, r"));
        row("ncr over 170", "ncr(1000,171)", domain("overflow"));
        row("npr product overflows", "npr(1000,200)", domain("overflow"));
        row("npr with huge r ends", "npr(1e18,1e18)", domain("overflow"));
        row("npr with infinite n ends", "npr(1e999,1e999)", domain("overflow"));
        row("first failure in arguments", "log(sqrt(-1), 0)", domain("square root of a negative number"));
    }

    void errors()
    {
        QFETCH(QString, text);
        QFETCH(bool, degrees);
        QFETCH(ExprError, expected);
        const ExprResult<double> r = eval(text, degrees);
        QVERIFY2(!r.ok(), qPrintable(describe(r)));
        QCOMPARE(r.error().description(), expected.description());
        QVERIFY(r.error() == expected);
    }

    // Parity of whole numbers outside the 64-bit range: reported as the
    // fractional-power or even-root error, never an out-of-range cast.
    void parityOutsideInt64_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        const QString frac = QStringLiteral("fractional power of a negative number");
        const QString even = QStringLiteral("even root of a negative number");
        QTest::newRow("tiny exponent") << QStringLiteral("(-8)^(1e-30)") << frac;
        QTest::newRow("reciprocal above 2^63") << QStringLiteral("(-8)^(1e-19)") << frac;
        QTest::newRow("reciprocal exactly 2^63") << QStringLiteral("(-8)^(1/9223372036854775808)") << frac;
        QTest::newRow("reciprocal below -2^63") << QStringLiteral("(-8)^(-1e-300)") << frac;
        QTest::newRow("root 1e30") << QStringLiteral("root(-8, 1e30)") << even;
        QTest::newRow("root 2^63") << QStringLiteral("root(-8, 9223372036854775808)") << even;
        QTest::newRow("root -1e300") << QStringLiteral("root(-8, -1e300)") << even;
        QTest::newRow("root infinite") << QStringLiteral("root(-8, 1e999)") << even;
        QTest::newRow("root nan") << QStringLiteral("root(-8, 1e999-1e999)") << even;
    }

    void parityOutsideInt64()
    {
        QFETCH(QString, text);
        QFETCH(QString, message);
        const ExprResult<double> r = eval(text);
        QVERIFY2(!r.ok(), qPrintable(describe(r)));
        QCOMPARE(r.error(), ExprError(ExprError::domain, message));
    }

    void largeOddRootsStillWork()
    {
        // 2^52 + 1 is odd and survives 1/(1/x): the parity test must see
        // more than 32 bits.
        const ExprResult<double> r = eval(QStringLiteral("(-8)^(1/4503599627370497)"));
        QVERIFY2(r.ok(), qPrintable(describe(r)));
        QVERIFY(r.value() < -1 && r.value() > -1.0000001);
        // 2^53 is even.
        QCOMPARE(eval(QStringLiteral("root(-8, 9007199254740992)")).error(),
                 domain("even root of a negative number"));
    }

    // ------------------------------------------------------- variables
    void variables_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("expected");
        QTest::newRow("ans") << QStringLiteral("ans*2") << 42.0;
        QTest::newRow("ANS") << QStringLiteral("ANS*2") << 42.0;
        QTest::newRow("memory") << QStringLiteral("m+1") << 4.0;
        QTest::newRow("implicit") << QStringLiteral("2ans") << 42.0;
        QTest::newRow("variable before constant") << QStringLiteral("e") << 5.0;
        QTest::newRow("function name is never a variable") << QStringLiteral("sin(0)") << 0.0;
        QTest::newRow("constant still found") << QStringLiteral("pi-pi") << 0.0;
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

    void upperCaseKeysAreNotFound()
    {
        const ExprResult<double> r = eval(QStringLiteral("Ans"), false, {{QStringLiteral("Ans"), 1}});
        QCOMPARE(r.error(), unknown("ans"));
    }

    // ------------------------------------------------------- tokenising
    void tokenize_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<Tok>>("tokens");
        QTest::newRow("mixed") << QStringLiteral("2*SIN(x)") << QList<Tok>{Tok::makeNum(2), Tok::makeOp('*'),
            Tok::makeIdent(QStringLiteral("sin")), Tok::make(Tok::lp), Tok::makeIdent(QStringLiteral("x")), Tok::make(Tok::rp)};
        QTest::newRow("sign is an operator") << QStringLiteral("-5") << QList<Tok>{Tok::makeOp('-'), Tok::makeNum(5)};
        QTest::newRow("brackets and commas") << QStringLiteral("[{;,}]")
            << QList<Tok>{Tok::make(Tok::lp), Tok::make(Tok::lp), Tok::make(Tok::comma), Tok::make(Tok::comma),
                          Tok::make(Tok::rp), Tok::make(Tok::rp)};
        QTest::newRow("operators") << QStringLiteral("+-*/^%!")
            << QList<Tok>{Tok::makeOp('+'), Tok::makeOp('-'), Tok::makeOp('*'), Tok::makeOp('/'), Tok::makeOp('^'),
                          Tok::makeOp('%'), Tok::makeOp('!')};
        QTest::newRow("2e") << QStringLiteral("2e") << QList<Tok>{Tok::makeNum(2), Tok::makeIdent(QStringLiteral("e"))};
        QTest::newRow("2e-") << QStringLiteral("2e-x")
            << QList<Tok>{Tok::makeNum(2), Tok::makeIdent(QStringLiteral("e")), Tok::makeOp('-'), Tok::makeIdent(QStringLiteral("x"))};
        QTest::newRow("exponent") << QStringLiteral("1E-3") << QList<Tok>{Tok::makeNum(0.001)};
        QTest::newRow("name with digits") << QStringLiteral("x1_y2") << QList<Tok>{Tok::makeIdent(QStringLiteral("x1_y2"))};
        QTest::newRow("glyphs") << QStringLiteral("√π²")
            << QList<Tok>{Tok::makeIdent(QStringLiteral("sqrt")), Tok::makeIdent(QStringLiteral("pi")), Tok::makeOp('^'),
                          Tok::makeNum(2)};
    }

    void tokenize()
    {
        QFETCH(QString, text);
        QFETCH(QList<Tok>, tokens);
        const ExprResult<QList<Tok>> r = ExpressionEvaluator::tokenize(text);
        QVERIFY(r.ok());
        QCOMPARE(r.value().size(), tokens.size());
        for (qsizetype i = 0; i < tokens.size(); ++i)
            QVERIFY2(r.value().at(i) == tokens.at(i), qPrintable(QString::number(i)));
    }

    void tokenizeFails()
    {
        const ExprResult<QList<Tok>> r = ExpressionEvaluator::tokenize(QStringLiteral("1 # 2"));
        QVERIFY(!r.ok());
        QCOMPARE(r.error(), syntax("unexpected '#'"));
    }

    void normalize_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("unchanged") << QStringLiteral("2*3") << QStringLiteral("2*3");
        QTest::newRow("all glyphs") << QStringLiteral("2×3÷4−1·π√²³")
                                    << QStringLiteral("2*3/4-1* pi  sqrt ^2^3");
        QTest::newRow("triple star") << QStringLiteral("2***3") << QStringLiteral("2^*3");
        QTest::newRow("four stars") << QStringLiteral("****") << QStringLiteral("^^");
        QTest::newRow("glyphs make a power") << QStringLiteral("×·") << QStringLiteral("^");
    }

    void normalize()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(ExpressionEvaluator::normalize(text), expected);
    }

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
    void callDirect()
    {
        const ExpressionEvaluator deg{AngleMode::degrees, {}};
        const double one[] = {30};
        QVERIFY(std::fabs(deg.call(u"sin", one).value() - 0.5) < 1e-15);
        QCOMPARE(deg.call(u"nope", one).error(), unknown("nope"));
        const double three[] = {1, 2, 3};
        QCOMPARE(deg.call(u"log", three).error(), syntax("log takes 1 value"));
        QCOMPARE(deg.call(u"root", std::span<const double>()).error(), syntax("root(x, n) takes 2 values"));
        QCOMPARE(deg.call(u"cos", std::span<const double>()).error(), syntax("cos takes 1 value"));
    }

    void factorial_data()
    {
        QTest::addColumn<double>("n");
        QTest::addColumn<double>("expected"); // NaN: fails
        QTest::addColumn<QString>("message");
        const double nan = std::nan("");
        QTest::newRow("0") << 0.0 << 1.0 << QString();
        QTest::newRow("1") << 1.0 << 1.0 << QString();
        QTest::newRow("10") << 10.0 << 3628800.0 << QString();
        QTest::newRow("-0") << -0.0 << 1.0 << QString();
        QTest::newRow("171") << 171.0 << nan << QStringLiteral("overflow");
        QTest::newRow("infinity") << kInf << nan << QStringLiteral("overflow");
        QTest::newRow("-1") << -1.0 << nan << QStringLiteral("factorial needs a whole number ≥ 0");
        QTest::newRow("0.5") << 0.5 << nan << QStringLiteral("factorial needs a whole number ≥ 0");
        QTest::newRow("nan") << nan << nan << QStringLiteral("factorial needs a whole number ≥ 0");
        QTest::newRow("-infinity") << -kInf << nan << QStringLiteral("factorial needs a whole number ≥ 0");
    }

    void factorial()
    {
        QFETCH(double, n);
        QFETCH(double, expected);
        QFETCH(QString, message);
        const ExprResult<double> r = ExpressionEvaluator::factorial(n);
        if (std::isnan(expected)) {
            QVERIFY(!r.ok());
            QCOMPARE(r.error(), ExprError(ExprError::domain, message));
        } else {
            QVERIFY(r.ok());
            QCOMPARE(r.value(), expected);
        }
    }

    void factorial170IsAscendingProduct()
    {
        double p = 1;
        for (int i = 1; i <= 170; ++i)
            p *= i;
        QVERIFY(ExpressionEvaluator::factorial(170).value() == p);
        QVERIFY(eval(QStringLiteral("ncr(170,85)")).ok());
    }

    // ------------------------------------------------------------ tables
    void tables()
    {
        const QHash<QString, double>& c = ExpressionEvaluator::constants();
        QCOMPARE(c.size(), 4);
        QVERIFY(c.value(QStringLiteral("pi")) == 3.141592653589793);
        QVERIFY(c.value(QStringLiteral("e")) == 2.718281828459045);
        QVERIFY(c.value(QStringLiteral("tau")) == 6.283185307179586);
        QVERIFY(c.value(QStringLiteral("phi")) == 1.618033988749895);
        const QStringList& f = ExpressionEvaluator::functionNames();
        QCOMPARE(f.size(), 29);
        QCOMPARE(f.first(), QStringLiteral("sin"));
        QCOMPARE(f.last(), QStringLiteral("npr"));
        // Every listed name is a function: called bare it needs an argument.
        for (const QString& name : f)
            QCOMPARE(eval(name).error(), syntax("expression ends too early"));
    }

    void descriptions_data()
    {
        QTest::addColumn<ExprError>("error");
        QTest::addColumn<QString>("text");
        QTest::newRow("syntax") << syntax("missing )") << QStringLiteral("Syntax error: missing )");
        QTest::newRow("domain") << domain("overflow") << QStringLiteral("Math error: overflow");
        QTest::newRow("unknown") << unknown("foo") << QStringLiteral("Unknown name: foo");
        QTest::newRow("divide") << divByZero() << QStringLiteral("Cannot divide by zero");
    }

    void descriptions()
    {
        QFETCH(ExprError, error);
        QFETCH(QString, text);
        QCOMPARE(error.description(), text);
    }

    void errorEquality()
    {
        QVERIFY(syntax("a") == syntax("a"));
        QVERIFY(!(syntax("a") == domain("a")));
        QVERIFY(!(syntax("a") == syntax("b")));
        QVERIFY(divByZero() == divByZero());
    }

    void angleMode()
    {
        QCOMPARE(AngleMode::allCases().size(), 2);
        QVERIFY(AngleMode::allCases().at(0) == AngleMode::degrees);
        QCOMPARE(AngleMode(AngleMode::degrees).rawValue(), QStringLiteral("degrees"));
        QCOMPARE(AngleMode(AngleMode::radians).rawValue(), QStringLiteral("radians"));
        QVERIFY(AngleMode::fromRawValue(u"radians") == AngleMode::radians);
        QVERIFY(!AngleMode::fromRawValue(u"Radians"));
        QVERIFY(!AngleMode::fromRawValue(u""));
        QVERIFY(qHash(AngleMode(AngleMode::degrees)) != qHash(AngleMode(AngleMode::radians)));
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
