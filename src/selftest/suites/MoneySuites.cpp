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

SelfTest::Suite moneySuite("Money", [](SelfTest::Check& c) {
    c.equal((dec("0.1") + dec("0.2") + dec("0.3")).toString(), QStringLiteral("0.6"), QStringLiteral("decimal sum is exact"));
    c.equal(Money::round(dec("2.345")).toString(), QStringLiteral("2.35"), QStringLiteral("round 2.345"));
    const QList<InvoiceLine> lines{InvoiceLine(QStringLiteral("Widget"), dec("2"), dec("19.99")),
                                   InvoiceLine(QStringLiteral("Setup"), dec("1"), dec("5"))};
    const InvoiceTotals t = Money::totals(lines, dec("10"), dec("8.25"), dec("0"), dec("0"));
    c.equal(Money::format(t.total, QStringLiteral("$")), QStringLiteral("$43.82"), QStringLiteral("invoice total"));
    c.equal(Money::nextNumber(QStringLiteral("INV-"), {QStringLiteral("INV-1007")}, 1001).value_or(QString()),
            QStringLiteral("INV-1008"), QStringLiteral("next invoice number"));
});

SelfTest::Suite loanSuite("Loan", [](SelfTest::Check& c) {
    c.equal(cents(LoanMath::monthlyPayment(200000, 6, 360)), QStringLiteral("1199.10"), QStringLiteral("30-year payment"));
    const LoanResult r = LoanMath::amortize(200000, 6, 360, 0);
    c.that(r.months == 360 && cents(r.schedule.last().balance) == QLatin1String("0.00"),
           QStringLiteral("360 rows ending at 0"));
    c.equal(cents(LoanMath::mortgage(400000, 40000, 6.5, 30, 2400, 1200, 0.5, 50).total()), QStringLiteral("2775.44"),
            QStringLiteral("mortgage total"));
});

SelfTest::Suite gpaSuite("GPA", [](SelfTest::Check& c) {
    using T = GPA::CourseTuple;
    c.equal(GPA::format(GPA::compute({T{3, "A"}, T{4, "B"}}).gpa), QStringLiteral("3.43"), QStringLiteral("A and B"));
    c.equal(GPA::format(GPA::cumulative(3.5, 30, {T{15, "B"}})), QStringLiteral("3.33"), QStringLiteral("cumulative"));
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
