// Feeds arbitrary text to the number field's reading of typed text, to its
// display formatting (as the format, too) and to the spelling checker's
// splitting of text into sentences and words.
#include "ui/NumberField.h"
#include "ui/SpellChecker.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

void check(bool ok)
{
    if (!ok)
        std::abort();
}

void checkRanges(const QList<SpellChecker::Range>& ranges, qsizetype length)
{
    int end = 0;
    for (const SpellChecker::Range& r : ranges) {
        check(r.start >= end && r.length > 0 && r.start + r.length <= length);
        end = r.start + r.length;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 8192)
        return 0;
    const QString text = QString::fromUtf8(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));

    const std::optional<double> v = NumberField::parse(text);
    if (v)
        check(std::isfinite(*v));
    // Any text as the format: either one floating conversion or "%g".
    const QString shown = NumberField::fmt(text, v.value_or(1234.5));
    check(shown.size() < 4 * text.size() + 512);
    if (v) {
        // What the field shows for a value reads back as a number.
        const QString back = NumberField::fmt(QStringLiteral("%.2f"), *v);
        check(NumberField::parse(back).has_value() || back.contains(QLatin1Char('e')));
    }

    checkRanges(SpellChecker::sentences(text), text.size());
    checkRanges(SpellChecker::words(text), text.size());
    for (const SpellChecker::Range& r : SpellChecker::sentences(text))
        SpellChecker::isCheckableSentence(text.mid(r.start, r.length));
    return 0;
}
