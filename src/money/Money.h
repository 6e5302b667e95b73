#pragma once

#include "money/Decimal.h"
#include "money/InvoiceTotals.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// Money arithmetic on exact decimals for invoices, receipts and the loan
// window. Pure functions, safe from any thread.
struct InvoiceLine;

namespace Money {

// Two fraction digits, halves away from zero (2.345 -> 2.35,
// -2.345 -> -2.35); a value with two or fewer fraction digits is returned
// unchanged.
Decimal round(const Decimal& value);

// A document's figures. Each line is rounded to cents before it is added;
// discount and tax are rounded to cents (the rate is applied before the
// division by 100), tax is charged on the discounted amount, shipping and
// paid are rounded to cents. Nothing is clamped: negative figures come out
// as computed, and a negative balance means the document is overpaid.
InvoiceTotals totals(const QList<InvoiceLine>& lines, const Decimal& discountPercent, const Decimal& taxPercent,
                     const Decimal& shipping, const Decimal& paid);

// The next document number: `prefix` followed by one more than the largest
// number in use under that prefix, or by `start` if that is larger. The
// number of an existing text is made of the ASCII digits after the prefix,
// wherever they stand ("INV-2024-07" counts as 202407); a text with another
// prefix, without digits, with digits of another script or with a number
// above the 64-bit range does not count.
// Nothing when the largest number in use is already the 64-bit maximum,
// so no number would be handed out twice or wrapped to a negative one.
std::optional<QString> nextNumber(const QString& prefix, const QStringList& existing, qint64 start);

// "$1,234.50", "-$3.00": "-" for a negative value, then the symbol as given,
// then the magnitude with "," between thousands and two decimals (a third
// digit rounded half to even). NaN shows as the symbol and "NaN".
QString format(const Decimal& value, const QString& symbol);

// A typed amount: keeps the digits, "." and "-" of the text (currency
// symbols, grouping, spaces and letters are dropped) and reads the longest
// leading number of the form -?digits(.digits)? from what is left:
// "$1,250.75" -> 1250.75, "(12.50)" -> 12.50, "1.2.3" -> 1.2, "1e5" -> 15.
// Digits of other scripts count as the digits they stand for; other numeric
// characters (fractions such as "½", superscripts) end the number.
// Nothing when no number is there.
std::optional<Decimal> parse(const QString& text);

} // namespace Money
