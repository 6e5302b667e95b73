#pragma once

#include "calc/AngleMode.h"
#include "calc/ExprError.h"

#include <QString>
#include <QVarLengthArray>
#include <optional>

// What the stages of the expression engine share. The engine runs on every
// keystroke, so the hot path works on UTF-16 code units in stack buffers,
// and errors are carried as values instead of being thrown.
namespace Expr {

using Error = std::optional<ExprError>;

inline ExprError syntaxError(QString message)
{
    return ExprError(ExprError::syntax, std::move(message));
}

inline ExprError domainError(QString message)
{
    return ExprError(ExprError::domain, std::move(message));
}

// Keeps the first failure and gives 0 as the value.
inline double fail(Error& err, ExprError e)
{
    if (!err)
        err = std::move(e);
    return 0;
}

using TextBuffer = QVarLengthArray<char16_t, 256>;

} // namespace Expr
