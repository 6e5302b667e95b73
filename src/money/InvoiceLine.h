#pragma once

#include "money/Decimal.h"

#include <QHashFunctions>
#include <QJsonValue>
#include <QString>
#include <QUuid>
#include <optional>

// One line of an invoice or receipt. Equal (and hashed) over all four
// fields; quantities and prices compare by value, so 2 equals 2.00.
//
// JSON: {"id": "<UUID>", "description": "…", "quantity": 2, "unitPrice": 19.99}.
// The decimals are JSON numbers that read back to the same value (see
// Decimal::toJson); all four keys are required.
struct InvoiceLine {
    QUuid id;
    QString description;
    Decimal quantity;
    Decimal unitPrice;

    InvoiceLine() = default;
    // A new line with a fresh random id.
    InvoiceLine(const QString& description, const Decimal& quantity, const Decimal& unitPrice);

    // quantity × unitPrice rounded to cents, halves away from zero.
    Decimal amount() const;

    QJsonValue toJson() const;
    static std::optional<InvoiceLine> fromJson(const QJsonValue& value);

    friend bool operator==(const InvoiceLine&, const InvoiceLine&) = default;
};

size_t qHash(const InvoiceLine& line, size_t seed = 0);
