#include "invoices/InvoiceDocument.h"

#include "core/Json.h"

namespace {

QString kindName(InvoiceDocument::Kind kind)
{
    return kind == InvoiceDocument::Kind::receipt ? QStringLiteral("receipt") : QStringLiteral("invoice");
}

std::optional<InvoiceDocument::Kind> kindFromName(const QString& name)
{
    if (name == QLatin1String("invoice"))
        return InvoiceDocument::Kind::invoice;
    if (name == QLatin1String("receipt"))
        return InvoiceDocument::Kind::receipt;
    return std::nullopt;
}

} // namespace

QJsonValue InvoiceDocument::toJson() const
{
    return QJsonObject{{QStringLiteral("id"), Json::fromUuid(id)},
                       {QStringLiteral("kind"), kindName(kind)},
                       {QStringLiteral("number"), number},
                       {QStringLiteral("lines"), Json::fromList(lines)},
                       {QStringLiteral("discountPercent"), discountPercent.toJson()},
                       {QStringLiteral("taxPercent"), taxPercent.toJson()},
                       {QStringLiteral("shipping"), shipping.toJson()},
                       {QStringLiteral("paid"), paid.toJson()}};
}

std::optional<InvoiceDocument> InvoiceDocument::fromJson(const QJsonValue& value)
{
    Json::Reader r(value);
    InvoiceDocument d;
    d.id = r.uuid(QStringLiteral("id"));
    const std::optional<Kind> kind = kindFromName(r.string(QStringLiteral("kind")));
    d.number = r.string(QStringLiteral("number"));
    d.lines = r.list<InvoiceLine>(QStringLiteral("lines"));
    if (!r.ok() || !kind)
        return std::nullopt;
    d.kind = *kind;
    const QJsonObject& o = r.object();
    const std::optional<Decimal> discount = Decimal::fromJson(o.value(QStringLiteral("discountPercent")));
    const std::optional<Decimal> tax = Decimal::fromJson(o.value(QStringLiteral("taxPercent")));
    const std::optional<Decimal> shipping = Decimal::fromJson(o.value(QStringLiteral("shipping")));
    const std::optional<Decimal> paid = Decimal::fromJson(o.value(QStringLiteral("paid")));
    if (!discount || !tax || !shipping || !paid)
        return std::nullopt;
    d.discountPercent = *discount;
    d.taxPercent = *tax;
    d.shipping = *shipping;
    d.paid = *paid;
    return d;
}
