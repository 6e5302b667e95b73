#include "calc/ExpressionEvaluator.h"

#include "calc/expr/ExprFunctions.h"
#include "calc/expr/ExprLexer.h"
#include "calc/expr/ExprNormalizer.h"
#include "calc/expr/ExprNumerics.h"
#include "calc/expr/ExprParser.h"

#include <cmath>

// The stages live in calc/expr: normaliser, lexer, parser (which evaluates
// as it reads) and the function table.

using namespace Expr;

ExprResult<double> ExpressionEvaluator::evaluate(QStringView text) const
{
    TextBuffer buffer;
    const QStringView normalized = normalizedView(text, buffer);
    TokenList list;
    if (Error err = tokenizeInto(normalized, list))
        return std::move(*err);
    if (list.toks.isEmpty())
        return syntaxError(QStringLiteral("empty expression"));

    Error err;
    const double value = evaluateTokens(list, Scope{angleMode, variables}, err);
    if (err)
        return std::move(*err);
    if (std::isnan(value))
        return domainError(QStringLiteral("undefined result"));
    if (std::isinf(value))
        return domainError(QStringLiteral("overflow"));
    return value;
}

QString ExpressionEvaluator::normalize(QStringView text)
{
    TextBuffer buffer;
    return normalizedView(text, buffer).toString();
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
    const Function* fn = findFunction(std::u16string_view(name.utf16(), size_t(name.size())));
    if (!fn)
        return ExprError(ExprError::unknown, name.toString());
    Error err;
    const double v = apply(*fn, name, args.data(), qsizetype(args.size()), angleMode, err);
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
        for (const Constant& c : Expr::constants())
            t.insert(QString::fromUtf16(c.name.data(), qsizetype(c.name.size())), c.value);
        return t;
    }();
    return table;
}

const QStringList& ExpressionEvaluator::functionNames()
{
    static const QStringList names = [] {
        QStringList n;
        for (const Function& f : functions())
            n.append(QString::fromUtf16(f.name.data(), qsizetype(f.name.size())));
        return n;
    }();
    return names;
}
