#include "money/InvoiceLine.h"

#include "core/Json.h"
#include "money/Money.h"

#include <QJsonObject>

InvoiceLine::InvoiceLine(const QString& description, const Decimal& quantity, const Decimal& unitPrice)
    : id(QUuid::createUuid())
    , description(description)
    , quantity(quantity)
    , unitPrice(unitPrice)
{
}

Decimal InvoiceLine::amount() const
{
    return Money::round(quantity * unitPrice);
}

QJsonValue InvoiceLine::toJson() const
{
    return QJsonObject{
        {QStringLiteral("id"), Json::fromUuid(id)},
        {QStringLiteral("description"), description},
        {QStringLiteral("quantity"), quantity.toJson()},
        {QStringLiteral("unitPrice"), unitPrice.toJson()},
    };
}

std::optional<InvoiceLine> InvoiceLine::fromJson(const QJsonValue& value)
{
    Json::Reader r(value);
    InvoiceLine line;
    line.id = r.uuid(QStringLiteral("id"));
    line.description = r.string(QStringLiteral("description"));
    const std::optional<Decimal> quantity = Decimal::fromJson(r.object().value(QStringLiteral("quantity")));
    const std::optional<Decimal> unitPrice = Decimal::fromJson(r.object().value(QStringLiteral("unitPrice")));
    if (!r.ok() || !quantity || !unitPrice)
        return std::nullopt;
    line.quantity = *quantity;
    line.unitPrice = *unitPrice;
    return line;
}

size_t qHash(const InvoiceLine& line, size_t seed)
{
    return qHashMulti(seed, line.id, line.description, line.quantity, line.unitPrice);
}
