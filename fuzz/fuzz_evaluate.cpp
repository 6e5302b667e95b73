// Feeds arbitrary text through the expression engine in both angle modes.
// Every outcome must be a finite double or a typed error with its text;
// anything else (a crash, a sanitizer report, an infinite or NaN value, an
// unknown error kind) stops the fuzzer.
//
// The first byte chooses how the rest is read: as UTF-8, or as raw UTF-16
// code units (so lone surrogates and unusual code points come through too).
#include "calc/ExpressionEvaluator.h"
#include "calc/NumberFormat.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

void check(const ExprResult<double>& r)
{
    if (r.ok()) {
        if (!std::isfinite(r.value()))
            std::abort();
        if (NumberFormat::display(r.value(), 12).isEmpty() || NumberFormat::display(r.value(), 10).isEmpty())
            std::abort();
        return;
    }
    const ExprError& e = r.error();
    const QString d = e.description();
    switch (e.kind()) {
    case ExprError::syntax:
        if (!d.startsWith(QLatin1String("Syntax error: ")) || e.payload().isEmpty())
            std::abort();
        break;
    case ExprError::domain:
        if (!d.startsWith(QLatin1String("Math error: ")) || e.payload().isEmpty())
            std::abort();
        break;
    case ExprError::unknown:
        if (!d.startsWith(QLatin1String("Unknown name: ")) || e.payload().isEmpty())
            std::abort();
        break;
    case ExprError::divideByZero:
        if (d != QLatin1String("Cannot divide by zero"))
            std::abort();
        break;
    default:
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0 || size > 4096)
        return 0;
    QString text;
    if (data[0] & 1) {
        text.resize(qsizetype((size - 1) / 2));
        std::memcpy(text.data(), data + 1, size_t(text.size()) * 2);
    } else {
        text = QString::fromUtf8(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    }

    const QHash<QString, double> vars{{QStringLiteral("ans"), 21.5}, {QStringLiteral("m"), -3}};
    for (const AngleMode mode : AngleMode::allCases()) {
        const ExpressionEvaluator ev{mode, vars};
        check(ev.evaluate(text));
    }
    (void)ExpressionEvaluator::tokenize(text);
    (void)ExpressionEvaluator::normalize(text);
    return 0;
}
