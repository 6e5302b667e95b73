// Feeds arbitrary text to the calculator's paste, as the clipboard would,
// and checks that whatever is entered is exactly the number the text
// denotes; then plays the same bytes as a key sequence.
#include "calc/CalculatorModel.h"
#include "calc/StandardCalculator.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));

    if (const std::optional<QStringList> keys = CalculatorModel::pasteKeys(text)) {
        StandardCalculator calc;
        calc.inputSequence(*keys);
        if (StandardCalculator::digitCount(calc.display) > StandardCalculator::kMaxDigits)
            std::abort();
        QString plain = text;
        plain.remove(QLatin1Char(','));
        bool ok = false;
        const double want = plain.trimmed().toDouble(&ok);
        bool shownOk = false;
        const double shown = calc.display.toDouble(&shownOk);
        if (!ok || !shownOk || shown != want)
            std::abort();
    }

    static const QStringList keys{
        QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("7"), QStringLiteral("9"), QStringLiteral("."),
        QStringLiteral("+"), QStringLiteral("-"), QStringLiteral("×"), QStringLiteral("÷"), QStringLiteral("="),
        QStringLiteral("%"), QStringLiteral("±"), QStringLiteral("C"), QStringLiteral("CE"), QStringLiteral("⌫"),
        QStringLiteral("MC"), QStringLiteral("MR"), QStringLiteral("M+"), QStringLiteral("M-"), QStringLiteral("MS"),
    };
    StandardCalculator calc;
    for (size_t i = 0; i < size; ++i)
        calc.input(keys.at(data[i] % keys.size()));
    return 0;
}
