#pragma once

#include <QHashFunctions>
#include <QJsonValue>
#include <QString>
#include <QStringView>
#include <compare>
#include <concepts>
#include <optional>

// An exact base-10 number for money: a signed mantissa of at most 38 decimal
// digits (held in a 128-bit integer) times a power of ten.
//
// Sums, differences and products are exact while the result fits in 38
// digits; beyond that, and for quotients, the result is rounded to 38
// significant digits with halves away from zero. Binary floating point is
// never used in the arithmetic. The exponent stays within
// [kMinExponent, kMaxExponent]: a result too small for it is rounded at the
// smallest exponent (towards 0), a result too large for it is NaN, and so is
// a division by zero. NaN propagates through every operation, so a failed
// calculation can be detected at its end with isNaN().
//
// A value keeps the scale it was made with (2.50 prints as "2.50") but
// compares, hashes and tests equal by value: 2 == 2.00.
class Decimal {
public:
    static constexpr int kMaxDigits = 38;
    static constexpr int kMinExponent = -1000;
    static constexpr int kMaxExponent = 1000;

    enum class Rounding {
        halfAwayFromZero, // 2.345 -> 2.35, -2.345 -> -2.35
        halfEven,         // 2.345 -> 2.34, 2.355 -> 2.36
        towardZero,       // truncation
    };

    constexpr Decimal() = default;
    template <std::integral T>
        requires(!std::same_as<T, bool>)
    constexpr Decimal(T value) : m_mantissa(static_cast<__int128>(value)) {}

    static Decimal nan();
    // mantissa × 10^exponent, rounded to 38 digits if it has more; NaN when it
    // does not fit the exponent range.
    static Decimal fromParts(__int128 mantissa, int exponent);

    // The whole text as a number: optional sign, digits with an optional "."
    // fraction (at least one digit in all), optional exponent ("e" or "E",
    // optional sign, digits). Digits beyond 38 are rounded off; a magnitude
    // beyond the exponent range gives nothing, one below it gives 0. No
    // spaces, no grouping.
    static std::optional<Decimal> fromString(QStringView text);
    // The longest leading part of `text` of the form "-"? digits ("." digits)?
    // (ASCII digits; at least one digit). `used` receives the number of
    // characters read. Nothing when there is no such part.
    static std::optional<Decimal> parsePrefix(QStringView text, qsizetype* used = nullptr);

    // The decimal that the shortest text of `value` spells ("0.1" for 0.1),
    // so a double that came from a decimal text comes back as that decimal.
    // Nothing for NaN and infinities.
    static std::optional<Decimal> fromDouble(double value);
    // The double nearest to the value (NaN for NaN).
    double toDouble() const;

    // "-12.50", "0.001", "1.5e+45" (plain notation unless the number is very
    // large or very small), "NaN". fromString() reads every form back.
    QString toString() const;
    // Rounded half to even to `places` fraction digits and written with
    // exactly that many, in plain notation, without grouping: "1234.50".
    QString toFixed(int places) const;

    // JSON form: a number that reads back as the same value whenever a double
    // can carry it (every amount of up to 15 significant digits), else the
    // text of toString(), so no digit is ever lost. NaN gives a NaN number,
    // which the store refuses to encode.
    QJsonValue toJson() const;
    // Reads a number (through its shortest text) or a text as above; nothing
    // for anything else.
    static std::optional<Decimal> fromJson(const QJsonValue& value);

    bool isNaN() const { return m_nan; }
    bool isZero() const { return !m_nan && m_mantissa == 0; }
    bool isNegative() const { return !m_nan && m_mantissa < 0; }
    // -1, 0 or 1 (0 for NaN).
    int sign() const { return m_nan ? 0 : (m_mantissa > 0) - (m_mantissa < 0); }
    __int128 mantissa() const { return m_mantissa; }
    int exponent() const { return m_exponent; }
    // Digits after the point as written (0 for integers and NaN).
    int scale() const { return m_exponent < 0 ? -m_exponent : 0; }

    // Rounded to `places` fraction digits (0 <= places <= 1000). A value with
    // no more fraction digits than that comes back unchanged.
    Decimal rounded(int places, Rounding mode) const;
    // The same value without trailing zeros in the mantissa.
    Decimal normalized() const;
    Decimal abs() const;

    Decimal operator-() const;
    friend Decimal operator+(const Decimal& a, const Decimal& b);
    friend Decimal operator-(const Decimal& a, const Decimal& b);
    friend Decimal operator*(const Decimal& a, const Decimal& b);
    friend Decimal operator/(const Decimal& a, const Decimal& b);
    Decimal& operator+=(const Decimal& b) { return *this = *this + b; }
    Decimal& operator-=(const Decimal& b) { return *this = *this - b; }
    Decimal& operator*=(const Decimal& b) { return *this = *this * b; }
    Decimal& operator/=(const Decimal& b) { return *this = *this / b; }

    // By value. NaN is unordered against everything, but equal to NaN, so
    // records holding one stay equal to themselves.
    friend bool operator==(const Decimal& a, const Decimal& b);
    friend std::partial_ordering operator<=>(const Decimal& a, const Decimal& b);

private:
    __int128 m_mantissa = 0;
    int m_exponent = 0;
    bool m_nan = false;
};

size_t qHash(const Decimal& d, size_t seed = 0);
