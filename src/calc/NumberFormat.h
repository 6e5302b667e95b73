#pragma once

#include <QString>

// The one formatter of the calculators (12 significant digits) and the unit
// converter (10): whole numbers without a point, others with at most maxSig
// significant digits and no trailing zeros, exponents as "1e20" / "1.5e-7",
// "Error" for NaN and "∞" / "-∞" for infinities.
namespace NumberFormat {

QString display(double value, int maxSig);

} // namespace NumberFormat
