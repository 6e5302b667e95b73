#include "TestEnvironment.h"
#include "core/Store.h"
#include "calc/LoanGPAModel.h"
#include "calc/views/LoanBreakdownBar.h"
#include "calc/views/LoanCourseRow.h"
#include "calc/views/LoanFigureRuns.h"
#include "calc/views/LoanGPATab.h"
#include "calc/views/LoanGPAView.h"
#include "calc/views/LoanLook.h"
#include "calc/views/LoanMortgageTab.h"
#include "calc/views/LoanTab.h"
#include "calc/LoanMath.h"
#include "money/Money.h"
#include "ui/SegmentedPicker.h"
#include "ui/Alert.h"
#include "ui/NumberField.h"
#include "ui/ToolScaffold.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTextLayout>
#include <QToolButton>
#include <cmath>
#include <numeric>

namespace {

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

} // namespace

class LoanGPAViewTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void init() { TestEnvironment::clearDataFolder(); }

    void yearRows_data()
    {
        QTest::addColumn<double>("principal");
        QTest::addColumn<qint64>("months");
        QTest::addColumn<double>("extra");
        QTest::addColumn<QList<int>>("sizes"); // payments in each year
        QTest::newRow("thirty payments") << 1000.0 << qint64(30) << 0.0 << QList<int>{12, 12, 6};
        QTest::newRow("exactly two years") << 1000.0 << qint64(24) << 0.0 << QList<int>{12, 12};
        QTest::newRow("none") << 0.0 << qint64(24) << 0.0 << QList<int>{};
        QTest::newRow("with extra") << 3000.0 << qint64(30) << 100.0 << QList<int>{12, 4};
    }
    void yearRows()
    {
        QFETCH(double, principal);
        QFETCH(qint64, months);
        QFETCH(double, extra);
        QFETCH(QList<int>, sizes);
        const QList<AmortizationRow> schedule = LoanMath::amortize(principal, 6, months, extra).schedule;
        QCOMPARE(schedule.size(), std::accumulate(sizes.begin(), sizes.end(), qsizetype(0)));
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

    void startsOnLoanWithInitialFigures()
    {
        LoanGPAView view;
        QCOMPARE(view.tab(), 0);
        LoanTab* t = view.loanTab();
        // Absurd terms stay bounded.
        view.model()->setYears(1e12);
        QCOMPARE(t->monthlyTable()->model()->rowCount(), int(LoanMath::kMaxMonths));
        view.model()->setYears(5);
        QCOMPARE(t->paymentLabel()->text(), QStringLiteral("$489.15"));
        QCOMPARE(t->totalInterestRow()->value(), QStringLiteral("$4,349.20"));
        QCOMPARE(t->totalPaidRow()->value(), QStringLiteral("$29,349.20"));
        QCOMPARE(t->payoffRow()->value(),
                 QStringLiteral("60 payments • ") + view.model()->date(60));
        QVERIFY(t->interestSavedRow()->isHidden());

        QTableView* table = t->monthlyTable();
        QCOMPARE(table->model()->rowCount(), 60);
        QCOMPARE(cell(table, 0, 1), view.model()->date(1));
        QCOMPARE(cell(table, 0, 5), QStringLiteral("$24,646.27"));
        QCOMPARE(cell(table, 59, 2), QStringLiteral("$489.35")); // the last payment takes up the rounding

        // Money shows halves of a cent rounded away from zero.
        QCOMPARE(LoanLook::money(0.125), QStringLiteral("$0.13"));
        QCOMPARE(LoanLook::money(-3), QStringLiteral("-$3.00"));
        QCOMPARE(LoanLook::money(std::nan("")), QStringLiteral("$NaN"));

        view.loanTab()->startDateEdit()->setDate(QDate(2026, 1, 31));
        QCOMPARE(view.model()->startDate().date(), QDate(2026, 1, 31));
        QCOMPARE(cell(table, 0, 1), QStringLiteral("Feb 2026"));
    }

    // The Mortgage and GPA tabs are built when first wanted, once, in their
    // places: the picker's page is the page shown.
    void tabsBuiltWhenFirstShown_data()
    {
        QTest::addColumn<int>("first");
        QTest::newRow("mortgage first") << 1;
        QTest::newRow("gpa first") << 2;
    }
    void tabsBuiltWhenFirstShown()
    {
        QFETCH(int, first);
        LoanGPAView view;
        view.show();
        QVERIFY(view.findChildren<LoanMortgageTab*>().isEmpty());
        QVERIFY(view.findChildren<LoanGPATab*>().isEmpty());
        view.setTab(first);
        view.setTab(3 - first);
        view.setTab(first);
        QCOMPARE(view.findChildren<LoanMortgageTab*>().size(), 1);
        QCOMPARE(view.findChildren<LoanGPATab*>().size(), 1);
        QWidget* shown = first == 1 ? static_cast<QWidget*>(view.mortgageTab()) : view.gpaTab();
        QVERIFY(shown->isVisible());
        view.setTab(0);
        QVERIFY(view.loanTab()->isVisible());
        QVERIFY(!view.mortgageTab()->isVisible() && !view.gpaTab()->isVisible());
    }

    void extraPaymentAndYearlyTable()
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

        // The yearly toggle swaps the tables; the yearly one is made when
        // first wanted.
        QCOMPARE(t->visibleTable(), t->monthlyTable());
        QVERIFY(!view.findChild<QTableView*>(QStringLiteral("yearlyTable")));
        t->yearlyToggle()->click();
        QVERIFY(view.model()->yearly());
        QCOMPARE(t->visibleTable(), t->yearlyTable());
        QCOMPARE(t->yearlyTable()->model()->rowCount(), 30);
        QCOMPARE(cell(t->yearlyTable(), 29, 3), QStringLiteral("$0.00"));
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
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(file), 10000);
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(QJsonDocument::fromJson(f.readAll()).object().value("amount").toDouble(), 12000.0);
    }

    void exportButtonWritesTheSchedule()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("out.csv"));
        LoanGPAView view;
        view.model()->setSavePathChooser([&](const QString&) { return path; });
        QList<AlertRequest> alerts;
        const AlertHandler old = setAlertHandler([&](const AlertRequest& r) {
            alerts.append(r);
            return alertFirstButton;
        });
        view.loanTab()->exportButton()->click();
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(f.readAll()), view.model()->csvText());
        QVERIFY(alerts.isEmpty());

        // A failed export is shown, not passed over.
        view.model()->setSavePathChooser([&](const QString&) { return dir.filePath(QStringLiteral("no/such/dir.csv")); });
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
        QCOMPARE(t->row(4)->value(), QStringLiteral("$131.25")); // PMI below 20 % down
        QCOMPARE(t->row(6)->value(),
                 LoanLook::money(LoanMath::amortize(315000, 6.75, 360, 0).totalInterest));
        QCOMPARE(t->downCaptionLabel()->text(), QStringLiteral("10.0% down"));
        QCOMPARE(LoanMortgageTab::downCaption(1, 3), QStringLiteral("33.3% down"));
        QCOMPARE(LoanMortgageTab::downCaption(49, 400), QStringLiteral("12.2% down")); // 12.25, as printf rounds it
        QCOMPARE(LoanMortgageTab::downCaption(60000, 0), QString());   // no price
        QCOMPARE(LoanMortgageTab::downCaption(10, -5), QString());

        t->termPicker()->setCurrentIndex(1);
        Q_EMIT t->termPicker()->activated(1);
        QCOMPARE(view.model()->mYears(), qint64(15));
        QVERIFY(view.model()->isSavePending());
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
    }

    void gpaTabShowsAndEditsCourses()
    {
        LoanGPAView view;
        view.setTab(2);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        LoanGPATab* t = view.gpaTab();
        QCOMPARE(t->termLabel()->text(), QStringLiteral("3.60"));
        QCOMPARE(t->termCaption()->text(), QStringLiteral("7 graded credits • 25.2 quality points"));
        view.model()->setPriorGPA(3.5);
        view.model()->setPriorCredits(30);
        QCOMPARE(t->cumulativeCaption()->text(), QStringLiteral("over 37 credits"));
        QCOMPARE(t->cumulativeLabel()->text(), GPA::format(GPA::cumulative(3.5, 30, view.model()->gpaTuples())));

        LoanCourseRow* row = t->rows().at(0);
        typeInto(row->nameField(), QStringLiteral("Chemistry"));
        QCOMPARE(view.model()->courses().at(0).name, QStringLiteral("Chemistry"));
        typeInto(row->creditsField(), QStringLiteral("4.5"));
        QTest::keyClick(row->creditsField(), Qt::Key_Return);
        QCOMPARE(view.model()->courses().at(0).credits, 4.5);
        // Text that is no number of credits (the locale reads "nan" and
        // "inf" as numbers) is refused and the field shows the credits again.
        for (const char* refused : {"lots", "nan", "inf", "-inf"}) {
            typeInto(row->creditsField(), QString::fromLatin1(refused));
            QTest::keyClick(row->creditsField(), Qt::Key_Return);
            QCOMPARE(view.model()->courses().at(0).credits, 4.5);
            QCOMPARE(row->creditsField()->text(), QStringLiteral("4.5"));
        }
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
        QCOMPARE(t->rows().last()->gradePicker()->currentText(), view.model()->courses().last().grade);

        // Two courses of the same name: deleting one leaves the other.
        view.model()->setCourseName(view.model()->courses().last().id, QStringLiteral("Biology"));
        const QUuid second = view.model()->courses().at(1).id;
        LoanCourseRow* row = t->rows().at(1);
        row->deleteButton()->click();
        row->deleteButton()->click();
        // Removed after the click has been handled, not during it.
        QCOMPARE(view.model()->courses().size(), 3);
        QTRY_COMPARE(view.model()->courses().size(), 2);
        QCOMPARE(view.model()->courses().last().name, QStringLiteral("Biology"));
        QVERIFY(view.model()->courses().last().id != second);
        QCOMPARE(t->rows().size(), 2);
    }

    // The tables' cells are drawn by a light delegate: the same pixels as
    // the standard one, in a wide table and a narrow one (figures cut
    // short); also when drawn again after the figures and the width
    // changed, so nothing laid out for the first drawing is reused wrongly.
    void cellsDrawnAsTheStandardDelegateDraws_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<bool>("yearly");
        QTest::addColumn<bool>("redrawn");
        QTest::newRow("monthly, wide") << 640 << false << false;
        QTest::newRow("monthly, narrow") << 260 << false << false;
        QTest::newRow("yearly, wide") << 640 << true << false;
        QTest::newRow("monthly, redrawn narrow") << 260 << false << true;
        QTest::newRow("yearly, redrawn narrow") << 260 << true << true;
    }

    void cellsDrawnAsTheStandardDelegateDraws()
    {
        QFETCH(int, width);
        QFETCH(bool, yearly);
        QFETCH(bool, redrawn);
        LoanGPAView view;
        view.model()->setYearly(yearly);
        view.resize(980, 720);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        auto* table = view.findChild<QTableView*>(QLatin1String(yearly ? "yearlyTable" : "monthlyTable"));
        QVERIFY(table && table->isVisible());
        table->setParent(nullptr);
        table->resize(redrawn ? 640 : width, 300);
        table->show();
        QVERIFY(QTest::qWaitForWindowExposed(table));
        if (redrawn) {
            (void)table->grab();
            view.model()->setAmount(view.model()->amount() * 3 + 17);
            table->resize(width, 300);
        }
        const QImage light = table->grab().toImage();
        QStyledItemDelegate standard;
        table->setItemDelegate(&standard);
        const QImage plain = table->grab().toImage();
        QCOMPARE(light, plain);
        delete table;
    }

    // Amounts are written as the decimal route writes them (rounded to
    // cents, halves away from zero, grouped by thousands): amounts of every
    // size and sign, halves, the edges of the direct writing, and zero.
    void moneyAsTheDecimalRouteWritesIt()
    {
        const auto decimalRoute = [](double v) {
            const std::optional<Decimal> d = Decimal::fromDouble(LoanMath::round2(v));
            return Money::format(d.value_or(Decimal::nan()), QStringLiteral("$"));
        };
        QList<double> values{0,      -0.0,    0.004,   -0.004,  0.005,   -0.005,  0.125,      -3,
                             999.995, 1000,   1234.5,  -1234.5, 999999.99, 1e12 + 0.25, 9.99e12, 1e13,
                             -1e13,  2.5e15,  1e300,   -1e300,  0.1 + 0.2};
        quint64 state = 12345;
        for (int i = 0; i < 20000; ++i) {
            state = state * 6364136223846793005ULL + 1442695040888963407ULL;
            const double unit = double(state >> 11) / double(1ULL << 53);
            const double magnitude = std::pow(10.0, double(i % 15) - 2);
            values.append((i % 2 ? -1 : 1) * unit * magnitude);
        }
        for (double v : std::as_const(values))
            QCOMPARE(LoanLook::money(v), decimalRoute(v));
    }

    // Figures placed glyph by glyph land on the pixels of a laid-out line
    // (right or left aligned, centred or at the top, on a translated
    // painter); what cannot be drawn that way is left untouched.
    void figureRunsDrawAsALaidOutLine_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("alignment");
        QTest::addColumn<QRect>("area");
        QTest::addColumn<bool>("drawn");
        const int right = Qt::AlignRight | Qt::AlignVCenter;
        QTest::newRow("amount, right") << QStringLiteral("$24,646.27") << right << QRect(4, 0, 96, 22) << true;
        QTest::newRow("negative, left") << QStringLiteral("-$3.00") << int(Qt::AlignLeft | Qt::AlignVCenter)
                                        << QRect(4, 22, 96, 22) << true;
        QTest::newRow("top, odd height") << QStringLiteral("1,234.5") << int(Qt::AlignRight | Qt::AlignTop)
                                         << QRect(7, 3, 121, 21) << true;
        QTest::newRow("every character") << LoanFigureRuns::characters() << right << QRect(2, 9, 150, 25) << true;
        QTest::newRow("too wide") << QStringLiteral("$1,000,000.00") << right << QRect(4, 0, 40, 22) << false;
        QTest::newRow("words") << QStringLiteral("Jan 2027") << right << QRect(4, 0, 96, 22) << false;
        QTest::newRow("centred") << QStringLiteral("12") << int(Qt::AlignCenter) << QRect(4, 0, 96, 22) << false;
        QTest::newRow("empty") << QString() << right << QRect(4, 0, 96, 22) << false;
    }

    void figureRunsDrawAsALaidOutLine()
    {
        QFETCH(QString, text);
        QFETCH(int, alignment);
        QFETCH(QRect, area);
        QFETCH(bool, drawn);
        const QFont& font = LoanLook::tableDigits();
        const LoanFigureRuns runs(font);
        QVERIFY(runs.usable());
        QImage blank(170, 60, QImage::Format_ARGB32_Premultiplied);
        blank.fill(Qt::white);
        QImage placed = blank;
        {
            QPainter p(&placed);
            p.translate(5, 3);
            QCOMPARE(runs.draw(&p, area, Qt::Alignment(alignment), text, QColor(20, 30, 40)), drawn);
        }
        if (!drawn) {
            QCOMPARE(placed, blank);
            return;
        }
        QImage laid = blank;
        {
            QTextLayout layout(text, font);
            QTextOption option(Qt::Alignment(alignment) & Qt::AlignHorizontal_Mask);
            option.setWrapMode(QTextOption::ManualWrap);
            layout.setTextOption(option);
            layout.beginLayout();
            QTextLine line = layout.createLine();
            line.setLineWidth(area.width());
            layout.endLayout();
            qreal y = area.top();
            if (alignment & Qt::AlignVCenter)
                y += (area.height() - line.height()) / 2;
            QPainter p(&laid);
            p.translate(5, 3);
            p.setPen(QColor(20, 30, 40));
            layout.draw(&p, QPointF(area.left(), y));
        }
        QVERIFY(placed != blank);
        QCOMPARE(placed, laid);
    }

    // The schedule's scroll bar, drawn band by band, shows the pixels of
    // one drawn whole: at the top, in the middle and at the end, in a short
    // table and a tall one.
    void scrollBarDrawnAsAWholeOne_data()
    {
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("position"); // per mille of the range
        QTest::newRow("tall, top") << 560 << 0;
        QTest::newRow("tall, middle") << 560 << 500;
        QTest::newRow("tall, end") << 560 << 1000;
        QTest::newRow("short, middle") << 230 << 430;
        // Long runs of bands clear of the handle, above and below it.
        QTest::newRow("very tall, top") << 900 << 0;
        QTest::newRow("very tall, middle") << 900 << 500;
    }

    void scrollBarDrawnAsAWholeOne()
    {
        QFETCH(int, height);
        QFETCH(int, position);
        LoanGPAView view;
        view.model()->setYears(30);
        view.resize(980, 720);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        auto* table = view.findChild<QTableView*>(QLatin1String("monthlyTable"));
        QVERIFY(table);
        table->setParent(nullptr);
        table->resize(640, height);
        table->show();
        QVERIFY(QTest::qWaitForWindowExposed(table));
        QScrollBar* bar = table->verticalScrollBar();
        QVERIFY(bar->isVisible() && bar->height() > 80);
        bar->setValue(bar->minimum() + (bar->maximum() - bar->minimum()) * position / 1000);
        const QImage banded = bar->grab().toImage();
        bar->setStyle(nullptr);
        const QImage whole = bar->grab().toImage();
        QCOMPARE(banded, whole);
        delete table;
    }

    // The tables' headers measure their titles in the face they draw them
    // in, and stand exactly as high as a standard header.
    void headerAsHighAsTheStandardOne_data()
    {
        QTest::addColumn<bool>("yearly");
        QTest::newRow("monthly") << false;
        QTest::newRow("yearly") << true;
    }

    void headerAsHighAsTheStandardOne()
    {
        QFETCH(bool, yearly);
        LoanGPAView view;
        view.model()->setYearly(yearly);
        const auto* table = view.findChild<QTableView*>(QLatin1String(yearly ? "yearlyTable" : "monthlyTable"));
        QVERIFY(table);
        QHeaderView standard(Qt::Horizontal);
        standard.setFont(table->horizontalHeader()->font());
        standard.setModel(table->model());
        QCOMPARE(table->horizontalHeader()->sizeHint().height(), standard.sizeHint().height());
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
        // The chosen tab is kept while the view lives (hidden and shown again).
        view->setTab(2);
        frame.hide();
        frame.show();
        QCOMPARE(view->tabPicker()->currentIndex(), 2);
        view->setTab(0);
        const QString dir = qEnvironmentVariable("BW_SNAPSHOT_DIR");
        QImage previous;
        for (const char* name : {"loan", "mortgage", "gpa"}) {
            view->setTab(view->tab() + (previous.isNull() ? 0 : 1));
            QCoreApplication::processEvents();
            const QImage shot = frame.grab().toImage();
            QVERIFY(!shot.isNull() && shot != previous);
            if (!dir.isEmpty())
                QVERIFY(QDir().mkpath(dir) && shot.save(dir + QStringLiteral("/loangpa-%1.png").arg(QLatin1String(name))));
            previous = shot;
        }
    }
};

QTEST_MAIN(LoanGPAViewTest)
#include "tst_loangpaview.moc"
