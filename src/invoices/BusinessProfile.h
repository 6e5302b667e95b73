#pragma once

#include <QJsonValue>
#include <QString>
#include <optional>

// The business that issues the invoices and receipts: how its amounts are
// shown and how each kind of document is numbered.
struct BusinessProfile {
    QString currencySymbol = QStringLiteral("$");
    QString invoicePrefix = QStringLiteral("INV-");
    QString receiptPrefix = QStringLiteral("RCPT-");

    QJsonValue toJson() const;
    static std::optional<BusinessProfile> fromJson(const QJsonValue& value);

    friend bool operator==(const BusinessProfile&, const BusinessProfile&) = default;
};
