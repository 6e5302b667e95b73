// Self-test suites of the money arithmetic, the loan and mortgage
// mathematics, the GPA computation and the Loan & GPA model.
#include "core/Store.h"
#include "calc/GPA.h"
#include "calc/LoanGPAModel.h"
#include "calc/LoanMath.h"
#include "money/InvoiceLine.h"
#include "money/Money.h"
#include "selftest/SelfTest.h"

#include <QFile>

namespace {

Decimal dec(const char* text)
{
    return Decimal::fromString(QString::fromLatin1(text)).value_or(Decimal::nan());
}

// A double figure as cents text ("1199.10").
QString cents(double x)
{
    return QString::asprintf("%.2f", x);
}

// One invoice through every step: line amounts, discount, tax, shipping,
// payment, the currency format and the next number.
SelfTest::Suite moneySuite("Money", [](SelfTest::Check& c) {
    const QList<InvoiceLine> lines{InvoiceLine(QStringLiteral("Cable"), dec("3"), dec("0.10")),
                                   InvoiceLine(QStringLiteral("Hours"), dec("2.5"), dec("80"))};
    const InvoiceTotals t = Money::totals(lines, dec("10"), dec("8.25"), dec("12.5"), dec("100"));
    c.equal(Money::format(t.total, QStringLiteral("$")), QStringLiteral("$207.64"), QStringLiteral("invoice total"));
    c.equal(Money::format(t.balance, QStringLiteral("$")), QStringLiteral("$107.64"), QStringLiteral("balance due"));
    c.equal(Money::nextNumber(QStringLiteral("RCPT-"), {QStringLiteral("RCPT-41")}, 1).value_or(QString()),
            QStringLiteral("RCPT-42"), QStringLiteral("next receipt number"));
});

SelfTest::Suite loanSuite("Loan", [](SelfTest::Check& c) {
    const LoanResult r = LoanMath::amortize(10000, 12, 12, 0);
    c.that(cents(r.monthlyPayment) == QLatin1String("888.49") && r.months == 12
               && cents(r.schedule.last().balance) == QLatin1String("0.00"),
           QStringLiteral("a year at 12 %"), QStringLiteral("888.49, 12 rows, ends at 0"),
           cents(r.monthlyPayment) + QStringLiteral(", %1 rows").arg(r.months));
    c.equal(cents(LoanMath::mortgage(300000, 30000, 6, 30, 3600, 1200, 0.5, 0).total()), QStringLiteral("2131.29"),
            QStringLiteral("mortgage total with PMI"));
});

SelfTest::Suite gpaSuite("GPA", [](SelfTest::Check& c) {
    using T = GPA::CourseTuple;
    c.equal(GPA::format(GPA::compute({T{4, "A-"}, T{3, "C+"}}).gpa), QStringLiteral("3.10"), QStringLiteral("term GPA"));
    c.equal(GPA::format(GPA::cumulative(3.0, 60, {T{15, "A"}})), QStringLiteral("3.20"), QStringLiteral("cumulative GPA"));
});

SelfTest::Suite loanModelSuite("Loan & GPA model", [](SelfTest::Check& c) {
    const QString file = Store::path(LoanGPAModel::kFileName);
    QFile::remove(file);
    QFile::remove(file + QStringLiteral(".bak"));
    {
        LoanGPAModel m;
        c.equal(cents(m.loan().monthlyPayment), QStringLiteral("489.15"), QStringLiteral("initial loan payment"));
        c.equal(qint64(m.csvText().split(QLatin1Char('\n')).size()), 62, QStringLiteral("CSV has a header and 60 lines"));
        m.setAmount(30000);
        m.persist();
    }
    LoanGPAModel back;
    c.that(back.amount() == 30000, QStringLiteral("inputs come back"));
    QFile::remove(file);
    QFile::remove(file + QStringLiteral(".bak"));
});

} // namespace
