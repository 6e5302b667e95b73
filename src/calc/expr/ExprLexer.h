#pragma once

#include "calc/expr/ExprCommon.h"

#include <QStringView>
#include <string_view>

namespace Expr {

struct Function;

// One token; names are kept lower-cased in TokenList::names.
struct Token {
    enum Kind : quint8 { num, ident, op, lp, rp, comma };
    Kind kind;
    const Function* fn;  // ident: the function of that name, or nullptr
    char16_t symbol;     // op: + - * / ^ % !
    qsizetype nameStart; // ident: in TokenList::names
    qsizetype nameLength;
    double number;       // num
};

struct TokenList {
    QVarLengthArray<Token, 48> toks;
    QVarLengthArray<char16_t, 128> names;

    std::u16string_view name(const Token& t) const
    {
        return std::u16string_view(names.constData() + t.nameStart, size_t(t.nameLength));
    }
};

// Splits the normalised text into tokens, character by character (grapheme
// clusters, so a digit with a combining mark is not a digit); fails with a
// syntax error.
Error tokenizeInto(QStringView normalized, TokenList& out);

} // namespace Expr
