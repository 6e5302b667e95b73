#pragma once

#include "calc/ExprError.h"

#include <utility>
#include <variant>

// A value of the expression engine or the error that stopped it. The engine
// reports failures through this instead of exceptions: a half-typed
// expression fails on almost every keystroke.
template <typename T>
class ExprResult {
public:
    ExprResult(T value) : m_v(std::in_place_index<0>, std::move(value)) {}
    ExprResult(ExprError error) : m_v(std::in_place_index<1>, std::move(error)) {}

    bool ok() const { return m_v.index() == 0; }
    explicit operator bool() const { return ok(); }

    // Only when ok().
    const T& value() const { return *std::get_if<0>(&m_v); }
    // Only when !ok().
    const ExprError& error() const { return *std::get_if<1>(&m_v); }

    T valueOr(T fallback) const { return ok() ? value() : std::move(fallback); }

private:
    std::variant<T, ExprError> m_v;
};
