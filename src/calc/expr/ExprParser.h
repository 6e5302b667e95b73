#pragma once

#include "calc/expr/ExprCommon.h"

#include <QHash>
#include <QString>

namespace Expr {

struct TokenList;

// What names mean during one evaluation: the angle mode of the
// trigonometric functions and the named values (lower-case keys), looked up
// before the constants.
struct Scope {
    AngleMode angleMode;
    const QHash<QString, double>& variables;
};

// Reads the tokens by recursive descent, evaluating on the fly in `scope`. Sets `err` on the first
// failure, including input left over after a whole expression.
double evaluateTokens(const TokenList& list, const Scope& scope, Error& err);

} // namespace Expr
