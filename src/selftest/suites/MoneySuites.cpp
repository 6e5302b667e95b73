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
#include <QJsonDocument>
#include <QJsonObject>
#include <limits>

namespace {

Decimal dec(const char* text)
{
    return Decimal::fromString(QString::fromLatin1(text)).value_or(Decimal::nan());
}

QString money(const Decimal& d)
{
    return Money::format(d, QStringLiteral("$"));
}

// A double figure as cents text ("1199.10").
QString cents(double x)
{
    return QString::asprintf("%.2f", x);
}

SelfTest::Suite decimalSuite("Decimal", [](SelfTest::Check& c) {
    c.equal((dec("0.1") + dec("0.2") + dec("0.3")).toString(), QStringLiteral("0.6"), QStringLiteral("decimal sum is exact"));
    c.that(dec("2") == dec("2.00"), QStringLiteral("2 equals 2.00"));
    c.equal((dec("1") / dec("3")).toString(), QStringLiteral("0.33333333333333333333333333333333333333"),
            QStringLiteral("quotient carried to 38 digits"));
    c.that((dec("9e1000") * dec("1e38")).isNaN(), QStringLiteral("overflow is NaN, not undefined"));
    c.that((dec("1") / dec("0")).isNaN(), QStringLiteral("division by zero is NaN"));
    const std::optional<QByteArray> json = Store::encode(QJsonObject{{QStringLiteral("v"), dec("19.99").toJson()}});
    const std::optional<QJsonValue> back = json ? Store::parse(*json) : std::nullopt;
    c.that(back && Decimal::fromJson(back->toObject().value(QStringLiteral("v"))) == dec("19.99"),
           QStringLiteral("JSON number reads back to the same decimal"));
});

SelfTest::Suite moneySuite("Money", [](SelfTest::Check& c) {
    c.equal(Money::round(dec("2.345")).toString(), QStringLiteral("2.35"), QStringLiteral("round 2.345"));
    c.equal(Money::round(dec("-2.345")).toString(), QStringLiteral("-2.35"), QStringLiteral("round -2.345"));
    c.equal(Money::round(dec("4.498")).toString(), QStringLiteral("4.50"), QStringLiteral("round 4.498"));

    const QList<InvoiceLine> lines{InvoiceLine(QStringLiteral("Widget"), dec("2"), dec("19.99")),
                                   InvoiceLine(QStringLiteral("Setup"), dec("1"), dec("5"))};
    const InvoiceTotals t = Money::totals(lines, dec("10"), dec("8.25"), dec("0"), dec("0"));
    c.equal(money(t.subtotal), QStringLiteral("$44.98"), QStringLiteral("subtotal"));
    c.equal(money(t.discount), QStringLiteral("$4.50"), QStringLiteral("discount"));
    c.equal(money(t.taxable), QStringLiteral("$40.48"), QStringLiteral("taxable"));
    c.equal(money(t.tax), QStringLiteral("$3.34"), QStringLiteral("tax"));
    c.equal(money(t.total), QStringLiteral("$43.82"), QStringLiteral("total"));
    c.equal(money(t.balance), QStringLiteral("$43.82"), QStringLiteral("balance"));

    const QList<InvoiceLine> hours{InvoiceLine(QStringLiteral("Hours"), dec("2.5"), dec("80"))};
    const InvoiceTotals h = Money::totals(hours, dec("0"), dec("0"), dec("12.5"), dec("100"));
    c.equal(money(h.total), QStringLiteral("$212.50"), QStringLiteral("total with shipping"));
    c.equal(money(h.balance), QStringLiteral("$112.50"), QStringLiteral("balance after payment"));
    const InvoiceTotals none = Money::totals({}, dec("0"), dec("7"), dec("0"), dec("0"));
    c.that(none.subtotal.isZero() && none.tax.isZero() && none.total.isZero() && none.balance.isZero(),
           QStringLiteral("no lines give zeros"));

    const QStringList existing{QStringLiteral("INV-1001"), QStringLiteral("INV-1007"), QStringLiteral("RCPT-2000")};
    c.equal(Money::nextNumber(QStringLiteral("INV-"), existing, 1001).value_or(QString()), QStringLiteral("INV-1008"),
            QStringLiteral("next invoice number"));
    c.equal(Money::nextNumber(QStringLiteral("INV-"), {}, 1001).value_or(QString()), QStringLiteral("INV-1001"),
            QStringLiteral("first invoice number"));
    c.that(!Money::nextNumber(QStringLiteral("INV-"), {QStringLiteral("INV-9223372036854775807")}, 1),
           QStringLiteral("no number past the 64-bit maximum"));

    c.equal(money(dec("1234.5")), QStringLiteral("$1,234.50"), QStringLiteral("format with grouping"));
    c.equal(money(dec("-3")), QStringLiteral("-$3.00"), QStringLiteral("format negative"));
    c.that(Money::parse(QStringLiteral("$1,250.75")) == dec("1250.75"), QStringLiteral("parse $1,250.75"));
    c.that(Money::parse(QStringLiteral("1.2.3")) == dec("1.2"), QStringLiteral("parse stops at a second point"));
    c.that(!Money::parse(QStringLiteral("abc")), QStringLiteral("parse without digits gives nothing"));

    const InvoiceLine tenCents(QStringLiteral("x"), dec("3"), dec("0.10"));
    const std::optional<QByteArray> json = Store::encode(tenCents.toJson());
    const std::optional<QJsonValue> parsed = json ? Store::parse(*json) : std::nullopt;
    const std::optional<InvoiceLine> back = parsed ? InvoiceLine::fromJson(*parsed) : std::nullopt;
    c.that(back && *back == tenCents && back->amount() == dec("0.30"), QStringLiteral("line through JSON"));
    c.equal(InvoiceLine(QStringLiteral("x"), dec("1"), dec("0.005")).amount().toString(), QStringLiteral("0.01"),
            QStringLiteral("half a cent rounds up"));
    c.equal(InvoiceLine(QStringLiteral("x"), dec("1"), dec("-0.005")).amount().toString(), QStringLiteral("-0.01"),
            QStringLiteral("minus half a cent rounds away from zero"));
});

SelfTest::Suite loanSuite("Loan", [](SelfTest::Check& c) {
    c.equal(cents(LoanMath::monthlyPayment(200000, 6, 360)), QStringLiteral("1199.10"), QStringLiteral("30-year payment"));
    c.equal(cents(LoanMath::monthlyPayment(25000, 5, 60)), QStringLiteral("471.78"), QStringLiteral("5-year payment"));
    c.equal(cents(LoanMath::monthlyPayment(12000, 0, 12)), QStringLiteral("1000.00"), QStringLiteral("0 % payment"));

    const LoanResult r = LoanMath::amortize(200000, 6, 360, 0);
    c.equal(r.months, 360, QStringLiteral("360 rows"));
    c.equal(cents(r.schedule.first().interest), QStringLiteral("1000.00"), QStringLiteral("first interest"));
    c.equal(cents(r.schedule.first().principal), QStringLiteral("199.10"), QStringLiteral("first principal"));
    c.equal(cents(r.totalInterest), QStringLiteral("231677.04"), QStringLiteral("total interest"));
    c.equal(cents(r.schedule.last().payment), QStringLiteral("1200.14"), QStringLiteral("last payment"));
    c.equal(cents(r.schedule.last().balance), QStringLiteral("0.00"), QStringLiteral("ends at 0"));
    double principal = 0;
    for (const AmortizationRow& row : r.schedule)
        principal += row.principal;
    c.equal(cents(principal), QStringLiteral("200000.00"), QStringLiteral("principal column sums to the loan"));

    const LoanResult e = LoanMath::amortize(200000, 6, 360, 200);
    c.equal(e.months, 252, QStringLiteral("extra payments shorten the loan"));
    c.equal(cents(e.totalInterest), QStringLiteral("151876.18"), QStringLiteral("interest with extra"));
    c.equal(cents(e.schedule.last().payment), QStringLiteral("702.08"), QStringLiteral("last payment with extra"));

    const LoanResult z = LoanMath::amortize(1000, 0, 3, 500);
    c.that(z.months == 2 && cents(z.schedule.at(0).payment) == QStringLiteral("833.33")
               && cents(z.schedule.at(1).payment) == QStringLiteral("166.67"),
           QStringLiteral("0 % with extra ends after 2 payments"));
    c.equal(LoanMath::amortize(0, 6, 360, 0).months, 0, QStringLiteral("no principal, no schedule"));
    c.equal(LoanMath::amortize(1000, 6, 0, 0).months, 0, QStringLiteral("no term, no schedule"));
    c.that(LoanMath::amortize(25000, 6.5, std::numeric_limits<qint64>::max(), 0).months <= LoanMath::kMaxMonths,
           QStringLiteral("an endless term stays bounded"));

    const LoanMath::MortgageBreakdown b = LoanMath::mortgage(400000, 40000, 6.5, 30, 2400, 1200, 0.5, 50);
    c.equal(cents(b.principalAndInterest), QStringLiteral("2275.44"), QStringLiteral("mortgage P&I"));
    c.equal(cents(b.pmi), QStringLiteral("150.00"), QStringLiteral("PMI under 20 % down"));
    c.equal(cents(b.total()), QStringLiteral("2775.44"), QStringLiteral("mortgage total"));
    c.equal(cents(LoanMath::mortgage(450000, 90000, 6.5, 30, 2400, 1200, 0.5, 50).pmi), QStringLiteral("0.00"),
            QStringLiteral("no PMI at 20 % down"));
});

SelfTest::Suite gpaSuite("GPA", [](SelfTest::Check& c) {
    using T = GPA::CourseTuple;
    const auto gpa = [](const QList<T>& courses) { return GPA::format(GPA::compute(courses).gpa); };
    c.equal(gpa({T{3, "A"}, T{4, "B"}}), QStringLiteral("3.43"), QStringLiteral("A and B"));
    c.that(GPA::compute({T{3, "A"}, T{4, "B"}}).credits == 7, QStringLiteral("counted credits"));
    c.equal(gpa({T{3, "A-"}, T{3, "B+"}, T{2, "C"}, T{4, "B"}}), QStringLiteral("3.08"), QStringLiteral("four courses"));
    c.equal(gpa({T{3, "P"}, T{4, "A"}}), QStringLiteral("4.00"), QStringLiteral("pass left out"));
    c.equal(gpa({T{3, "W"}}), QStringLiteral("0.00"), QStringLiteral("withdrawn alone"));
    c.equal(gpa({T{3, "F"}, T{3, "A"}}), QStringLiteral("2.00"), QStringLiteral("fail counts"));
    c.equal(gpa({T{0, "F"}, T{-2, "F"}, T{3, "B"}}), QStringLiteral("3.00"), QStringLiteral("no credits, no count"));
    c.equal(GPA::format(GPA::cumulative(3.5, 30, {T{15, "B"}})), QStringLiteral("3.33"), QStringLiteral("cumulative"));
    c.equal(GPA::format(GPA::cumulative(0, 0, {})), QStringLiteral("0.00"), QStringLiteral("empty cumulative"));
    c.that(GPA::points(QStringLiteral("a+")) == 4.0, QStringLiteral("a+ reads as A+"));
});

SelfTest::Suite loanModelSuite("Loan & GPA model", [](SelfTest::Check& c) {
    const QString file = Store::path(LoanGPAModel::kFileName);
    QFile::remove(file);
    QFile::remove(file + QStringLiteral(".bak"));
    {
        LoanGPAModel m;
        c.equal(cents(m.loan().monthlyPayment), QStringLiteral("489.15"), QStringLiteral("initial loan payment"));
        c.equal(cents(m.loan().totalInterest), QStringLiteral("4349.20"), QStringLiteral("initial loan interest"));
        c.equal(cents(m.mortgage().total()), QStringLiteral("2474.33"), QStringLiteral("initial mortgage total"));
        c.equal(GPA::format(GPA::compute(m.gpaTuples()).gpa), QStringLiteral("3.60"), QStringLiteral("initial GPA"));
        const QStringList csv = m.csvText().split(QLatin1Char('\n'));
        c.equal(qint64(csv.size()), 62, QStringLiteral("CSV has a header and 60 lines"));
        c.that(csv.value(1).startsWith(QStringLiteral("1,")) && csv.value(1).endsWith(QStringLiteral(",489.15,353.73,135.42,0.00,24646.27")),
               QStringLiteral("first CSV line"), QStringLiteral("1,<date>,489.15,353.73,135.42,0.00,24646.27"), csv.value(1));
        m.setYears(2.5);
        c.equal(m.months(), 30, QStringLiteral("2.5 years is 30 payments"));
        m.setYears(0);
        c.equal(m.months(), 1, QStringLiteral("a term of 0 is 1 payment"));
        m.setAmount(30000);
        m.persist();
        m.setYears(3);
    } // a pending save is written when the model goes
    LoanGPAModel back;
    c.that(back.amount() == 30000 && back.years() == 3, QStringLiteral("inputs come back"));

    QJsonObject o = QJsonDocument::fromJson([&] {
                        QFile f(file);
                        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
                    }()).object();
    o.remove(QStringLiteral("priorCredits"));
    QFile f(file);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(QJsonDocument(o).toJson());
    f.close();
    LoanGPAModel partial;
    c.that(partial.amount() == 25000 && partial.years() == 5, QStringLiteral("a file without a key restores nothing"));
    QFile::remove(file);
    QFile::remove(file + QStringLiteral(".bak"));
});

} // namespace
