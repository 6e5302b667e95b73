#pragma once

#include "money/Decimal.h"

// The figures of one invoice or receipt, as Money::totals computes them.
struct InvoiceTotals {
    Decimal subtotal; // sum of the line amounts
    Decimal discount; // taken off the subtotal
    Decimal taxable;  // subtotal - discount
    Decimal tax;      // on the taxable amount
    Decimal shipping; // rounded to cents
    Decimal total;    // taxable + tax + shipping
    Decimal paid;     // rounded to cents
    Decimal balance;  // total - paid (negative when overpaid)

    friend bool operator==(const InvoiceTotals&, const InvoiceTotals&) = default;
};
