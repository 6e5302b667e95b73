#include "calc/LoanMath.h"

#include <algorithm>
#include <cmath>
#include <limits>

size_t qHash(const AmortizationRow& row, size_t seed)
{
    return qHashMulti(seed, row.period, row.payment, row.principal, row.interest, row.extra, row.balance);
}

namespace LoanMath {

double round2(double x)
{
    return std::round(x * 100.0) / 100.0;
}

double monthlyPayment(double principal, double annualRatePercent, qint64 months)
{
    if (!(principal > 0) || months < 1)
        return 0;
    const double r = annualRatePercent / 1200.0;
    const double n = double(months);
    if (r == 0)
        return round2(principal / n);
    return round2(r * principal / (1.0 - std::pow(1.0 + r, -n)));
}

LoanResult amortize(double principal, double annualRatePercent, qint64 months, double extraMonthly)
{
    const qint64 n = std::min(months, kMaxMonths);
    LoanResult result;
    const double pay = monthlyPayment(principal, annualRatePercent, n);
    result.monthlyPayment = pay;
    if (principal <= 0.004 || !(pay > 0))
        return result;

    const double extra = extraMonthly < 0 ? 0.0 : extraMonthly;
    const double r = annualRatePercent / 1200.0;
    double balance = principal;
    double interestSum = 0;
    double paymentSum = 0;
    result.schedule.reserve(qsizetype(n));
    for (qint64 period = 1; period <= n + 1; ++period) {
        const double interest = round2(r * balance);
        const double scheduled = pay - interest;
        double principalPaid;
        double extraPaid;
        if (balance > scheduled && period != n) {
            principalPaid = scheduled;
            extraPaid = extra;
            if (balance < extra + scheduled)
                extraPaid = round2(balance - scheduled);
        } else {
            principalPaid = balance;
            extraPaid = 0;
        }
        balance = round2(balance - principalPaid - extraPaid);

        AmortizationRow row;
        row.period = period;
        row.payment = round2(extraPaid + (interest + principalPaid));
        row.principal = round2(principalPaid);
        row.interest = interest;
        row.extra = extraPaid;
        // Not below 0, and a rounded "-0" left by the payment that clears
        // the loan is the plain 0 too (it would print as "-0.00").
        row.balance = balance <= 0 ? 0.0 : balance;
        result.schedule.append(row);

        interestSum += interest;
        paymentSum += row.payment;
        if (!(balance > 0.004))
            break;
    }
    result.totalInterest = round2(interestSum);
    result.totalPaid = round2(paymentSum);
    result.months = result.schedule.size();
    return result;
}

double MortgageBreakdown::total() const
{
    return round2(principalAndInterest + propertyTax + insurance + pmi + hoa);
}

qint64 monthsInYears(qint64 years)
{
    qint64 months = 0;
    if (__builtin_mul_overflow(years, qint64(12), &months))
        return years < 0 ? std::numeric_limits<qint64>::min() : std::numeric_limits<qint64>::max();
    return months;
}

MortgageBreakdown mortgage(double price, double downPayment, double annualRatePercent, qint64 years,
                           double taxPerYear, double insurancePerYear, double pmiRatePercent, double hoaMonthly)
{
    MortgageBreakdown b;
    const double loan = price - downPayment;
    b.loanAmount = loan < 0 ? 0.0 : loan;
    b.principalAndInterest = monthlyPayment(b.loanAmount, annualRatePercent, monthsInYears(years));
    if (price > 0 && downPayment / price < 0.2)
        b.pmi = round2(b.loanAmount * pmiRatePercent / 100.0 / 12.0);
    b.propertyTax = round2(taxPerYear / 12.0);
    b.insurance = round2(insurancePerYear / 12.0);
    b.hoa = round2(hoaMonthly);
    return b;
}

} // namespace LoanMath
