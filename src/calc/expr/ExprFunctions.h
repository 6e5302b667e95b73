#pragma once

#include "calc/expr/ExprCommon.h"

#include <QStringView>
#include <span>
#include <string_view>

// The engine's functions and constants. One row per function holds its name,
// how many values it takes and its implementation with its domain checks:
// adding a function is one row in ExprFunctions.cpp.
namespace Expr {

struct Function {
    std::u16string_view name;   // lower case, as typed
    qint8 minArgs;
    qint8 maxArgs;
    // Appended to the name when the count of values is wrong:
    // " takes 1 value", "(n, r) takes 2 values".
    std::u16string_view arityMessage;
    // The arguments (their count already checked) in the angle mode; sets
    // `err` and returns 0 on a domain error.
    double (*apply)(const double* args, qsizetype count, AngleMode mode, Error& err);
};

// Every function, in the order the program lists them.
std::span<const Function> functions();

// The function of that lower-case name, or nullptr.
const Function* findFunction(std::u16string_view name);

// Checks the count of values and applies `fn`; `name` is the user's spelling
// for messages.
double apply(const Function& fn, QStringView name, const double* args, qsizetype count, AngleMode mode, Error& err);

struct Constant {
    std::u16string_view name;
    double value;
};

std::span<const Constant> constants();

// The constant of that lower-case name, or nullptr.
const double* constantValue(std::u16string_view name);

} // namespace Expr
