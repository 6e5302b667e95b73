#include "calc/expr/ExprLexer.h"

#include "calc/expr/ExprFunctions.h"

#include <QTextBoundaryFinder>
#include <charconv>
#include <cstdlib>
#include <locale.h>

namespace Expr {

namespace {

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
                Token t{Token::op, nullptr, 0, 0, 0, 0};
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
        m_out.toks.append(Token{Token::num, nullptr, 0, 0, 0, value});
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
        Token t{Token::ident, nullptr, 0, at, m_out.names.size() - at, 0};
        t.fn = findFunction(m_out.name(t));
        m_out.toks.append(t);
    }

    const char16_t* m_s;
    qsizetype m_n;
    const Clusters& m_cl;
    TokenList& m_out;
};

} // namespace

Error tokenizeInto(QStringView normalized, TokenList& out)
{
    if (onlySimpleClusters(normalized)) {
        const SimpleClusters clusters{normalized.utf16(), normalized.size()};
        return Lexer<SimpleClusters>(normalized, clusters, out).run();
    }
    const FoundClusters clusters(normalized);
    return Lexer<FoundClusters>(normalized, clusters, out).run();
}

} // namespace Expr
