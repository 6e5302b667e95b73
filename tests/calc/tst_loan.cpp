#include "TestEnvironment.h"
#include "calc/LoanMath.h"

#include <QTest>
#include <cmath>
#include <limits>

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

bool cents(double a, double b)
{
    return std::llround(a * 100) == std::llround(b * 100);
}

} // namespace

class LoanTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void roundsCentsHalfAway()
    {
        QCOMPARE(LoanMath::round2(0.125), 0.13);
        QCOMPARE(LoanMath::round2(-0.125), -0.13);
    }

    void monthlyPayment_data()
    {
        QTest::addColumn<double>("principal");
        QTest::addColumn<double>("rate");
        QTest::addColumn<qint64>("months");
        QTest::addColumn<double>("payment");
        QTest::newRow("no principal") << 0.0 << 6.0 << qint64(360) << 0.0;
        QTest::newRow("no months") << 1000.0 << 6.0 << qint64(0) << 0.0;
        QTest::newRow("endless term") << 25000.0 << 6.0 << std::numeric_limits<qint64>::max() << 125.0;
        QTest::newRow("nan principal") << kNaN << 6.0 << qint64(12) << 0.0;
    }
    void monthlyPayment()
    {
        QFETCH(double, principal);
        QFETCH(double, rate);
        QFETCH(qint64, months);
        QFETCH(double, payment);
        QCOMPARE(LoanMath::monthlyPayment(principal, rate, months), payment);
    }

    void schedule_data()
    {
        QTest::addColumn<double>("principal");
        QTest::addColumn<double>("rate");
        QTest::addColumn<qint64>("months");
        QTest::addColumn<double>("extra");
        QTest::addColumn<double>("pay");
        QTest::addColumn<qint64>("rows");
        QTest::addColumn<double>("totalInterest");
        QTest::addColumn<QList<double>>("last"); // payment, principal, interest, extra, balance
        QTest::newRow("30 years at 6 %") << 200000.0 << 6.0 << qint64(360) << 0.0 << 1199.10 << qint64(360)
                                         << 231677.04 << QList<double>{1200.14, 1194.17, 5.97, 0, 0};
        QTest::newRow("with 200 extra") << 200000.0 << 6.0 << qint64(360) << 200.0 << 1199.10 << qint64(252)
                                        << 151876.18 << QList<double>{702.08, 698.59, 3.49, 0, 0};
        QTest::newRow("initial loan") << 25000.0 << 6.5 << qint64(60) << 0.0 << 489.15 << qint64(60) << 4349.20
                                      << QList<double>{489.35, 486.71, 2.64, 0, 0};
        QTest::newRow("extra cut to what clears") << 1000.0 << 0.0 << qint64(3) << 600.0 << 333.33 << qint64(2)
                                                  << 0.0 << QList<double>{66.67, 66.67, 0, 0, 0};
        // The extra payment itself is clipped: the scheduled principal plus the
        // full extra would overshoot the balance in the first month.
        QTest::newRow("extra clipped in the final month") << 1000.0 << 0.0 << qint64(4) << 800.0 << 250.0 << qint64(1)
                                                          << 0.0 << QList<double>{1000.0, 250.0, 0, 750.0, 0};
        QTest::newRow("negative extra counts as none") << 1000.0 << 0.0 << qint64(3) << -50.0 << 333.33 << qint64(3)
                                                       << 0.0 << QList<double>{333.34, 333.34, 0, 0, 0};
        // The extra that clears the loan leaves a balance a hair below zero
        // before rounding: it still shows as 0, not as "-0".
        QTest::newRow("extra clears to a signless zero") << 100.0 << 3.0 << qint64(12) << 17.0 << 8.47 << qint64(4)
                                                         << 0.62 << QList<double>{24.21, 8.41, 0.06, 15.74, 0};
        QTest::newRow("one month") << 500.0 << 12.0 << qint64(1) << 0.0 << 505.0 << qint64(1) << 5.0
                                   << QList<double>{505.0, 500.0, 5.0, 0, 0};
    }
    void schedule()
    {
        QFETCH(double, principal);
        QFETCH(double, rate);
        QFETCH(qint64, months);
        QFETCH(double, extra);
        QFETCH(double, pay);
        QFETCH(qint64, rows);
        QFETCH(double, totalInterest);
        QFETCH(QList<double>, last);
        const LoanResult r = LoanMath::amortize(principal, rate, months, extra);
        QCOMPARE(r.monthlyPayment, pay);
        QCOMPARE(r.months, rows);
        QCOMPARE(r.schedule.size(), rows);
        QVERIFY2(cents(r.totalInterest, totalInterest), qPrintable(QString::number(r.totalInterest, 'f', 2)));
        const AmortizationRow& l = r.schedule.last();
        const QList<double> got{l.payment, l.principal, l.interest, l.extra, l.balance};
        for (int i = 0; i < 5; ++i)
            QVERIFY2(cents(got.at(i), last.at(i)), qPrintable(QStringLiteral("last row field %1: %2").arg(i).arg(got.at(i))));

        // The rows add up to the cent.
        double balance = principal;
        double principalSum = 0;
        double interestSum = 0;
        double paymentSum = 0;
        for (int i = 0; i < r.schedule.size(); ++i) {
            const AmortizationRow& row = r.schedule.at(i);
            QCOMPARE(row.period, qint64(i + 1));
            QVERIFY(cents(row.payment, row.principal + row.interest + row.extra));
            balance = LoanMath::round2(balance - row.principal - row.extra);
            QVERIFY(cents(row.balance, balance));
            QVERIFY2(!std::signbit(row.balance), qPrintable(QStringLiteral("row %1").arg(row.period)));
            principalSum += row.principal + row.extra;
            interestSum += row.interest;
            paymentSum += row.payment;
        }
        QVERIFY(cents(principalSum, principal));
        QVERIFY(cents(r.totalInterest, interestSum));
        QVERIFY(cents(r.totalPaid, paymentSum));
        QVERIFY(cents(r.totalPaid, principal + r.totalInterest));
        QCOMPARE(r.schedule.last().balance, 0.0);
    }

    // Nothing to repay gives an empty schedule; an absurd term must neither
    // freeze the program nor use up memory.
    void edgeSchedulesStayBounded_data()
    {
        QTest::addColumn<double>("principal");
        QTest::addColumn<double>("rate");
        QTest::addColumn<qint64>("months");
        QTest::addColumn<double>("extra");
        QTest::addColumn<bool>("empty");
        const qint64 maxTerm = std::numeric_limits<qint64>::max();
        QTest::newRow("no principal") << 0.0 << 6.0 << qint64(360) << 0.0 << true;
        QTest::newRow("less than half a cent") << 0.004 << 6.0 << qint64(12) << 0.0 << true;
        QTest::newRow("no months") << 1000.0 << 6.0 << qint64(0) << 0.0 << true;
        QTest::newRow("payment rounds to nothing") << 10.0 << 0.0 << qint64(12000) << 0.0 << true;
        QTest::newRow("nan principal") << kNaN << 6.0 << qint64(12) << 0.0 << true;
        QTest::newRow("nan rate") << 1000.0 << kNaN << qint64(12) << 0.0 << true;
        QTest::newRow("largest term") << 25000.0 << 6.5 << maxTerm << 0.0 << false;
        QTest::newRow("a million years") << 25000.0 << 6.5 << qint64(12'000'000) << 0.0 << false;
        QTest::newRow("slow repayment at 0 %") << 25000.0 << 0.0 << qint64(2'000'000) << 0.0 << false;
        QTest::newRow("infinite principal") << kInf << 6.5 << qint64(60) << 0.0 << false;
        QTest::newRow("nan extra") << 25000.0 << 6.5 << qint64(60) << kNaN << false;
        QTest::newRow("infinite extra") << 25000.0 << 6.5 << qint64(60) << kInf << false;
        QTest::newRow("huge rate") << 25000.0 << 1e300 << qint64(360) << 0.0 << false;
    }
    void edgeSchedulesStayBounded()
    {
        QFETCH(double, principal);
        QFETCH(double, rate);
        QFETCH(qint64, months);
        QFETCH(double, extra);
        QFETCH(bool, empty);
        const LoanResult r = LoanMath::amortize(principal, rate, months, extra);
        QVERIFY(r.months <= LoanMath::kMaxMonths);
        QCOMPARE(r.months, qint64(r.schedule.size()));
        if (empty)
            QVERIFY(r.schedule.isEmpty() && r.totalInterest == 0 && r.totalPaid == 0);
    }

    void longTermEndsInOneFinalPayment()
    {
        // 1,000 years: interest eats the whole payment, so the last month
        // pays the principal.
        const LoanResult r = LoanMath::amortize(25000, 6.5, std::numeric_limits<qint64>::max(), 0);
        QCOMPARE(r.months, LoanMath::kMaxMonths);
        QCOMPARE(r.schedule.last().balance, 0.0);
        QVERIFY(r.schedule.last().principal > 20000);
    }

    void mortgage_data()
    {
        QTest::addColumn<double>("price");
        QTest::addColumn<double>("down");
        QTest::addColumn<double>("rate");
        QTest::addColumn<qint64>("years");
        QTest::addColumn<double>("pmiRate");
        QTest::addColumn<double>("hoa");
        // loan, P&I, tax, insurance, pmi, hoa, total
        QTest::addColumn<QList<double>>("expected");
        QTest::newRow("10 % down") << 400000.0 << 40000.0 << 6.5 << qint64(30) << 0.5 << 50.0
                                   << QList<double>{360000, 2275.44, 200, 100, 150, 50, 2775.44};
        QTest::newRow("exactly 20 % down") << 450000.0 << 90000.0 << 6.5 << qint64(30) << 0.5 << 50.0
                                           << QList<double>{360000, 2275.44, 200, 100, 0, 50, 2625.44};
        QTest::newRow("down above price") << 300000.0 << 400000.0 << 6.5 << qint64(30) << 0.5 << 0.0
                                          << QList<double>{0, 0, 200, 100, 0, 0, 300};
        QTest::newRow("no term") << 300000.0 << 0.0 << 6.5 << qint64(0) << 0.5 << 0.0
                                 << QList<double>{300000, 0, 200, 100, 125, 0, 425};
        QTest::newRow("term beyond 64 bits") << 300000.0 << 60000.0 << 6.0 << std::numeric_limits<qint64>::max()
                                             << 0.5 << 0.0 << QList<double>{240000, 1200, 200, 100, 0, 0, 1500};
        QTest::newRow("negative term beyond 64 bits")
            << 300000.0 << 60000.0 << 6.0 << std::numeric_limits<qint64>::min() << 0.5 << 0.0
            << QList<double>{240000, 0, 200, 100, 0, 0, 300};
    }
    void mortgage()
    {
        QFETCH(double, price);
        QFETCH(double, down);
        QFETCH(double, rate);
        QFETCH(qint64, years);
        QFETCH(double, pmiRate);
        QFETCH(double, hoa);
        QFETCH(QList<double>, expected);
        const LoanMath::MortgageBreakdown b = LoanMath::mortgage(price, down, rate, years, 2400, 1200, pmiRate, hoa);
        const QList<double> got{b.loanAmount, b.principalAndInterest, b.propertyTax, b.insurance, b.pmi, b.hoa, b.total()};
        for (int i = 0; i < got.size(); ++i)
            QVERIFY2(cents(got.at(i), expected.at(i)), qPrintable(QStringLiteral("field %1: %2").arg(i).arg(got.at(i))));
    }

    void monthsOfYears()
    {
        QCOMPARE(LoanMath::monthsInYears(30), qint64(360));
        QCOMPARE(LoanMath::monthsInYears(-2), qint64(-24));
        QCOMPARE(LoanMath::monthsInYears(std::numeric_limits<qint64>::max() / 12 + 1), std::numeric_limits<qint64>::max());
        QCOMPARE(LoanMath::monthsInYears(std::numeric_limits<qint64>::min() / 12 - 1), std::numeric_limits<qint64>::min());
    }
};

QTEST_GUILESS_MAIN(LoanTest)
#include "tst_loan.moc"
