#include "calc/expr/ExprFunctions.h"

#include "calc/expr/ExprNumerics.h"

#include <array>
#include <cmath>
#include <numbers>

namespace Expr {

namespace {

constexpr std::u16string_view kOne = u" takes 1 value";

// sin, cos, tan read their argument in the angle mode; the inverse functions
// return theirs in it.
double sinOf(const double* a, qsizetype, AngleMode m, Error&) { return snapToZero(std::sin(toRadians(a[0], m))); }
double cosOf(const double* a, qsizetype, AngleMode m, Error&) { return snapToZero(std::cos(toRadians(a[0], m))); }
double tanOf(const double* a, qsizetype, AngleMode m, Error& err)
{
    const double angle = toRadians(a[0], m);
    if (std::fabs(std::cos(angle)) < 1e-13)
        return fail(err, domainError(QStringLiteral("tan is undefined here")));
    return snapToZero(std::tan(angle));
}
double asinOf(const double* a, qsizetype, AngleMode m, Error& err)
{
    if (std::fabs(a[0]) > 1)
        return fail(err, domainError(QStringLiteral("asin needs -1…1")));
    return fromRadians(std::asin(a[0]), m);
}
double acosOf(const double* a, qsizetype, AngleMode m, Error& err)
{
    if (std::fabs(a[0]) > 1)
        return fail(err, domainError(QStringLiteral("acos needs -1…1")));
    return fromRadians(std::acos(a[0]), m);
}
double atanOf(const double* a, qsizetype, AngleMode m, Error&) { return fromRadians(std::atan(a[0]), m); }

double acoshOf(const double* a, qsizetype, AngleMode, Error& err)
{
    if (a[0] < 1)
        return fail(err, domainError(QStringLiteral("acosh needs ≥ 1")));
    return std::acosh(a[0]);
}
double atanhOf(const double* a, qsizetype, AngleMode, Error& err)
{
    if (std::fabs(a[0]) >= 1)
        return fail(err, domainError(QStringLiteral("atanh needs -1…1")));
    return std::atanh(a[0]);
}

double lnOf(const double* a, qsizetype, AngleMode, Error& err)
{
    if (!(a[0] > 0))
        return fail(err, domainError(QStringLiteral("ln needs a positive number")));
    return std::log(a[0]);
}
// log(x) is base 10; log(x, b) is base b.
double logOf(const double* a, qsizetype n, AngleMode, Error& err)
{
    if (n == 2) {
        const double x = a[0];
        const double b = a[1];
        if (!(x > 0 && b > 0 && b != 1))
            return fail(err, domainError(QStringLiteral("bad log base")));
        return std::log(x) / std::log(b);
    }
    if (a[0] <= 0)
        return fail(err, domainError(QStringLiteral("log needs a positive number")));
    return std::log10(a[0]);
}
double log2Of(const double* a, qsizetype, AngleMode, Error& err)
{
    if (a[0] <= 0)
        return fail(err, domainError(QStringLiteral("log2 needs a positive number")));
    return std::log2(a[0]);
}
double sqrtOf(const double* a, qsizetype, AngleMode, Error& err)
{
    if (a[0] < 0)
        return fail(err, domainError(QStringLiteral("square root of a negative number")));
    return std::sqrt(a[0]);
}
double rootOf(const double* a, qsizetype, AngleMode, Error& err)
{
    const double x = a[0];
    const double k = a[1];
    if (k == 0)
        return fail(err, domainError(QStringLiteral("zeroth root")));
    if (x < 0) {
        if (isWhole(k) && isOddWhole(k))
            return -std::pow(-x, 1 / k);
        return fail(err, domainError(QStringLiteral("even root of a negative number")));
    }
    return std::pow(x, 1 / k);
}

// r factors from n downward. Every factor is at least 1, so once the product
// is infinite it stays so; stopping there bounds the loop for huge r
// (npr(1e18, 1e18)).
double fallingProduct(double n, double r)
{
    double p = 1;
    for (double i = 0; i < r && !std::isinf(p); ++i)
        p *= n - i;
    return p;
}
bool validNR(double n, double r)
{
    return isWhole(n) && isWhole(r) && n >= 0 && r >= 0 && r <= n;
}
double nprOf(const double* a, qsizetype, AngleMode, Error& err)
{
    if (!validNR(a[0], a[1]))
        return fail(err, domainError(QStringLiteral("bad n, r")));
    return fallingProduct(a[0], a[1]);
}
double ncrOf(const double* a, qsizetype, AngleMode, Error& err)
{
    if (!validNR(a[0], a[1]))
        return fail(err, domainError(QStringLiteral("bad n, r")));
    if (a[1] > 170)
        return fail(err, domainError(QStringLiteral("overflow")));
    return fallingProduct(a[0], a[1]) / factorialTableValue(int(a[1]));
}

template <double (*F)(double)>
double plain(const double* a, qsizetype, AngleMode, Error&)
{
    return F(a[0]);
}

double factOf(const double* a, qsizetype, AngleMode, Error& err) { return factorialOf(a[0], err); }

double sinhOf(double x) { return std::sinh(x); }
double coshOf(double x) { return std::cosh(x); }
double tanhOf(double x) { return std::tanh(x); }
double asinhOf(double x) { return std::asinh(x); }
double cbrtOf(double x) { return std::cbrt(x); }
double absOf(double x) { return std::fabs(x); }
double expOf(double x) { return std::exp(x); }
double floorOf(double x) { return std::floor(x); }
double ceilOf(double x) { return std::ceil(x); }
double roundOf(double x) { return std::round(x); }

constexpr std::array kFunctions{
    Function{u"sin", 1, 1, kOne, sinOf},
    Function{u"cos", 1, 1, kOne, cosOf},
    Function{u"tan", 1, 1, kOne, tanOf},
    Function{u"asin", 1, 1, kOne, asinOf},
    Function{u"acos", 1, 1, kOne, acosOf},
    Function{u"atan", 1, 1, kOne, atanOf},
    Function{u"arcsin", 1, 1, kOne, asinOf},
    Function{u"arccos", 1, 1, kOne, acosOf},
    Function{u"arctan", 1, 1, kOne, atanOf},
    Function{u"sinh", 1, 1, kOne, plain<sinhOf>},
    Function{u"cosh", 1, 1, kOne, plain<coshOf>},
    Function{u"tanh", 1, 1, kOne, plain<tanhOf>},
    Function{u"asinh", 1, 1, kOne, plain<asinhOf>},
    Function{u"acosh", 1, 1, kOne, acoshOf},
    Function{u"atanh", 1, 1, kOne, atanhOf},
    Function{u"ln", 1, 1, kOne, lnOf},
    Function{u"log", 1, 2, kOne, logOf},
    Function{u"log2", 1, 1, kOne, log2Of},
    Function{u"sqrt", 1, 1, kOne, sqrtOf},
    Function{u"cbrt", 1, 1, kOne, plain<cbrtOf>},
    Function{u"root", 2, 2, u"(x, n) takes 2 values", rootOf},
    Function{u"abs", 1, 1, kOne, plain<absOf>},
    Function{u"exp", 1, 1, kOne, plain<expOf>},
    Function{u"floor", 1, 1, kOne, plain<floorOf>},
    Function{u"ceil", 1, 1, kOne, plain<ceilOf>},
    Function{u"round", 1, 1, kOne, plain<roundOf>},
    Function{u"fact", 1, 1, kOne, factOf},
    Function{u"ncr", 2, 2, u"(n, r) takes 2 values", ncrOf},
    Function{u"npr", 2, 2, u"(n, r) takes 2 values", nprOf},
};

constexpr std::array kConstants{
    Constant{u"pi", std::numbers::pi},
    Constant{u"e", std::numbers::e},
    Constant{u"tau", 2 * std::numbers::pi},
    Constant{u"phi", std::numbers::phi},
};

// A short lower-case ASCII name packed into one integer; 0 for names that
// are too long or not ASCII, which match nothing.
constexpr quint64 nameKey(std::u16string_view name)
{
    if (name.empty() || name.size() > 8)
        return 0;
    quint64 key = 0;
    for (const char16_t c : name) {
        if (c == 0 || c >= 0x80)
            return 0;
        key = (key << 8) | quint64(c);
    }
    return key;
}

template <size_t N, class Row>
constexpr std::array<quint64, N> keysOf(const std::array<Row, N>& rows)
{
    std::array<quint64, N> keys{};
    for (size_t i = 0; i < N; ++i)
        keys[i] = nameKey(rows[i].name);
    return keys;
}

// The index of `name` among the packed keys, or -1.
template <size_t N>
qsizetype indexOf(const std::array<quint64, N>& keys, std::u16string_view name)
{
    const quint64 key = nameKey(name);
    if (key == 0)
        return -1;
    for (size_t i = 0; i < N; ++i) {
        if (keys[i] == key)
            return qsizetype(i);
    }
    return -1;
}

constexpr auto kFunctionKeys = keysOf(kFunctions);
constexpr auto kConstantKeys = keysOf(kConstants);

static_assert([] {
    for (size_t i = 0; i < kFunctionKeys.size(); ++i) {
        if (kFunctionKeys[i] == 0)
            return false; // every name must fit the packed key
        for (size_t j = 0; j < i; ++j) {
            if (kFunctionKeys[i] == kFunctionKeys[j])
                return false;
        }
    }
    return true;
}(), "function names are short, ASCII and unique");

} // namespace

std::span<const Function> functions()
{
    return kFunctions;
}

const Function* findFunction(std::u16string_view name)
{
    const qsizetype i = indexOf(kFunctionKeys, name);
    return i < 0 ? nullptr : &kFunctions[size_t(i)];
}

double apply(const Function& fn, QStringView name, const double* args, qsizetype count, AngleMode mode, Error& err)
{
    if (count < fn.minArgs || count > fn.maxArgs) {
        return fail(err, syntaxError(name.toString()
                                     + QString::fromUtf16(fn.arityMessage.data(), qsizetype(fn.arityMessage.size()))));
    }
    return fn.apply(args, count, mode, err);
}

std::span<const Constant> constants()
{
    return kConstants;
}

const double* constantValue(std::u16string_view name)
{
    const qsizetype i = indexOf(kConstantKeys, name);
    return i < 0 ? nullptr : &kConstants[size_t(i)].value;
}

} // namespace Expr
