#include "TestEnvironment.h"
#include "app/Store.h"
#include "calc/LoanGPAModel.h"
#include "calc/views/LoanBreakdownBar.h"
#include "calc/views/LoanCourseRow.h"
#include "calc/views/LoanGPATab.h"
#include "calc/views/LoanGPAView.h"
#include "calc/views/LoanLook.h"
#include "calc/views/LoanMortgageTab.h"
#include "calc/views/LoanTab.h"
#include "calc/views/SegmentedPicker.h"
#include "ui/Alert.h"
#include "ui/NumberField.h"
#include "ui/ToolScaffold.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <cmath>

namespace {

QList<AmortizationRow> scheduleOf(int n, double extra = 0)
{
    QList<AmortizationRow> rows;
    for (int i = 1; i <= n; ++i) {
        AmortizationRow r;
        r.period = i;
        r.principal = 100 + i;
        r.interest = 10 + i * 0.5;
        r.extra = extra;
        r.payment = r.principal + r.interest + extra;
        r.balance = 10000 - i * 150;
        rows.append(r);
    }
    return rows;
}

QString cell(QTableView* table, int row, int column)
{
    return table->model()->index(row, column).data().toString();
}

void typeInto(QLineEdit* field, const QString& text)
{
    field->setFocus();
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Backspace);
    QTest::keyClicks(field, text);
}

void waitFor(const std::function<bool()>& done, int ms)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms)
        QTest::qWait(10);
}

} // namespace

class LoanGPAViewTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void init() { TestEnvironment::clearDataFolder(); }

    void yearRows_data()
    {
        QTest::addColumn<int>("payments");
        QTest::addColumn<double>("extra");
        QTest::addColumn<QList<int>>("sizes"); // payments in each year
        QTest::newRow("thirty payments") << 30 << 0.0 << QList<int>{12, 12, 6};
        QTest::newRow("exactly two years") << 24 << 0.0 << QList<int>{12, 12};
        QTest::newRow("one payment") << 1 << 0.0 << QList<int>{1};
        QTest::newRow("none") << 0 << 0.0 << QList<int>{};
        QTest::newRow("with extra") << 13 << 200.0 << QList<int>{12, 1};
    }
    void yearRows()
    {
        QFETCH(int, payments);
        QFETCH(double, extra);
        QFETCH(QList<int>, sizes);
        const QList<AmortizationRow> schedule = scheduleOf(payments, extra);
        const QList<LoanGPAView::YearRow> years = LoanGPAView::yearRows(schedule);
        QCOMPARE(years.size(), sizes.size());
        int start = 0;
        for (int y = 0; y < years.size(); ++y) {
            double interest = 0;
            double principal = 0;
            for (int i = start; i < start + sizes.at(y); ++i) {
                interest += schedule.at(i).interest;
                principal += schedule.at(i).principal + schedule.at(i).extra;
            }
            QCOMPARE(years.at(y).id, qint64(y + 1));
            QCOMPARE(years.at(y).interest, interest);
            QCOMPARE(years.at(y).principal, principal);
            QCOMPARE(years.at(y).balance, schedule.at(start + sizes.at(y) - 1).balance);
            start += sizes.at(y);
        }
    }

    void moneyDisplay_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("grouping") << 24646.27 << "$24,646.27";
        QTest::newRow("half cent away from zero") << 0.125 << "$0.13";
        QTest::newRow("negative") << -3.0 << "-$3.00";
        QTest::newRow("whole") << 1000.0 << "$1,000.00";
        QTest::newRow("not a number") << std::nan("") << "$NaN";
    }
    void moneyDisplay()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(LoanLook::money(value), text);
    }

    void startsOnLoanWithInitialFigures()
    {
        LoanGPAView view;
        QCOMPARE(view.tab(), 0);
        QCOMPARE(view.tabPicker()->segments(), (QStringList{"Loan", "Mortgage", "GPA"}));
        LoanTab* t = view.loanTab();
        QCOMPARE(t->paymentLabel()->text(), QStringLiteral("$489.15"));
        QCOMPARE(t->totalInterestRow()->value(), QStringLiteral("$4,349.20"));
        QCOMPARE(t->totalPaidRow()->value(), QStringLiteral("$29,349.20"));
        QCOMPARE(t->payoffRow()->value(),
                 QStringLiteral("60 payments • ") + view.model()->date(60));
        QVERIFY(t->interestSavedRow()->isHidden());
        QVERIFY(t->timeSavedRow()->isHidden());
        QCOMPARE(t->amountField()->text(), QStringLiteral("25000"));
        QCOMPARE(t->rateField()->text(), QStringLiteral("6.5"));

        QTableView* table = t->monthlyTable();
        QCOMPARE(table->model()->rowCount(), 60);
        QCOMPARE(table->model()->columnCount(), 6);
        const QStringList headers{"#", "Date", "Payment", "Principal", "Interest", "Balance"};
        for (int c = 0; c < 6; ++c)
            QCOMPARE(table->model()->headerData(c, Qt::Horizontal).toString(), headers.at(c));
        QCOMPARE(cell(table, 0, 0), QStringLiteral("1"));
        QCOMPARE(cell(table, 0, 1), view.model()->date(1));
        QCOMPARE(cell(table, 0, 2), QStringLiteral("$489.15"));
        QCOMPARE(cell(table, 0, 3), QStringLiteral("$353.73"));
        QCOMPARE(cell(table, 0, 4), QStringLiteral("$135.42"));
        QCOMPARE(cell(table, 0, 5), QStringLiteral("$24,646.27"));
        QCOMPARE(cell(table, 59, 2), QStringLiteral("$489.35"));
        QCOMPARE(table->columnWidth(0), 40);
    }

    void extraPaymentShowsSavings()
    {
        LoanGPAView view;
        LoanGPAModel* m = view.model();
        m->setAmount(200000);
        m->setRate(6);
        m->setYears(30);
        QVERIFY(view.loanTab()->interestSavedRow()->isHidden());
        m->setExtra(200);
        LoanTab* t = view.loanTab();
        QVERIFY(!t->interestSavedRow()->isHidden());
        QCOMPARE(t->totalInterestRow()->value(), QStringLiteral("$151,876.18"));
        QCOMPARE(t->interestSavedRow()->value(), QStringLiteral("$79,800.86")); // 231,677.04 - 151,876.18
        QCOMPARE(t->timeSavedRow()->value(), QStringLiteral("108 months"));
        QVERIFY(t->payoffRow()->value().startsWith(QStringLiteral("252 payments • ")));
        m->setExtra(0);
        QVERIFY(t->interestSavedRow()->isHidden());
    }

    void yearlyToggleSwapsTables()
    {
        LoanGPAView view;
        LoanTab* t = view.loanTab();
        QCOMPARE(t->visibleTable(), t->monthlyTable());
        t->yearlyToggle()->click();
        QVERIFY(view.model()->yearly());
        QCOMPARE(t->visibleTable(), t->yearlyTable());
        QTableView* years = t->yearlyTable();
        QCOMPARE(years->model()->rowCount(), 5);
        const QStringList headers{"Year", "Principal", "Interest", "Balance"};
        for (int c = 0; c < 4; ++c)
            QCOMPARE(years->model()->headerData(c, Qt::Horizontal).toString(), headers.at(c));
        QCOMPARE(cell(years, 0, 0), QStringLiteral("1"));
        QCOMPARE(cell(years, 4, 3), QStringLiteral("$0.00"));
        t->yearlyToggle()->click();
        QVERIFY(!view.model()->yearly());
        QCOMPARE(t->visibleTable(), t->monthlyTable());
    }

    void typingUpdatesModelAndSaves()
    {
        LoanGPAView view;
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        typeInto(view.loanTab()->amountField()->lineEdit(), QStringLiteral("$12,000"));
        QCOMPARE(view.model()->amount(), 12000.0);
        QVERIFY(view.model()->isSavePending());
        QCOMPARE(view.loanTab()->paymentLabel()->text(), LoanLook::money(view.model()->loan().monthlyPayment));
        const QString file = Store::path(LoanGPAModel::kFileName);
        waitFor([&] { return QFile::exists(file); }, 3000);
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(QJsonDocument::fromJson(f.readAll()).object().value("amount").toDouble(), 12000.0);
    }

    void startDateMovesTheDates()
    {
        LoanGPAView view;
        view.loanTab()->startDateEdit()->setDate(QDate(2026, 1, 31));
        QCOMPARE(view.model()->startDate().date(), QDate(2026, 1, 31));
        QCOMPARE(cell(view.loanTab()->monthlyTable(), 0, 1), QStringLiteral("Feb 2026"));
    }

    void exportButtonWritesTheSchedule()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("out.csv"));
        LoanGPAView view;
        view.model()->setSavePathChooser([&](const QString&) { return path; });
        view.loanTab()->exportButton()->click();
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(f.readAll()), view.model()->csvText());
    }

    void failedExportIsShown()
    {
        QTemporaryDir dir;
        LoanGPAView view;
        view.model()->setSavePathChooser([&](const QString&) { return dir.filePath(QStringLiteral("no/such/dir.csv")); });
        QList<AlertRequest> alerts;
        const AlertHandler old = setAlertHandler([&](const AlertRequest& r) {
            alerts.append(r);
            return alertFirstButton;
        });
        view.loanTab()->exportButton()->click();
        setAlertHandler(old);
        QCOMPARE(alerts.size(), 1);
        QCOMPARE(alerts.first().title, QStringLiteral("Couldn’t export the schedule."));
    }

    void mortgageFigures()
    {
        LoanGPAView view;
        view.setTab(1);
        LoanMortgageTab* t = view.mortgageTab();
        QCOMPARE(t->totalLabel()->text(), QStringLiteral("$2,474.33"));
        const QStringList values{"$315,000.00", "$2,043.08", "$200.00", "$100.00", "$131.25", "$0.00"};
        for (int i = 0; i < values.size(); ++i)
            QCOMPARE(t->row(i)->value(), values.at(i));
        QCOMPARE(t->row(0)->label(), QStringLiteral("Loan amount"));
        QCOMPARE(t->row(6)->label(), QStringLiteral("Total interest over the loan"));
        QCOMPARE(t->row(6)->value(),
                 LoanLook::money(LoanMath::amortize(315000, 6.75, 360, 0).totalInterest));
        QCOMPARE(t->downCaptionLabel()->text(), QStringLiteral("10.0% down"));
        QCOMPARE(t->termPicker()->currentText(), QStringLiteral("30 years"));
        QCOMPARE(t->termPicker()->count(), 4);

        t->termPicker()->setCurrentIndex(1);
        Q_EMIT t->termPicker()->activated(1);
        QCOMPARE(view.model()->mYears(), qint64(15));
        QVERIFY(view.model()->isSavePending());
    }

    void downCaption_data()
    {
        QTest::addColumn<double>("down");
        QTest::addColumn<double>("price");
        QTest::addColumn<QString>("text");
        QTest::newRow("no price") << 60000.0 << 0.0 << "";
        QTest::newRow("a fifth") << 60000.0 << 300000.0 << "20.0% down";
        QTest::newRow("rounded") << 1.0 << 3.0 << "33.3% down";
        QTest::newRow("negative price") << 10.0 << -5.0 << "";
    }
    void downCaption()
    {
        QFETCH(double, down);
        QFETCH(double, price);
        QFETCH(QString, text);
        QCOMPARE(LoanMortgageTab::downCaption(down, price), text);
    }

    void breakdownBar_data()
    {
        QTest::addColumn<QList<double>>("values");
        QTest::addColumn<double>("total");
        QTest::addColumn<QList<double>>("widths"); // of a 200 wide bar
        QTest::newRow("shares") << QList<double>{50, 25, 25, 0, 0} << 100.0 << QList<double>{100, 50, 50, 0, 0};
        QTest::newRow("zero total") << QList<double>{0, 0, 0, 0, 0} << 0.0 << QList<double>{0, 0, 0, 0, 0};
        QTest::newRow("below one") << QList<double>{0.5, 0, 0, 0, 0} << 0.5 << QList<double>{100, 0, 0, 0, 0};
        QTest::newRow("negative part") << QList<double>{10, -5, 0, 0, 0} << 5.0 << QList<double>{400, 0, 0, 0, 0};
    }
    void breakdownBar()
    {
        QFETCH(QList<double>, values);
        QFETCH(double, total);
        QFETCH(QList<double>, widths);
        LoanBreakdownBar bar;
        QList<LoanBreakdownBar::Part> parts;
        for (double v : values)
            parts.append({v, Qt::red});
        bar.setParts(parts, total);
        QCOMPARE(bar.widths(200), widths);
        QCOMPARE(bar.height(), 18);
    }

    void gpaTab()
    {
        LoanGPAView view;
        view.setTab(2);
        LoanGPATab* t = view.gpaTab();
        QCOMPARE(t->rows().size(), 2);
        QCOMPARE(t->termLabel()->text(), QStringLiteral("3.60"));
        QCOMPARE(t->termCaption()->text(), QStringLiteral("7 graded credits • 25.2 quality points"));
        QCOMPARE(t->cumulativeLabel()->text(), QStringLiteral("3.60"));
        QCOMPARE(t->cumulativeCaption()->text(), QStringLiteral("over 7 credits"));
        QCOMPARE(t->rows().at(0)->nameField()->text(), QStringLiteral("English 101"));
        QCOMPARE(t->rows().at(1)->creditsField()->text(), QStringLiteral("4"));
        QCOMPARE(t->rows().at(1)->gradePicker()->currentText(), QStringLiteral("B+"));
        QCOMPARE(t->rows().at(0)->gradePicker()->count(), 15);

        view.model()->setPriorGPA(3.5);
        view.model()->setPriorCredits(30);
        QCOMPARE(t->cumulativeCaption()->text(), QStringLiteral("over 37 credits"));
        QCOMPARE(t->cumulativeLabel()->text(), GPA::format(GPA::cumulative(3.5, 30, view.model()->gpaTuples())));
    }

    void courseEditsGoToTheModel()
    {
        LoanGPAView view;
        view.setTab(2);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        LoanCourseRow* row = view.gpaTab()->rows().at(0);
        typeInto(row->nameField(), QStringLiteral("Chemistry"));
        QCOMPARE(view.model()->courses().at(0).name, QStringLiteral("Chemistry"));
        typeInto(row->creditsField(), QStringLiteral("4.5"));
        QTest::keyClick(row->creditsField(), Qt::Key_Return);
        QCOMPARE(view.model()->courses().at(0).credits, 4.5);
        typeInto(row->creditsField(), QStringLiteral("lots"));
        QTest::keyClick(row->creditsField(), Qt::Key_Return);
        QCOMPARE(view.model()->courses().at(0).credits, 4.5);
        QCOMPARE(row->creditsField()->text(), QStringLiteral("4.5"));
        row->gradePicker()->setCurrentIndex(12);
        Q_EMIT row->gradePicker()->activated(12);
        QCOMPARE(view.model()->courses().at(0).grade, QStringLiteral("F"));
        QVERIFY(view.model()->isSavePending());
    }

    void addAndDeleteCourses()
    {
        LoanGPAView view;
        view.setTab(2);
        LoanGPATab* t = view.gpaTab();
        t->addButton()->click();
        QCOMPARE(t->rows().size(), 3);
        QCOMPARE(view.model()->courses().last().name, QString());
        QCOMPARE(view.model()->courses().last().credits, 3.0);
        QCOMPARE(view.model()->courses().last().grade, QStringLiteral("A"));
        QCOMPARE(t->rows().last()->gradePicker()->currentText(), QStringLiteral("A"));

        // Two courses of the same name: deleting one leaves the other.
        view.model()->setCourseName(view.model()->courses().last().id, QStringLiteral("Biology"));
        const QUuid second = view.model()->courses().at(1).id;
        LoanCourseRow* row = t->rows().at(1);
        row->deleteButton()->click();
        row->deleteButton()->click();
        // Removed after the click has been handled, not during it.
        QCOMPARE(view.model()->courses().size(), 3);
        waitFor([&] { return view.model()->courses().size() < 3; }, 1000);
        QCoreApplication::processEvents();
        QCOMPARE(view.model()->courses().size(), 2);
        QCOMPARE(view.model()->courses().last().name, QStringLiteral("Biology"));
        QVERIFY(view.model()->courses().last().id != second);
        QCOMPARE(t->rows().size(), 2);
    }

    void tabIsKeptWhileTheViewLives()
    {
        LoanGPAView view;
        view.show();
        view.setTab(2);
        view.hide();
        view.show();
        QCOMPARE(view.tab(), 2);
        QCOMPARE(view.tabPicker()->currentIndex(), 2);
        LoanGPAView fresh;
        QCOMPARE(fresh.tab(), 0);
    }

    void largeScheduleUsesOneModel()
    {
        LoanGPAView view;
        view.model()->setYears(30);
        QCOMPARE(view.loanTab()->monthlyTable()->model()->rowCount(), 360);
        view.model()->setYears(1e12); // stays bounded
        QCOMPARE(view.loanTab()->monthlyTable()->model()->rowCount(), int(LoanMath::kMaxMonths));
    }

    // Renders the three tabs in the tool frame; with BW_SNAPSHOT_DIR set, the
    // pictures are kept there for a look.
    void render()
    {
        auto* view = new LoanGPAView;
        ToolScaffold frame(Tool::loanGPA, view);
        frame.resize(Tool(Tool::loanGPA).defaultSize().value_or(QSize(980, 720)));
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        view->model()->setExtra(100);
        QList<QImage> shots;
        for (int tab = 0; tab < 3; ++tab) {
            view->setTab(tab);
            QCoreApplication::processEvents();
            shots.append(frame.grab().toImage());
        }
        view->setTab(0);
        view->model()->setYearly(true);
        QCoreApplication::processEvents();
        shots.append(frame.grab().toImage());
        for (const QImage& i : shots)
            QVERIFY(!i.isNull());
        QVERIFY(shots.at(0) != shots.at(1) && shots.at(1) != shots.at(2) && shots.at(0) != shots.at(3));
        const QString dir = qEnvironmentVariable("BW_SNAPSHOT_DIR");
        if (!dir.isEmpty()) {
            QDir().mkpath(dir);
            const char* names[] = {"loan", "mortgage", "gpa", "loan-yearly"};
            for (int i = 0; i < shots.size(); ++i)
                shots.at(i).save(dir + QStringLiteral("/loangpa-%1.png").arg(QLatin1String(names[i])));
        }
    }
};

QTEST_MAIN(LoanGPAViewTest)
#include "tst_loangpaview.moc"
