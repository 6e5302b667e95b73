#include "calc/ExprError.h"

QString ExprError::description() const
{
    switch (m_kind) {
    case syntax:
        return QStringLiteral("Syntax error: ") + m_payload;
    case domain:
        return QStringLiteral("Math error: ") + m_payload;
    case unknown:
        return QStringLiteral("Unknown name: ") + m_payload;
    case divideByZero:
        break;
    }
    return QStringLiteral("Cannot divide by zero");
}
