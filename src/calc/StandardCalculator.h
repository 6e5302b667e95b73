#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <utility>

// The four-function calculator behind the Calculator window. It takes one
// key at a time and keeps the whole chain of operands and operators, which
// the expression engine evaluates, so × and ÷ bind tighter than + and −.
struct StandardCalculator {
    // The last operation (operator, operand), repeated by a further "=".
    using Operation = std::pair<QString, QString>;

    // The most digits a typed number holds.
    static constexpr int kMaxDigits = 16;

    QString display = QStringLiteral("0");
    QString expressionLine;
    double memory = 0;
    bool hasMemory = false;
    bool isError = false;
    QStringList tokens;
    bool typing = false;
    bool operandReady = false;
    bool justEvaluated = false;
    std::optional<Operation> lastOp;

    // The operator tokens "+", "-", "×", "÷".
    static const QStringList& ops();
    static bool isOperator(const QString& token);

    // The display read as a number; 0 when it is not one (an error text).
    double value() const;

    // Applies one key; unknown keys are ignored.
    void input(const QString& key);
    void inputSequence(const QStringList& keys);

    void pushOperator(const QString& op);
    void equals();
    void finish(const QStringList& chain);

    enum class Failure { divideByZero, other };
    struct Evaluation {
        double value = 0;
        std::optional<Failure> failure;
    };
    // The chain rewritten for the expression engine and evaluated in radians
    // without variables.
    static Evaluation evaluate(const QStringList& chain);

    // Number of digit characters of a display text (sign and point aside).
    static int digitCount(const QString& text);

private:
    void reset();
    void startNumberIfNeeded();
    void appendDigit(QChar digit);
};
