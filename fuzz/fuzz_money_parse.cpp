// Feeds arbitrary text to the reading of typed amounts, the document
// numbering and the invoice line's JSON reader.
#include "core/Store.h"
#include "money/InvoiceLine.h"
#include "money/Money.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

void check(bool ok)
{
    if (!ok)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 8192)
        return 0;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString text = QString::fromUtf8(bytes);

    if (const std::optional<Decimal> d = Money::parse(text)) {
        check(!d->isNaN());
        // Only digits, "." and "-" are read, so the amount is never written
        // with an exponent of its own.
        (void)Money::format(*d, QStringLiteral("$"));
        (void)Money::round(*d);
    }

    const QStringList lines = text.split(QLatin1Char('\n'));
    const QString prefix = lines.first();
    const std::optional<QString> next = Money::nextNumber(prefix, lines.mid(1), 1001);
    if (next) {
        check(next->startsWith(prefix));
        bool ok = false;
        const qint64 n = next->mid(prefix.size()).toLongLong(&ok);
        check(ok && n >= 1001);
    }

    if (const std::optional<QJsonValue> v = Store::parse(bytes)) {
        if (const std::optional<InvoiceLine> line = InvoiceLine::fromJson(*v)) {
            (void)line->amount();
            const std::optional<QByteArray> again = Store::encode(line->toJson());
            check(again.has_value());
            const std::optional<InvoiceLine> back = InvoiceLine::fromJson(*Store::parse(*again));
            check(back && *back == *line);
        }
    }
    return 0;
}
