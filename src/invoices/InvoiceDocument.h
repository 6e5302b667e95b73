#pragma once

#include "money/Decimal.h"
#include "money/InvoiceLine.h"

#include <QJsonValue>
#include <QList>
#include <QString>
#include <QUuid>
#include <optional>

// One invoice or receipt: its number, its lines and the rates and charges
// its totals are computed from.
struct InvoiceDocument {
    enum class Kind { invoice, receipt };

    QUuid id = QUuid::createUuid();
    Kind kind = Kind::invoice;
    QString number;
    QList<InvoiceLine> lines;
    Decimal discountPercent;
    Decimal taxPercent;
    Decimal shipping;
    Decimal paid;

    QJsonValue toJson() const;
    static std::optional<InvoiceDocument> fromJson(const QJsonValue& value);

    friend bool operator==(const InvoiceDocument&, const InvoiceDocument&) = default;
};
