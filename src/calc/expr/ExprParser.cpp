#include "calc/expr/ExprParser.h"

#include "calc/expr/ExprFunctions.h"
#include "calc/expr/ExprLexer.h"
#include "calc/expr/ExprNumerics.h"

namespace Expr {

namespace {

// Recursive descent with evaluation on the fly. The first failure is kept
// in m_error and every level returns at once after it.
class Parser {
public:
    Parser(const TokenList& list, const Scope& scope)
        : m_list(list), m_toks(list.toks.constData()), m_count(list.toks.size()), m_ev(scope)
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
            return t.fn == nullptr ? lookup(t) : function(t);
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
            return apply(*t.fn, name, &arg, 1, m_ev.angleMode, m_error);
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
        return apply(*t.fn, name, args.constData(), args.size(), m_ev.angleMode, m_error);
    }

    const TokenList& m_list;
    const Token* m_toks;
    qsizetype m_count;
    const Scope& m_ev;
    qsizetype m_pos = 0;
    int m_depth = 0;
    Error m_error;
};

} // namespace

double evaluateTokens(const TokenList& list, const Scope& scope, Error& err)
{
    Parser parser(list, scope);
    const double value = parser.parseExpr();
    if (parser.error()) {
        err = std::move(parser.error());
        return 0;
    }
    if (parser.position() < parser.count()) {
        err = syntaxError(QStringLiteral("unexpected input"));
        return 0;
    }
    return value;
}

} // namespace Expr
