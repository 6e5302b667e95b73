// Reads two numbers from arbitrary text and checks that the decimal's
// reading, writing, JSON form and arithmetic agree with each other.
#include "core/Store.h"
#include "money/Decimal.h"
#include "money/Money.h"

#include <QJsonObject>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

void check(bool ok)
{
    if (!ok)
        std::abort();
}

void roundTrips(const Decimal& d)
{
    const std::optional<Decimal> back = Decimal::fromString(d.toString());
    check(back && *back == d && qHash(*back) == qHash(d));
    const std::optional<QByteArray> json = Store::encode(QJsonObject{{QStringLiteral("v"), d.toJson()}});
    check(json.has_value());
    const std::optional<QJsonValue> parsed = Store::parse(*json);
    check(parsed.has_value());
    const std::optional<Decimal> fromJson = Decimal::fromJson(parsed->toObject().value(QStringLiteral("v")));
    check(fromJson && *fromJson == d);
    const Decimal cents = d.rounded(2, Decimal::Rounding::halfAwayFromZero);
    check(cents.scale() <= 2 || cents == d);
    check((cents - d).abs() <= *Decimal::fromString(u"0.005"));
    (void)Money::format(d, QStringLiteral("$"));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 4096)
        return 0;
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const qsizetype split = text.indexOf(QLatin1Char(' '));
    const QString left = split < 0 ? text : text.left(split);
    const QString right = split < 0 ? QString() : text.mid(split + 1);
    qsizetype used = 0;
    (void)Decimal::parsePrefix(text, &used);
    check(used >= 0 && used <= text.size());
    const std::optional<Decimal> a = Decimal::fromString(left);
    const std::optional<Decimal> b = Decimal::fromString(right);
    if (a)
        roundTrips(*a);
    if (b)
        roundTrips(*b);
    if (!a || !b)
        return 0;
    const Decimal x = *a;
    const Decimal y = *b;
    check(x + y == y + x);
    check(x * y == y * x);
    check((x - y) == -(y - x));
    const std::partial_ordering c = x <=> y;
    const std::partial_ordering r = y <=> x;
    check((c < 0) == (r > 0) && (c == 0) == (r == 0));
    check((x == y) == (c == 0));
    const Decimal q = x / y;
    if (y.isZero())
        check(q.isNaN());
    for (const Decimal& v : {x + y, x - y, x * y, q}) {
        if (!v.isNaN())
            roundTrips(v);
    }
    return 0;
}
