#pragma once

#include "calc/expr/ExprCommon.h"

// Number rules shared by the operators and the functions of the engine.
namespace Expr {

// Whole (true for the infinities, false for NaN).
bool isWhole(double x);
// The parity of a whole double; values beyond the 64-bit range and
// non-finite values report "not odd", so nothing out of range is ever
// converted to an integer.
bool isOddWhole(double k);
// Values within 1e-13 of zero become zero (sin(180°) is 0, not 1.2e-16).
double snapToZero(double r);
double toRadians(double x, AngleMode mode);
double fromRadians(double r, AngleMode mode);
// n! for whole n in 0…170.
double factorialOf(double n, Error& err);
// n! for n = 0…170, multiplied in ascending order.
double factorialTableValue(int n);
// base ^ exponent, with odd roots of negative bases.
double power(double base, double exponent, Error& err);

} // namespace Expr
