#pragma once

#include <QString>

// A failed evaluation of the expression engine. `description()` is the text
// the calculators show the user.
class ExprError {
public:
    enum Kind : int {
        syntax,       // payload: the message
        domain,       // payload: the message
        unknown,      // payload: the lower-cased name
        divideByZero, // no payload
    };

    ExprError(Kind kind = syntax, QString payload = QString()) : m_kind(kind), m_payload(std::move(payload)) {}

    Kind kind() const { return m_kind; }
    // The message (syntax, domain) or the name (unknown); empty for
    // divideByZero.
    const QString& payload() const { return m_payload; }

    // "Syntax error: …", "Math error: …", "Unknown name: …" or
    // "Cannot divide by zero".
    QString description() const;

    friend bool operator==(const ExprError& a, const ExprError& b)
    {
        return a.m_kind == b.m_kind && (a.m_kind == divideByZero || a.m_payload == b.m_payload);
    }

private:
    Kind m_kind;
    QString m_payload;
};
