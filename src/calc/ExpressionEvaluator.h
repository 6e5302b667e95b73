#pragma once

#include "calc/AngleMode.h"
#include "calc/ExprError.h"
#include "calc/ExprResult.h"

#include <QChar>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <span>

// The expression engine: turns a line such as "2×sin(30)+√9" into one double
// or an ExprError. Typographic glyphs are normalised, the text is split into
// tokens, and a recursive-descent parser evaluates while it reads (there is
// no syntax tree). A pure computation: nothing survives between calls, and
// evaluations may run on any thread.
//
//     ExpressionEvaluator ev{AngleMode::degrees, {{QStringLiteral("ans"), 21}}};
//     const ExprResult<double> r = ev.evaluate(u"ans*2");
//     if (r) use(r.value()); else show(r.error().description());
struct ExpressionEvaluator {
    // How sin, cos and tan read their argument and how the inverse
    // functions return theirs.
    AngleMode angleMode = AngleMode::radians;
    // Named values, looked up before the constants with the lower-cased name;
    // so keys are stored in lower case ("ans", "m").
    QHash<QString, double> variables;

    // One token of the expression.
    struct Tok {
        enum Kind : int { num, ident, op, lp, rp, comma };
        Kind kind = num;
        double number = 0;  // num
        QString name;       // ident, lower-cased
        QChar symbol;       // op: + - * / ^ % !

        static Tok makeNum(double v)
        {
            Tok t;
            t.number = v;
            return t;
        }
        static Tok makeIdent(const QString& n)
        {
            Tok t;
            t.kind = ident;
            t.name = n;
            return t;
        }
        static Tok makeOp(char c)
        {
            Tok t;
            t.kind = op;
            t.symbol = QChar::fromLatin1(c);
            return t;
        }
        static Tok make(Kind k)
        {
            Tok t;
            t.kind = k;
            return t;
        }

        friend bool operator==(const Tok& a, const Tok& b)
        {
            if (a.kind != b.kind)
                return false;
            switch (a.kind) {
            case num: return a.number == b.number;
            case ident: return a.name == b.name;
            case op: return a.symbol == b.symbol;
            default: return true;
            }
        }
    };

    // The whole evaluation: normalise, tokenise, parse and evaluate, then
    // check that nothing is left over and that the value is finite.
    ExprResult<double> evaluate(QStringView text) const;

    // The glyph rewriting: × ÷ − · to * / - *, π to " pi ", √ to " sqrt ",
    // ² ³ to ^2 ^3, and ** to ^.
    static QString normalize(QStringView text);

    // The token list of the (normalised) text; fails with a syntax error.
    static ExprResult<QList<Tok>> tokenize(QStringView text);

    // Applies the function `name` (lower case) to the arguments in this
    // evaluator's angle mode; a name outside the function table fails with
    // `unknown`.
    ExprResult<double> call(QStringView name, std::span<const double> args) const;

    // n! for whole n in 0…170.
    static ExprResult<double> factorial(double n);

    // "pi", "e", "tau", "phi".
    static const QHash<QString, double>& constants();
    // The 29 function names, in table order.
    static const QStringList& functionNames();
};
