// How many 30-year schedules with extra payments, and how many totals of a
// 100-line invoice, are computed per second.
#include "calc/LoanMath.h"
#include "money/InvoiceLine.h"
#include "money/Money.h"

#include <benchmark/benchmark.h>

namespace {

void amortize30Years(benchmark::State& state)
{
    for (auto _ : state) {
        LoanResult r = LoanMath::amortize(350000, 6.75, 360, 150);
        benchmark::DoNotOptimize(r);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(amortize30Years);

QList<InvoiceLine> invoiceOf(int count)
{
    QList<InvoiceLine> lines;
    for (int i = 0; i < count; ++i) {
        // Fractional quantities and prices of every size up to thousands.
        const Decimal quantity = Decimal::fromParts(1 + (i * 37) % 250, -1);
        const Decimal price = Decimal::fromParts(99 + (i * 7919) % 250000, -2);
        lines.append(InvoiceLine(QStringLiteral("Item %1").arg(i), quantity, price));
    }
    return lines;
}

void totals100Lines(benchmark::State& state)
{
    const QList<InvoiceLine> lines = invoiceOf(100);
    const Decimal discount = *Decimal::fromString(u"7.5");
    const Decimal tax = *Decimal::fromString(u"8.875");
    const Decimal shipping = *Decimal::fromString(u"24.99");
    const Decimal paid = *Decimal::fromString(u"1000");
    for (auto _ : state) {
        InvoiceTotals t = Money::totals(lines, discount, tax, shipping, paid);
        benchmark::DoNotOptimize(t);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(totals100Lines);

void formatAmount(benchmark::State& state)
{
    const Decimal d = *Decimal::fromString(u"1234567.895");
    for (auto _ : state) {
        QString s = Money::format(d, QStringLiteral("$"));
        benchmark::DoNotOptimize(s);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(formatAmount);

void divide38Digits(benchmark::State& state)
{
    const Decimal a = *Decimal::fromString(u"12345678901234567890.123456789");
    const Decimal b = *Decimal::fromString(u"7.1234567");
    for (auto _ : state) {
        Decimal q = a / b;
        benchmark::DoNotOptimize(q);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(divide38Digits);

} // namespace

BENCHMARK_MAIN();
