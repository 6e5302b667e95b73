#include "calc/ExpressionEvaluator.h"

#include <QTextBoundaryFinder>
#include <QVarLengthArray>

#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <locale.h>
#include <numbers>
#include <optional>

// The engine runs on every keystroke, so the hot path works on UTF-16 code
// units in stack buffers: the normalised text, the token list and the
// lower-cased names live in QVarLengthArrays, and errors are carried in the
// parser instead of being thrown. A QString is only made for an error
// message, a non-ASCII name, or a variable lookup key that is a raw view.

namespace {

using Error = std::optional<ExprError>;

ExprError syntaxError(QString message)
{
    return ExprError(ExprError::syntax, std::move(message));
}

ExprError domainError(QString message)
{
    return ExprError(ExprError::domain, std::move(message));
}

// ---------------------------------------------------------------- tables

enum Fn : quint8 {
    fnNone,
    fnSin, fnCos, fnTan, fnAsin, fnAcos, fnAtan, fnArcsin, fnArccos, fnArctan,
    fnSinh, fnCosh, fnTanh, fnAsinh, fnAcosh, fnAtanh,
    fnLn, fnLog, fnLog2, fnSqrt, fnCbrt, fnRoot, fnAbs, fnExp,
    fnFloor, fnCeil, fnRound, fnFact, fnNcr, fnNpr,
    fnCount
};

constexpr std::array<std::u16string_view, fnCount> kFunctionNames{
    u"",
    u"sin", u"cos", u"tan", u"asin", u"acos", u"atan", u"arcsin", u"arccos", u"arctan",
    u"sinh", u"cosh", u"tanh", u"asinh", u"acosh", u"atanh",
    u"ln", u"log", u"log2", u"sqrt", u"cbrt", u"root", u"abs", u"exp",
    u"floor", u"ceil", u"round", u"fact", u"ncr", u"npr",
};

// A short lower-case ASCII name packed into one integer; 0 for names that
// are too long or not ASCII, which match nothing.
constexpr quint64 nameKey(std::u16string_view name)
{
    if (name.empty() || name.size() > 8)
        return 0;
    quint64 key = 0;
    for (const char16_t c : name) {
        if (c == 0 || c >= 0x80)
            return 0;
        key = (key << 8) | quint64(c);
    }
    return key;
}

constexpr Fn functionId(std::u16string_view name)
{
    switch (nameKey(name)) {
    case nameKey(u"sin"): return fnSin;
    case nameKey(u"cos"): return fnCos;
    case nameKey(u"tan"): return fnTan;
    case nameKey(u"asin"): return fnAsin;
    case nameKey(u"acos"): return fnAcos;
    case nameKey(u"atan"): return fnAtan;
    case nameKey(u"arcsin"): return fnArcsin;
    case nameKey(u"arccos"): return fnArccos;
    case nameKey(u"arctan"): return fnArctan;
    case nameKey(u"sinh"): return fnSinh;
    case nameKey(u"cosh"): return fnCosh;
    case nameKey(u"tanh"): return fnTanh;
    case nameKey(u"asinh"): return fnAsinh;
    case nameKey(u"acosh"): return fnAcosh;
    case nameKey(u"atanh"): return fnAtanh;
    case nameKey(u"ln"): return fnLn;
    case nameKey(u"log"): return fnLog;
    case nameKey(u"log2"): return fnLog2;
    case nameKey(u"sqrt"): return fnSqrt;
    case nameKey(u"cbrt"): return fnCbrt;
    case nameKey(u"root"): return fnRoot;
    case nameKey(u"abs"): return fnAbs;
    case nameKey(u"exp"): return fnExp;
    case nameKey(u"floor"): return fnFloor;
    case nameKey(u"ceil"): return fnCeil;
    case nameKey(u"round"): return fnRound;
    case nameKey(u"fact"): return fnFact;
    case nameKey(u"ncr"): return fnNcr;
    case nameKey(u"npr"): return fnNpr;
    default: return fnNone;
    }
}

static_assert([] {
    for (int i = 1; i < fnCount; ++i) {
        if (functionId(kFunctionNames[size_t(i)]) != Fn(i))
            return false;
    }
    return true;
}(), "the name table and the lookup agree");

struct Constant {
    std::u16string_view name;
    double value;
};

constexpr std::array<Constant, 4> kConstants{{
    {u"pi", std::numbers::pi},
    {u"e", std::numbers::e},
    {u"tau", 2 * std::numbers::pi},
    {u"phi", std::numbers::phi},
}};

const double* constantValue(std::u16string_view name)
{
    switch (nameKey(name)) {
    case nameKey(u"pi"): return &kConstants[0].value;
    case nameKey(u"e"): return &kConstants[1].value;
    case nameKey(u"tau"): return &kConstants[2].value;
    case nameKey(u"phi"): return &kConstants[3].value;
    default: return nullptr;
    }
}

// n! for n = 0…170, multiplied in ascending order.
const std::array<double, 171>& factorialTable()
{
    static const std::array<double, 171> table = [] {
        std::array<double, 171> t{};
        double p = 1;
        t[0] = 1;
        for (int i = 1; i <= 170; ++i) {
            p *= double(i);
            t[size_t(i)] = p;
        }
        return t;
    }();
    return table;
}

// ------------------------------------------------------------- numerics

bool isWhole(double x)
{
    return x == std::round(x); // false for NaN, true for the infinities
}

// The parity of a whole double. Values beyond the 64-bit range (every double
// of that size is even anyway) and non-finite values report "not odd", so
// nothing out of range is ever converted to an integer.
bool isOddWhole(double k)
{
    constexpr double limit = 9223372036854775808.0; // 2^63
    if (!(k > -limit && k < limit))
        return false;
    return qint64(k) % 2 != 0;
}

double snapToZero(double r)
{
    return std::fabs(r) < 1e-13 ? 0.0 : r;
}

double toRadians(double x, AngleMode mode)
{
    return mode == AngleMode::degrees ? x * std::numbers::pi / 180 : x;
}

double fromRadians(double r, AngleMode mode)
{
    return mode == AngleMode::degrees ? r * 180 / std::numbers::pi : r;
}

double factorialOf(double n, Error& err)
{
    if (!isWhole(n) || !(n >= 0)) {
        err = domainError(QStringLiteral("factorial needs a whole number ≥ 0"));
        return 0;
    }
    if (n > 170) {
        err = domainError(QStringLiteral("overflow"));
        return 0;
    }
    return factorialTable()[size_t(n)];
}

double power(double base, double exponent, Error& err)
{
    if (base == 0 && exponent < 0) {
        err = ExprError(ExprError::divideByZero);
        return 0;
    }
    if (base < 0 && !isWhole(exponent)) {
        const double r = 1 / exponent;
        const double k = std::round(r);
        if (std::fabs(r - k) < 1e-9 && isOddWhole(k))
            return -std::pow(-base, exponent);
        err = domainError(QStringLiteral("fractional power of a negative number"));
        return 0;
    }
    return std::pow(base, exponent);
}

// Applies function `fn` (spelt `name` by the user, lower-cased) to n
// arguments.
double applyFunction(Fn fn, QStringView name, const double* a, qsizetype n, AngleMode mode, Error& err)
{
    auto fail = [&err](ExprError e) {
        err = std::move(e);
        return 0.0;
    };

    switch (fn) {
    case fnLog:
        if (n == 2) {
            const double x = a[0];
            const double b = a[1];
            if (!(x > 0 && b > 0 && b != 1))
                return fail(domainError(QStringLiteral("bad log base")));
            return std::log(x) / std::log(b);
        }
        break;
    case fnRoot: {
        if (n != 2)
            return fail(syntaxError(QStringLiteral("root(x, n) takes 2 values")));
        const double x = a[0];
        const double k = a[1];
        if (k == 0)
            return fail(domainError(QStringLiteral("zeroth root")));
        if (x < 0) {
            if (isWhole(k) && isOddWhole(k))
                return -std::pow(-x, 1 / k);
            return fail(domainError(QStringLiteral("even root of a negative number")));
        }
        return std::pow(x, 1 / k);
    }
    case fnNpr:
    case fnNcr: {
        if (n != 2)
            return fail(syntaxError(name.toString() + QStringLiteral("(n, r) takes 2 values")));
        const double nn = a[0];
        const double r = a[1];
        if (!(isWhole(nn) && isWhole(r) && nn >= 0 && r >= 0 && r <= nn))
            return fail(domainError(QStringLiteral("bad n, r")));
        if (fn == fnNcr && r > 170)
            return fail(domainError(QStringLiteral("overflow")));
        // r factors from n downward. Every factor is at least 1, so once the
        // product is infinite it stays so; stopping there bounds the loop
        // for huge r (npr(1e18, 1e18)).
        double p = 1;
        for (double i = 0; i < r && !std::isinf(p); ++i)
            p *= nn - i;
        if (fn == fnNcr)
            return p / factorialTable()[size_t(r)];
        return p;
    }
    default:
        break;
    }

    if (n != 1)
        return fail(syntaxError(name.toString() + QStringLiteral(" takes 1 value")));
    const double x = a[0];

    switch (fn) {
    case fnSin:
        return snapToZero(std::sin(toRadians(x, mode)));
    case fnCos:
        return snapToZero(std::cos(toRadians(x, mode)));
    case fnTan: {
        const double angle = toRadians(x, mode);
        if (std::fabs(std::cos(angle)) < 1e-13)
            return fail(domainError(QStringLiteral("tan is undefined here")));
        return snapToZero(std::tan(angle));
    }
    case fnAsin:
    case fnArcsin:
        if (std::fabs(x) > 1)
            return fail(domainError(QStringLiteral("asin needs -1…1")));
        return fromRadians(std::asin(x), mode);
    case fnAcos:
    case fnArccos:
        if (std::fabs(x) > 1)
            return fail(domainError(QStringLiteral("acos needs -1…1")));
        return fromRadians(std::acos(x), mode);
    case fnAtan:
    case fnArctan:
        return fromRadians(std::atan(x), mode);
    case fnSinh:
        return std::sinh(x);
    case fnCosh:
        return std::cosh(x);
    case fnTanh:
        return std::tanh(x);
    case fnAsinh:
        return std::asinh(x);
    case fnAcosh:
        if (x < 1)
            return fail(domainError(QStringLiteral("acosh needs ≥ 1")));
        return std::acosh(x);
    case fnAtanh:
        if (std::fabs(x) >= 1)
            return fail(domainError(QStringLiteral("atanh needs -1…1")));
        return std::atanh(x);
    case fnLn:
        if (!(x > 0))
            return fail(domainError(QStringLiteral("ln needs a positive number")));
        return std::log(x);
    case fnLog:
        if (x <= 0)
            return fail(domainError(QStringLiteral("log needs a positive number")));
        return std::log10(x);
    case fnLog2:
        if (x <= 0)
            return fail(domainError(QStringLiteral("log2 needs a positive number")));
        return std::log2(x);
    case fnSqrt:
        if (x < 0)
            return fail(domainError(QStringLiteral("square root of a negative number")));
        return std::sqrt(x);
    case fnCbrt:
        return std::cbrt(x);
    case fnAbs:
        return std::fabs(x);
    case fnExp:
        return std::exp(x);
    case fnFloor:
        return std::floor(x);
    case fnCeil:
        return std::ceil(x);
    case fnRound:
        return std::round(x);
    case fnFact:
        return factorialOf(x, err);
    default:
        break;
    }
    return fail(ExprError(ExprError::unknown, name.toString()));
}

// ---------------------------------------------------------- normalising

using TextBuffer = QVarLengthArray<char16_t, 256>;

bool needsNormalizing(QStringView text)
{
    const char16_t* s = text.utf16();
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = s[i];
        if (c < 0x80) {
            if (c == u'*' && i + 1 < n && s[i + 1] == u'*')
                return true;
            continue;
        }
        switch (c) {
        case u'×': case u'÷': case u'−': case u'π': case u'√': case u'²': case u'³': case u'·':
            return true;
        default:
            break;
        }
    }
    return false;
}

// Writes the normalised text into `out`. The glyph rewrites cannot create
// one another, only "*" pairs for the last rule, so one pass for the
// glyphs and one left-to-right pass for "**" give the same result as the
// rewrites applied one after another.
void normalizeInto(QStringView text, TextBuffer& out)
{
    out.resize(text.size() * 6); // " sqrt " is the longest rewrite
    char16_t* w = out.data();
    auto put = [&w](std::u16string_view s) {
        for (const char16_t c : s)
            *w++ = c;
    };
    for (const QChar qc : text) {
        const char16_t c = qc.unicode();
        if (c < u'²') {
            *w++ = c;
            continue;
        }
        switch (c) {
        case u'×': *w++ = u'*'; break;
        case u'÷': *w++ = u'/'; break;
        case u'−': *w++ = u'-'; break;
        case u'π': put(u" pi "); break;
        case u'√': put(u" sqrt "); break;
        case u'²': put(u"^2"); break;
        case u'³': put(u"^3"); break;
        case u'·': *w++ = u'*'; break;
        default: *w++ = c; break;
        }
    }
    char16_t* const begin = out.data();
    char16_t* const end = w;
    w = begin;
    for (const char16_t* r = begin; r < end; ++r) {
        if (*r == u'*' && r + 1 < end && r[1] == u'*') {
            *w++ = u'^';
            ++r;
        } else {
            *w++ = *r;
        }
    }
    out.resize(w - begin);
}

// The normalised text: the input itself when nothing changes, else the
// rewritten copy in `buffer`.
QStringView normalizedView(QStringView text, TextBuffer& buffer)
{
    if (!needsNormalizing(text))
        return text;
    normalizeInto(text, buffer);
    return QStringView(buffer.constData(), buffer.size());
}

// ----------------------------------------------------------- tokenising

struct Token {
    enum Kind : quint8 { num, ident, op, lp, rp, comma };
    Kind kind;
    quint8 fn;         // ident: the function, or fnNone
    char16_t symbol;   // op
    qsizetype nameStart; // ident: in TokenList::names
    qsizetype nameLength;
    double number;     // num
};

struct TokenList {
    QVarLengthArray<Token, 48> toks;
    QVarLengthArray<char16_t, 128> names;

    std::u16string_view name(const Token& t) const
    {
        return std::u16string_view(names.constData() + t.nameStart, size_t(t.nameLength));
    }
};

// Grapheme clusters of a text whose code units are all below U+0300: there
// every code unit is a cluster of its own, except CR LF.
struct SimpleClusters {
    static constexpr bool simple = true;
    const char16_t* s;
    qsizetype n;
    qsizetype next(qsizetype i) const { return (s[i] == u'\r' && i + 1 < n && s[i + 1] == u'\n') ? i + 2 : i + 1; }
};

// Grapheme clusters found by the text boundary finder.
struct FoundClusters {
    static constexpr bool simple = false;
    QVarLengthArray<qsizetype, 256> ends; // ends[start] = end of the cluster at start
    qsizetype next(qsizetype i) const { return ends[i]; }

    explicit FoundClusters(QStringView text)
    {
        ends.resize(text.size() + 1);
        // The finder keeps one byte of attributes per code unit; a stack
        // buffer spares it an allocation for text of ordinary length.
        QVarLengthArray<unsigned char, 256> attributes(text.size() + 1);
        QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text, attributes.data(), attributes.size());
        qsizetype start = 0;
        while (start < text.size()) {
            qsizetype end = finder.toNextBoundary();
            if (end <= start || end > text.size()) {
                end = start + 1; // never stall on a confused finder
                finder.setPosition(end);
            }
            ends[start] = end;
            start = end;
        }
    }
};

bool onlySimpleClusters(QStringView text)
{
    for (const QChar c : text) {
        if (c.unicode() >= 0x300)
            return false;
    }
    return true;
}

constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                    1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

template <typename Clusters>
class Lexer {
public:
    Lexer(QStringView text, const Clusters& clusters, TokenList& out)
        : m_s(text.utf16()), m_n(text.size()), m_cl(clusters), m_out(out)
    {
    }

    Error run()
    {
        qsizetype i = 0;
        while (i < m_n) {
            const char16_t c = m_s[i];
            if (c < 0x80 && c != u'\r' && isSingle(i, c)) {
                // One ASCII character: the common case.
                if (c == u' ' || c == u'\t' || c == u'\n') {
                    ++i;
                    continue;
                }
                if ((c >= u'0' && c <= u'9') || c == u'.') {
                    if (Error err = number(i))
                        return err;
                    continue;
                }
                if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_') {
                    name(i);
                    continue;
                }
                Token t{Token::op, fnNone, 0, 0, 0, 0};
                switch (c) {
                case u'+': case u'-': case u'*': case u'/': case u'^': case u'%': case u'!':
                    t.symbol = c;
                    break;
                case u'(': case u'[': case u'{':
                    t.kind = Token::lp;
                    break;
                case u')': case u']': case u'}':
                    t.kind = Token::rp;
                    break;
                case u',': case u';':
                    t.kind = Token::comma;
                    break;
                default:
                    return unexpected(i);
                }
                m_out.toks.append(t);
                ++i;
                continue;
            }
            // Anything else is judged by its first code point, and taken as a
            // whole character (grapheme cluster).
            const char32_t cp = codePoint(i);
            if (QChar::isNumber(cp)) {
                if (Error err = number(i))
                    return err;
                continue;
            }
            if (QChar::isLetter(cp)) {
                name(i);
                continue;
            }
            return unexpected(i);
        }
        return std::nullopt;
    }

private:
    Error unexpected(qsizetype i) const
    {
        return syntaxError(QStringLiteral("unexpected '") + text(i, m_cl.next(i)) + QStringLiteral("'"));
    }

    char32_t codePoint(qsizetype i) const
    {
        const char16_t c = m_s[i];
        if (QChar::isHighSurrogate(c) && i + 1 < m_n && QChar::isLowSurrogate(m_s[i + 1]))
            return QChar::surrogateToUcs4(c, m_s[i + 1]);
        return c;
    }

    // The character at i is exactly the ASCII character c (not c with a
    // combining mark).
    bool isSingle(qsizetype i, char16_t c) const
    {
        if (i >= m_n || m_s[i] != c)
            return false;
        return Clusters::simple ? c != u'\r' : m_cl.next(i) == i + 1;
    }

    bool isNumeric(qsizetype i) const
    {
        if (i >= m_n)
            return false;
        const char16_t c = m_s[i];
        if (c < 0x80)
            return c >= u'0' && c <= u'9';
        return QChar::isNumber(codePoint(i));
    }

    bool isNameChar(qsizetype i) const
    {
        const char16_t c = m_s[i];
        if (c < 0x80)
            return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || (c == u'_' && isSingle(i, c));
        const char32_t cp = codePoint(i);
        return QChar::isLetter(cp) || QChar::isNumber(cp);
    }

    QString text(qsizetype from, qsizetype to) const
    {
        return QString(reinterpret_cast<const QChar*>(m_s + from), to - from);
    }

    // A number literal from `i`; moves `i` past it.
    Error number(qsizetype& i)
    {
        const qsizetype start = i;
        qsizetype k = i;
        while (k < m_n && (isNumeric(k) || isSingle(k, u'.')))
            k = m_cl.next(k);
        qsizetype expAt = -1;
        if (isSingle(k, u'e') || isSingle(k, u'E')) {
            qsizetype m = m_cl.next(k);
            if (isSingle(m, u'+') || isSingle(m, u'-'))
                m = m_cl.next(m);
            const qsizetype digits = m;
            while (isNumeric(m))
                m = m_cl.next(m);
            if (m > digits) {
                expAt = k;
                k = m;
            }
        }
        i = k;

        double value = 0;
        if (!convert(start, k, expAt, value)) {
            QString t = text(start, k);
            if (expAt >= 0)
                t[expAt - start] = u'e';
            return syntaxError(QStringLiteral("bad number ") + t);
        }
        m_out.toks.append(Token{Token::num, fnNone, 0, 0, 0, value});
        return std::nullopt;
    }

    // The value of the literal in [start, end) with its exponent "e" at
    // expAt (or -1); false when it is not a decimal literal: two points, no
    // digit, or a numeral outside 0-9.
    bool convert(qsizetype start, qsizetype end, qsizetype expAt, double& value) const
    {
        const qsizetype mantissaEnd = expAt >= 0 ? expAt : end;
        quint64 mantissa = 0;
        qsizetype significant = 0; // digits in mantissa, from the first non-zero one
        qsizetype digits = 0;
        qsizetype fraction = 0;
        bool point = false;
        for (qsizetype p = start; p < mantissaEnd; ++p) {
            const char16_t c = m_s[p];
            if (c == u'.') {
                if (point)
                    return false;
                point = true;
                continue;
            }
            if (c < u'0' || c > u'9')
                return false;
            ++digits;
            if (point)
                ++fraction;
            if (significant > 0 || c != u'0') {
                if (significant < 19)
                    mantissa = mantissa * 10 + (c - u'0');
                ++significant;
            }
        }
        if (digits == 0)
            return false;
        int exponent = 0;
        bool hugeExponent = false;
        if (expAt >= 0) {
            qsizetype p = expAt + 1;
            const bool negative = m_s[p] == u'-';
            if (m_s[p] == u'-' || m_s[p] == u'+')
                ++p;
            for (; p < end; ++p) {
                const char16_t c = m_s[p];
                if (c < u'0' || c > u'9')
                    return false;
                if (exponent < 100000)
                    exponent = exponent * 10 + (c - u'0');
                else
                    hugeExponent = true;
            }
            if (negative)
                exponent = -exponent;
        }
        // Exact operands and one correctly rounded operation give the
        // correctly rounded value.
        if (significant <= 15 && !hugeExponent && fraction < 100000) {
            const int e10 = exponent - int(fraction);
            if (mantissa == 0) {
                value = 0;
                return true;
            }
            if (e10 >= 0 && e10 <= 22) {
                value = double(mantissa) * kPowersOfTen[e10];
                return true;
            }
            if (e10 < 0 && e10 >= -22) {
                value = double(mantissa) / kPowersOfTen[-e10];
                return true;
            }
        }
        QVarLengthArray<char, 64> ascii;
        for (qsizetype p = start; p < end; ++p)
            ascii.append(p == expAt ? 'e' : char(m_s[p]));
        const char* first = ascii.constData();
        const char* last = first + ascii.size();
        const auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::general);
        if (ptr == last && ec == std::errc())
            return true;
        if (ptr == last && ec == std::errc::result_out_of_range)
            return outOfRange(ascii, value);
        return false;
    }

    // A literal too large or too small for a double: read by strtod in the C
    // locale, which gives infinity (reported later as an overflow) or the
    // nearest tiny value.
    static bool outOfRange(QVarLengthArray<char, 64>& ascii, double& value)
    {
        static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t(0));
        ascii.append('\0');
        char* end = nullptr;
        value = cLocale ? strtod_l(ascii.constData(), &end, cLocale) : std::strtod(ascii.constData(), &end);
        return end == ascii.constData() + ascii.size() - 1;
    }

    // A name from `i`: letters, numerals and "_", lower-cased.
    void name(qsizetype& i)
    {
        const qsizetype start = i;
        qsizetype k = i;
        bool ascii = true;
        while (k < m_n && isNameChar(k)) {
            const qsizetype next = m_cl.next(k);
            if (ascii) {
                for (qsizetype p = k; p < next; ++p)
                    ascii = ascii && m_s[p] < 0x80;
            }
            k = next;
        }
        i = k;

        const qsizetype at = m_out.names.size();
        if (ascii) {
            const qsizetype needed = at + (k - start);
            if (needed > m_out.names.capacity()) // resize() alone grows by the exact amount
                m_out.names.reserve(qMax(needed, 2 * m_out.names.capacity()));
            m_out.names.resize(needed);
            char16_t* out = m_out.names.data() + at;
            for (qsizetype p = start; p < k; ++p) {
                const char16_t c = m_s[p];
                *out++ = c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c;
            }
        } else {
            const QString lower = text(start, k).toLower();
            m_out.names.append(reinterpret_cast<const char16_t*>(lower.utf16()), lower.size());
        }
        Token t{Token::ident, fnNone, 0, at, m_out.names.size() - at, 0};
        t.fn = functionId(m_out.name(t));
        m_out.toks.append(t);
    }

    const char16_t* m_s;
    qsizetype m_n;
    const Clusters& m_cl;
    TokenList& m_out;
};

Error tokenizeInto(QStringView normalized, TokenList& out)
{
    if (onlySimpleClusters(normalized)) {
        const SimpleClusters clusters{normalized.utf16(), normalized.size()};
        return Lexer<SimpleClusters>(normalized, clusters, out).run();
    }
    const FoundClusters clusters(normalized);
    return Lexer<FoundClusters>(normalized, clusters, out).run();
}

// -------------------------------------------------------------- parsing

// Recursive descent with evaluation on the fly. The first failure is kept
// in m_error and every level returns at once after it.
class Parser {
public:
    Parser(const TokenList& list, const ExpressionEvaluator& ev)
        : m_list(list), m_toks(list.toks.constData()), m_count(list.toks.size()), m_ev(ev)
    {
    }

    double parseExpr()
    {
        double v = parseTerm();
        if (m_error)
            return 0;
        while (m_pos < m_count && isOp(m_toks[m_pos], u'+', u'-')) {
            const bool plus = m_toks[m_pos].symbol == u'+';
            ++m_pos;
            const double r = parseTerm();
            if (m_error)
                return 0;
            v = plus ? v + r : v - r;
        }
        return v;
    }

    qsizetype position() const { return m_pos; }
    qsizetype count() const { return m_count; }
    Error& error() { return m_error; }

private:
    // Nesting is bounded so that hostile input (thousands of brackets)
    // cannot exhaust the stack; people never come near this.
    static constexpr int kMaxDepth = 200;

    static bool isOp(const Token& t, char16_t a, char16_t b)
    {
        return t.kind == Token::op && (t.symbol == a || t.symbol == b);
    }

    double fail(ExprError e)
    {
        if (!m_error)
            m_error = std::move(e);
        return 0;
    }

    double parseTerm()
    {
        double v = parseUnary();
        if (m_error)
            return 0;
        while (m_pos < m_count) {
            const Token& t = m_toks[m_pos];
            if (t.kind == Token::op && t.symbol == u'*') {
                ++m_pos;
                const double r = parseUnary();
                if (m_error)
                    return 0;
                v *= r;
            } else if (t.kind == Token::op && t.symbol == u'/') {
                ++m_pos;
                const double r = parseUnary();
                if (m_error)
                    return 0;
                if (r == 0)
                    return fail(ExprError(ExprError::divideByZero));
                v /= r;
            } else if (t.kind == Token::num || t.kind == Token::ident || t.kind == Token::lp) {
                const double r = parseUnary(); // implicit product
                if (m_error)
                    return 0;
                v *= r;
            } else {
                break;
            }
        }
        return v;
    }

    // Signs nest (--2 is 2); read as a loop, which gives the same value.
    double parseUnary()
    {
        bool negate = false;
        while (m_pos < m_count && isOp(m_toks[m_pos], u'-', u'+')) {
            if (m_toks[m_pos].symbol == u'-')
                negate = !negate;
            ++m_pos;
        }
        const double v = parsePower();
        if (m_error)
            return 0;
        return negate ? -v : v;
    }

    double parsePower()
    {
        if (m_depth >= kMaxDepth)
            return fail(syntaxError(QStringLiteral("expression is nested too deeply")));
        ++m_depth;
        double v = parsePostfix();
        if (!m_error && m_pos < m_count && isOp(m_toks[m_pos], u'^', u'^')) {
            ++m_pos;
            const double exponent = parseUnary();
            if (!m_error)
                v = power(v, exponent, m_error);
        }
        --m_depth;
        return m_error ? 0 : v;
    }

    double parsePostfix()
    {
        double v = parsePrimary();
        if (m_error)
            return 0;
        while (m_pos < m_count && isOp(m_toks[m_pos], u'!', u'%')) {
            if (m_toks[m_pos++].symbol == u'%') {
                v /= 100;
            } else {
                v = factorialOf(v, m_error);
                if (m_error)
                    return 0;
            }
        }
        return v;
    }

    double parsePrimary()
    {
        if (m_pos >= m_count) {
            ++m_pos;
            return fail(syntaxError(QStringLiteral("expression ends too early")));
        }
        const Token& t = m_toks[m_pos++];
        switch (t.kind) {
        case Token::num:
            return t.number;
        case Token::ident:
            return t.fn == fnNone ? lookup(t) : function(t);
        case Token::lp: {
            const double v = parseExpr();
            if (m_error)
                return 0;
            if (m_pos < m_count && m_toks[m_pos].kind == Token::rp) {
                ++m_pos;
                return v;
            }
            return fail(syntaxError(QStringLiteral("missing )")));
        }
        default:
            return fail(syntaxError(QStringLiteral("unexpected symbol")));
        }
    }

    double lookup(const Token& t)
    {
        const std::u16string_view name = m_list.name(t);
        if (!m_ev.variables.isEmpty()) {
            // A raw view of the name: no copy for the lookup.
            const QString key = QString::fromRawData(reinterpret_cast<const QChar*>(name.data()), qsizetype(name.size()));
            const auto it = m_ev.variables.constFind(key);
            if (it != m_ev.variables.constEnd())
                return it.value();
        }
        if (const double* c = constantValue(name))
            return *c;
        return fail(ExprError(ExprError::unknown, QString(reinterpret_cast<const QChar*>(name.data()), qsizetype(name.size()))));
    }

    double function(const Token& t)
    {
        const std::u16string_view n = m_list.name(t);
        const QStringView name(n.data(), qsizetype(n.size()));
        if (m_pos >= m_count || m_toks[m_pos].kind != Token::lp) {
            // "sin 30": one argument at the power level.
            const double arg = parsePower();
            if (m_error)
                return 0;
            return applyFunction(Fn(t.fn), name, &arg, 1, m_ev.angleMode, m_error);
        }
        ++m_pos;
        if (m_pos < m_count && m_toks[m_pos].kind == Token::rp)
            return fail(syntaxError(name.toString() + QStringLiteral("() needs a value")));
        QVarLengthArray<double, 4> args;
        for (;;) {
            const double a = parseExpr();
            if (m_error)
                return 0;
            args.append(a);
            if (m_pos < m_count && m_toks[m_pos].kind == Token::comma) {
                ++m_pos;
                continue;
            }
            if (m_pos < m_count && m_toks[m_pos].kind == Token::rp) {
                ++m_pos;
                break;
            }
            return fail(syntaxError(QStringLiteral("missing )")));
        }
        return applyFunction(Fn(t.fn), name, args.constData(), args.size(), m_ev.angleMode, m_error);
    }

    const TokenList& m_list;
    const Token* m_toks;
    qsizetype m_count;
    const ExpressionEvaluator& m_ev;
    qsizetype m_pos = 0;
    int m_depth = 0;
    Error m_error;
};

} // namespace

// ------------------------------------------------------------ interface

ExprResult<double> ExpressionEvaluator::evaluate(QStringView text) const
{
    TextBuffer buffer;
    const QStringView normalized = normalizedView(text, buffer);
    TokenList list;
    if (Error err = tokenizeInto(normalized, list))
        return std::move(*err);
    if (list.toks.isEmpty())
        return syntaxError(QStringLiteral("empty expression"));

    Parser parser(list, *this);
    const double value = parser.parseExpr();
    if (Error& err = parser.error())
        return std::move(*err);
    if (parser.position() < parser.count())
        return syntaxError(QStringLiteral("unexpected input"));
    if (std::isnan(value))
        return domainError(QStringLiteral("undefined result"));
    if (std::isinf(value))
        return domainError(QStringLiteral("overflow"));
    return value;
}

QString ExpressionEvaluator::normalize(QStringView text)
{
    TextBuffer buffer;
    const QStringView v = normalizedView(text, buffer);
    return v.toString();
}

ExprResult<QList<ExpressionEvaluator::Tok>> ExpressionEvaluator::tokenize(QStringView text)
{
    TextBuffer buffer;
    TokenList list;
    if (Error err = tokenizeInto(normalizedView(text, buffer), list))
        return std::move(*err);
    QList<Tok> out;
    out.reserve(list.toks.size());
    for (const Token& t : list.toks) {
        switch (t.kind) {
        case Token::num:
            out.append(Tok::makeNum(t.number));
            break;
        case Token::ident: {
            const std::u16string_view n = list.name(t);
            out.append(Tok::makeIdent(QString(reinterpret_cast<const QChar*>(n.data()), qsizetype(n.size()))));
            break;
        }
        case Token::op: {
            Tok tok = Tok::make(Tok::op);
            tok.symbol = QChar(t.symbol);
            out.append(tok);
            break;
        }
        case Token::lp:
            out.append(Tok::make(Tok::lp));
            break;
        case Token::rp:
            out.append(Tok::make(Tok::rp));
            break;
        case Token::comma:
            out.append(Tok::make(Tok::comma));
            break;
        }
    }
    return out;
}

ExprResult<double> ExpressionEvaluator::call(QStringView name, std::span<const double> args) const
{
    const Fn fn = functionId(std::u16string_view(name.utf16(), size_t(name.size())));
    if (fn == fnNone)
        return ExprError(ExprError::unknown, name.toString());
    Error err;
    const double v = applyFunction(fn, name, args.data(), qsizetype(args.size()), angleMode, err);
    if (err)
        return std::move(*err);
    return v;
}

ExprResult<double> ExpressionEvaluator::factorial(double n)
{
    Error err;
    const double v = factorialOf(n, err);
    if (err)
        return std::move(*err);
    return v;
}

const QHash<QString, double>& ExpressionEvaluator::constants()
{
    static const QHash<QString, double> table = [] {
        QHash<QString, double> t;
        for (const Constant& c : kConstants)
            t.insert(QString::fromUtf16(c.name.data(), qsizetype(c.name.size())), c.value);
        return t;
    }();
    return table;
}

const QStringList& ExpressionEvaluator::functionNames()
{
    static const QStringList names = [] {
        QStringList n;
        for (int i = 1; i < fnCount; ++i)
            n.append(QString::fromUtf16(kFunctionNames[size_t(i)].data(), qsizetype(kFunctionNames[size_t(i)].size())));
        return n;
    }();
    return names;
}
