#include "invoices/BusinessProfile.h"

#include "core/Json.h"

QJsonValue BusinessProfile::toJson() const
{
    return QJsonObject{{QStringLiteral("currencySymbol"), currencySymbol},
                       {QStringLiteral("invoicePrefix"), invoicePrefix},
                       {QStringLiteral("receiptPrefix"), receiptPrefix}};
}

std::optional<BusinessProfile> BusinessProfile::fromJson(const QJsonValue& value)
{
    Json::Reader r(value);
    BusinessProfile p;
    p.currencySymbol = r.string(QStringLiteral("currencySymbol"));
    p.invoicePrefix = r.string(QStringLiteral("invoicePrefix"));
    p.receiptPrefix = r.string(QStringLiteral("receiptPrefix"));
    if (!r.ok())
        return std::nullopt;
    return p;
}
