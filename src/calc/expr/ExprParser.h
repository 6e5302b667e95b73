#pragma once

#include "calc/expr/ExprCommon.h"

struct ExpressionEvaluator;

namespace Expr {

struct TokenList;

// Reads the tokens by recursive descent, evaluating on the fly in the
// evaluator's angle mode with its variables. Sets `err` on the first
// failure, including input left over after a whole expression.
double evaluateTokens(const TokenList& list, const ExpressionEvaluator& ev, Error& err);

} // namespace Expr
