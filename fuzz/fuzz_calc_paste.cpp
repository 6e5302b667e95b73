// Feeds arbitrary text to the calculator's paste, as the clipboard would,
// and checks that whatever is entered is the number the text denotes, cut
// to the first digits the display holds (as typing would cut it); then plays the
// same bytes as a key sequence.
#include "calc/CalculatorModel.h"
#include "calc/StandardCalculator.h"

#include <cmath>
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
        if (!ok || !shownOk)
            std::abort();
        // The first kMaxDigits digits are kept: what is cut is less than one
        // unit of the last kept place. Of a longer whole part the first
        // digits make the whole number, as typing them would. Only a number
        // written out has such a whole part; its length is read from the
        // text, since its double may round up to the next power of ten
        // ("999999999999999999990" is 1e21).
        double magnitude = std::fabs(want);
        int integerDigits = magnitude < 1 ? 1 : int(std::floor(std::log10(magnitude))) + 1;
        double wanted = want;
        const QString trimmed = plain.trimmed();
        int written = 0;
        bool leading = true;
        for (QChar c : trimmed) {
            if (c == QLatin1Char('.') || c == QLatin1Char('e') || c == QLatin1Char('E'))
                break;
            if (c >= QLatin1Char('1') && c <= QLatin1Char('9'))
                leading = false;
            if (!leading && c.isDigit())
                ++written;
        }
        if (!trimmed.contains(QLatin1Char('e'), Qt::CaseInsensitive) && written > StandardCalculator::kMaxDigits) {
            const double scale = std::pow(10.0, written - StandardCalculator::kMaxDigits);
            wanted = want / scale;
            magnitude /= scale;
            integerDigits = StandardCalculator::kMaxDigits;
        }
        const double lastPlace = std::pow(10.0, integerDigits - StandardCalculator::kMaxDigits);
        if (std::fabs(shown - wanted) > lastPlace * (1 + 1e-9) + magnitude * 1e-15 || (shown != 0 && std::signbit(shown) != std::signbit(want)))
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
