#pragma once

#include <QHashFunctions>
#include <QList>
#include <QtGlobal>

// One payment of an amortisation schedule.
struct AmortizationRow {
    qint64 period = 0;    // 1 for the first payment
    double payment = 0;   // interest + principal + extra
    double principal = 0; // scheduled principal (the whole rest in the last month)
    double interest = 0;
    double extra = 0;     // extra principal paid this month
    double balance = 0;   // left after this payment, never below 0

    friend bool operator==(const AmortizationRow&, const AmortizationRow&) = default;
};

size_t qHash(const AmortizationRow& row, size_t seed = 0);

// The result of an amortisation.
struct LoanResult {
    double monthlyPayment = 0; // the level payment, before extra payments
    double totalInterest = 0;  // sum of the rows' interest, rounded to cents
    double totalPaid = 0;      // sum of the rows' payments, rounded to cents
    qint64 months = 0;         // number of rows
    QList<AmortizationRow> schedule;
};

// Loan and mortgage arithmetic in doubles, every money figure rounded to
// cents as it is made. Rates are annual percentages (6 means 6 % a year).
// Pure functions, safe from any thread.
namespace LoanMath {

// The longest schedule amortize() builds: 1,000 years of monthly payments.
// A longer term is treated as this one, so an absurd term cannot freeze the
// program or exhaust memory; terms of any real loan are far below it.
inline constexpr qint64 kMaxMonths = 12000;

// round(x × 100) / 100 with halves away from zero.
double round2(double x);

// The level monthly payment: 0 for a principal not above 0 or fewer than one
// month; principal / months at 0 %; else r·P / (1 - (1 + r)^-n), r = rate / 1200.
double monthlyPayment(double principal, double annualRatePercent, qint64 months);

// The month-by-month schedule with an optional extra principal payment every
// month (a negative extra counts as 0). The last scheduled month, or the
// month whose scheduled principal would clear the balance, pays the whole
// remaining balance; an extra payment that would overshoot is cut to what
// clears the loan. Months beyond kMaxMonths are not scheduled (see there).
LoanResult amortize(double principal, double annualRatePercent, qint64 months, double extraMonthly);

// The monthly cost of a mortgage.
struct MortgageBreakdown {
    double loanAmount = 0;          // price - down payment, not below 0
    double principalAndInterest = 0;
    double propertyTax = 0;         // yearly tax / 12
    double insurance = 0;           // yearly insurance / 12
    double pmi = 0;                 // 0 with at least 20 % down
    double hoa = 0;

    // round2 of the five monthly parts, added in field order (without the
    // loan amount).
    double total() const;
};

// years × 12, saturating at the ends of the 64-bit range instead of
// overflowing.
qint64 monthsInYears(qint64 years);

// `years` × 12 saturates at the 64-bit range instead of overflowing.
MortgageBreakdown mortgage(double price, double downPayment, double annualRatePercent, qint64 years,
                           double taxPerYear, double insurancePerYear, double pmiRatePercent, double hoaMonthly);

} // namespace LoanMath
