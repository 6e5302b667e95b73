// A document's figures from its lines (kept apart from Money.cpp so that
// the line type and the money rules do not depend on each other).
#include "money/InvoiceLine.h"
#include "money/Money.h"

namespace Money {

InvoiceTotals totals(const QList<InvoiceLine>& lines, const Decimal& discountPercent, const Decimal& taxPercent,
                     const Decimal& shipping, const Decimal& paid)
{
    static const Decimal hundred(100);
    InvoiceTotals t;
    t.subtotal = Decimal(0);
    for (const InvoiceLine& line : lines)
        t.subtotal += round(line.quantity * line.unitPrice);
    t.discount = round(t.subtotal * discountPercent / hundred);
    t.taxable = t.subtotal - t.discount;
    t.tax = round(t.taxable * taxPercent / hundred);
    t.shipping = round(shipping);
    t.total = (t.taxable + t.tax) + t.shipping;
    t.paid = round(paid);
    t.balance = t.total - t.paid;
    return t;
}

} // namespace Money
