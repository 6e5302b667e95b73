#include "calc/StandardCalculator.h"

#include "calc/ExpressionEvaluator.h"
#include "calc/NumberFormat.h"

namespace {

constexpr int kSignificant = 12;

QString show(double v)
{
    return NumberFormat::display(v, kSignificant);
}

bool isDigitKey(const QString& key)
{
    return key.size() == 1 && key.at(0) >= QLatin1Char('0') && key.at(0) <= QLatin1Char('9');
}

} // namespace

const QStringList& StandardCalculator::ops()
{
    static const QStringList list{QStringLiteral("+"), QStringLiteral("-"), QStringLiteral("×"),
                                  QStringLiteral("÷")};
    return list;
}

bool StandardCalculator::isOperator(const QString& token)
{
    return ops().contains(token);
}

double StandardCalculator::value() const
{
    bool ok = false;
    const double v = display.toDouble(&ok);
    return ok ? v : 0;
}

int StandardCalculator::digitCount(const QString& text)
{
    int n = 0;
    for (QChar c : text) {
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            ++n;
    }
    return n;
}

void StandardCalculator::reset()
{
    display = QStringLiteral("0");
    expressionLine.clear();
    tokens.clear();
    typing = false;
    operandReady = false;
    justEvaluated = false;
    isError = false;
    lastOp.reset();
}

void StandardCalculator::startNumberIfNeeded()
{
    if (typing)
        return;
    if (justEvaluated) {
        tokens.clear();
        expressionLine.clear();
        justEvaluated = false;
    }
    display = QStringLiteral("0");
    typing = true;
}

void StandardCalculator::appendDigit(QChar digit)
{
    startNumberIfNeeded();
    if (digitCount(display) >= kMaxDigits)
        return;
    if (display == QLatin1String("0"))
        display = QString(digit);
    else if (display == QLatin1String("-0"))
        display = QStringLiteral("-") + digit;
    else
        display += digit;
    operandReady = true;
}

void StandardCalculator::input(const QString& key)
{
    if (isError) {
        const bool clears = key == QLatin1String("C") || key == QLatin1String("AC") || key == QLatin1String("CE");
        const bool starts = (!key.isEmpty() && key.at(0) >= QLatin1Char('0') && key.at(0) <= QLatin1Char('9'))
            || key == QLatin1String(".");
        if (!clears && !starts)
            return;
        reset();
        if (clears)
            return;
    }

    if (isDigitKey(key)) {
        appendDigit(key.at(0));
    } else if (key == QLatin1String(".")) {
        startNumberIfNeeded();
        if (!display.contains(QLatin1Char('.')))
            display += QLatin1Char('.');
        operandReady = true;
    } else if (isOperator(key)) {
        pushOperator(key);
    } else if (key == QLatin1String("*")) {
        pushOperator(QStringLiteral("×"));
    } else if (key == QLatin1String("/")) {
        pushOperator(QStringLiteral("÷"));
    } else if (key == QLatin1String("=") || key == QLatin1String("\r") || key == QLatin1String("Enter")) {
        equals();
    } else if (key == QLatin1String("%")) {
        display = show(value() / 100);
        typing = false;
        operandReady = true;
    } else if (key == u"±") {
        if (display.startsWith(QLatin1Char('-')))
            display.remove(0, 1);
        else if (display != QLatin1String("0"))
            display.prepend(QLatin1Char('-'));
        if (!typing)
            operandReady = true;
    } else if (key == QLatin1String("C") || key == QLatin1String("AC")) {
        reset();
    } else if (key == QLatin1String("CE")) {
        display = QStringLiteral("0");
        typing = true;
        operandReady = true;
    } else if (key == u"⌫" || key == QLatin1String("DEL")) {
        if (typing) {
            display.chop(1);
            if (display.isEmpty() || display == QLatin1String("-"))
                display = QStringLiteral("0");
        }
    } else if (key == QLatin1String("MC")) {
        memory = 0;
        hasMemory = false;
    } else if (key == QLatin1String("MR")) {
        if (hasMemory) {
            display = show(memory);
            typing = false;
            operandReady = true;
        }
    } else if (key == QLatin1String("M+")) {
        memory = value() + memory;
        hasMemory = true;
        typing = false;
    } else if (key == QLatin1String("M-")) {
        memory = memory - value();
        hasMemory = true;
        typing = false;
    } else if (key == QLatin1String("MS")) {
        memory = value();
        hasMemory = true;
        typing = false;
    }
}

void StandardCalculator::inputSequence(const QStringList& keys)
{
    for (const QString& k : keys)
        input(k);
}

void StandardCalculator::pushOperator(const QString& op)
{
    if (justEvaluated) {
        tokens.clear();
        justEvaluated = false;
        tokens.append(display);
    } else if (!operandReady) {
        if (!tokens.isEmpty() && isOperator(tokens.last()))
            tokens.removeLast();
        else if (tokens.isEmpty())
            tokens.append(display);
    } else {
        tokens.append(display);
    }

    if (tokens.size() >= 3) {
        const Evaluation e = evaluate(tokens);
        if (!e.failure)
            display = show(e.value);
    }

    tokens.append(op);
    expressionLine = tokens.join(QLatin1Char(' '));
    typing = false;
    operandReady = false;
}

void StandardCalculator::equals()
{
    if (!tokens.isEmpty()) {
        if (operandReady || isOperator(tokens.last()))
            tokens.append(display);
        if (tokens.size() >= 3)
            lastOp = Operation(tokens.at(tokens.size() - 2), tokens.last());
        finish(tokens);
    } else if (justEvaluated && lastOp) {
        finish(QStringList{display, lastOp->first, lastOp->second});
    }
}

void StandardCalculator::finish(const QStringList& chain)
{
    const Evaluation e = evaluate(chain);
    expressionLine = chain.join(QLatin1Char(' ')) + QStringLiteral(" =");
    if (!e.failure) {
        display = show(e.value);
    } else {
        display = *e.failure == Failure::divideByZero ? QStringLiteral("Cannot divide by zero")
                                                       : QStringLiteral("Error");
        isError = true;
    }
    tokens.clear();
    typing = false;
    operandReady = false;
    justEvaluated = true;
}

StandardCalculator::Evaluation StandardCalculator::evaluate(const QStringList& chain)
{
    QStringList parts;
    parts.reserve(chain.size());
    for (const QString& t : chain) {
        if (t == u"×")
            parts.append(QStringLiteral("*"));
        else if (t == u"÷")
            parts.append(QStringLiteral("/"));
        else if (t.startsWith(QLatin1Char('-')) && t.size() >= 2)
            parts.append(QLatin1Char('(') + t + QLatin1Char(')'));
        else
            parts.append(t);
    }
    const QString text = parts.join(QLatin1Char(' '));

    const ExpressionEvaluator engine{AngleMode::radians, {}};
    const ExprResult<double> r = engine.evaluate(text);
    Evaluation out;
    if (r)
        out.value = r.value();
    else
        out.failure = r.error().kind() == ExprError::divideByZero ? Failure::divideByZero : Failure::other;
    return out;
}
