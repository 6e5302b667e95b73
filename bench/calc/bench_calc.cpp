// Evaluations per second of the expression engine over a fixed corpus of
// what people type (operators, functions, implicit products, sign chains,
// glyphs and mistakes), and display texts per second of NumberFormat.
//
// Target: a typical 20-character expression evaluates in well under a
// microsecond.
#include "calc/ExpressionEvaluator.h"
#include "calc/NumberFormat.h"

#include <benchmark/benchmark.h>

#include <QList>
#include <QString>
#include <cmath>
#include <limits>

namespace {

const QList<QString>& corpus()
{
    static const QList<QString> list = [] {
        const char* const texts[] = {
            // operators and precedence
            "2+3*4", "(2+3)*4", "2^3^2", "-2^2", "2^-1", "100/7-3*2.5", "1.5e3+1", "10-4-3+8/2*4",
            "((1+2)*(3+4))/((5-6)*7)", "3.14159*2.71828-1.41421", "12345.678/0.001", "50%", "10%%+200",
            // functions
            "sin(30)+cos(60)", "tan(45)", "asin(1)", "atan(1)*4", "sqrt(16)+cbrt(27)", "root(32,5)",
            "ln(e)+log(1000)+log2(1024)", "log(8,2)", "abs(-3)+floor(2.7)+ceil(2.1)", "exp(0)+sinh(0)+cosh(0)",
            "round(2.5)*fact(5)", "ncr(10,3)+npr(5,2)", "acosh(2)+asinh(1)+atanh(0.5)", "tanh(0.3)",
            // implicit products and bare functions
            "2pi", "3(4+1)", "(1+1)(2+2)", "2 3", "2sin(30)", "2!3", "sqrt 16", "2 sin 30^2", "4ans-m",
            // unary chains and postfix
            "--2", "-+-+-2", "-3!", "2^3!", "3!^2", "5!-4!+3!",
            // glyphs
            "2×3÷4−1", "√9+3²", "2π·3", "2**10", "ANS*2+M",
            // errors
            "1/0", "sqrt(-1)", "ln(0)", "(2+3", "foo(2)", "", "2+", "*2", "2)", "1.2.3", "sin()",
            "sin(1,2)", "171!", "10^400", "(-8)^(2/3)", "2&3", "tan(90)",
        };
        QList<QString> out;
        for (const char* t : texts)
            out.append(QString::fromUtf8(t));
        return out;
    }();
    return list;
}

ExpressionEvaluator evaluator()
{
    return ExpressionEvaluator{AngleMode::degrees, {{QStringLiteral("ans"), 21.5}, {QStringLiteral("m"), 3}}};
}

void BM_EvaluateCorpus(benchmark::State& state)
{
    const ExpressionEvaluator ev = evaluator();
    const QList<QString>& texts = corpus();
    qsizetype i = 0;
    for (auto _ : state) {
        ExprResult<double> r = ev.evaluate(texts.at(i));
        benchmark::DoNotOptimize(r);
        if (++i == texts.size())
            i = 0;
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["corpus"] = double(texts.size());
}
BENCHMARK(BM_EvaluateCorpus);

// A typical keystroke: 20 characters with a function, a glyph and an
// implicit product.
void BM_EvaluateTypical(benchmark::State& state)
{
    const ExpressionEvaluator ev = evaluator();
    const QString text = QStringLiteral("2×sin(30)+√9-4/3^2.5");
    for (auto _ : state) {
        ExprResult<double> r = ev.evaluate(text);
        benchmark::DoNotOptimize(r);
    }
    state.SetItemsProcessed(state.iterations());
    state.SetLabel(QStringLiteral("%1 chars").arg(text.size()).toStdString());
}
BENCHMARK(BM_EvaluateTypical);

// The same length in plain ASCII, as the standard calculator sends it.
void BM_EvaluateAscii(benchmark::State& state)
{
    const ExpressionEvaluator ev{AngleMode::radians, {}};
    const QString text = QStringLiteral("12.5 + 3 * 4 - 7 / 2");
    for (auto _ : state) {
        ExprResult<double> r = ev.evaluate(text);
        benchmark::DoNotOptimize(r);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_EvaluateAscii);

// Half-typed text fails on most keystrokes.
void BM_EvaluateError(benchmark::State& state)
{
    const ExpressionEvaluator ev = evaluator();
    const QString text = QStringLiteral("2×sin(30)+√9-4/3^");
    for (auto _ : state) {
        ExprResult<double> r = ev.evaluate(text);
        benchmark::DoNotOptimize(r);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_EvaluateError);

// Text with characters from U+0300 on (here a Greek name) takes the
// grapheme-cluster path.
void BM_EvaluateGraphemes(benchmark::State& state)
{
    ExpressionEvaluator ev = evaluator();
    ev.variables.insert(QStringLiteral("δ"), 2.5);
    const QString text = QStringLiteral("2×sin(30)+√9-4/3^δ");
    for (auto _ : state) {
        ExprResult<double> r = ev.evaluate(text);
        benchmark::DoNotOptimize(r);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_EvaluateGraphemes);

void BM_Display(benchmark::State& state)
{
    const double values[] = {
        0.1 + 0.2, 1e20, -0.0, 2.5, 1.0 / 3, 1e15, 999999999999999.0, -7, 1.5e-7, 1.23456789012345e-300,
        1234.5678, 42, std::nan(""), std::numeric_limits<double>::infinity(), 6.02214076e23, -98765.4321,
    };
    const int maxSig = int(state.range(0));
    size_t i = 0;
    for (auto _ : state) {
        QString s = NumberFormat::display(values[i], maxSig);
        benchmark::DoNotOptimize(s);
        if (++i == std::size(values))
            i = 0;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Display)->Arg(12)->Arg(10);

} // namespace

BENCHMARK_MAIN();
