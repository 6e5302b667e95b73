#include "calc/views/LoanTab.h"

#include "calc/LoanGPAModel.h"
#include "calc/views/LoanCellDelegate.h"
#include "calc/views/LoanGPAView.h"
#include "calc/views/LoanLook.h"
#include "calc/views/LoanScheduleModel.h"
#include "calc/views/LoanTableHeader.h"
#include "calc/views/LoanYearModel.h"
#include "ui/ChromeButton.h"
#include "ui/Chrome.h"
#include "ui/ChromePanel.h"
#include "ui/DatePartClicks.h"
#include "ui/LineLabel.h"
#include "ui/NumberField.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QProxyStyle>
#include <QScrollBar>
#include <QStackedWidget>
#include <QStyleOptionSlider>
#include <QStyleFactory>
#include <QTableView>
#include <QVBoxLayout>

namespace {

NumberField* numberField(const QString& label, double value, const QString& format, QWidget* parent)
{
    return new NumberField(label, value, 160, format, parent);
}

// Draws a scroll bar band by band, a few dozen rows at a time, with the
// same pixels. The raster painter hands every fill of 96 rows or more to
// worker threads (and starts them the first time), and a tall bar's few
// fills would each wake them for some thousand pixels. Each band is drawn
// whole into a picture of its own (the bar's drawing sets clips of its own,
// so a clip on the window's painter would not keep it within the band) and
// laid down opaque: the bar's first fill covers it all.
class BandedScrollBarStyle : public QProxyStyle {
public:
    // Over a style of the application's kind (the proxy owns it).
    BandedScrollBarStyle() : QProxyStyle(QStyleFactory::create(QApplication::style()->name())) {}

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                            const QWidget* widget) const override
    {
        // An outline crosses a band twice a row: 2 × 40 rows stay below 96.
        constexpr int kBand = 40;
        if (control != CC_ScrollBar || !option || !painter || option->rect.height() < 2 * kBand
            || styleHint(SH_ScrollBar_Transient, option, widget) || !painter->worldTransform().isIdentity()
            || painter->opacity() != 1.0 || painter->device()->devicePixelRatio() != 1.0)
            return QProxyStyle::drawComplexControl(control, option, painter, widget);
        const QRect r = option->rect;
        // Rows of the groove clear of its ends and of the handle are all
        // alike: a band wholly among them is drawn once and laid down again.
        constexpr int kClear = 4;
        const QRect groove = subControlRect(control, option, SC_ScrollBarGroove, widget);
        const QRect handle = subControlRect(control, option, SC_ScrollBarSlider, widget);
        const auto* bar = qstyleoption_cast<const QStyleOptionSlider*>(option);
        const auto plain = [&](int top, int bottom) {
            return bar && bar->orientation == Qt::Vertical && top >= groove.top() + kClear
                   && bottom <= groove.bottom() - kClear
                   && (bottom < handle.top() - kClear || top > handle.bottom() + kClear);
        };
        QImage plainBand;
        for (int top = r.top(); top <= r.bottom(); top += kBand) {
            const int height = std::min(kBand, r.bottom() + 1 - top);
            const bool alike = plain(top, top + height - 1);
            if (alike && plainBand.height() == height) {
                painter->drawImage(QPoint(r.left(), top), plainBand);
                continue;
            }
            QImage band(r.width(), height, QImage::Format_ARGB32_Premultiplied);
            band.fill(Qt::transparent);
            {
                QPainter p(&band);
                p.setRenderHints(painter->renderHints());
                p.translate(-r.left(), -top);
                QProxyStyle::drawComplexControl(control, option, &p, widget);
            }
            painter->drawImage(QPoint(r.left(), top), band);
            if (alike)
                plainBand = band;
        }
    }
};

// One for the program, going with the application.
QStyle* bandedScrollBarStyle()
{
    static QStyle* const style = [] {
        auto* s = new BandedScrollBarStyle;
        s->setParent(qApp);
        return s;
    }();
    return style;
}

} // namespace

LoanTab::LoanTab(LoanGPAModel* model, QWidget* parent)
    : QWidget(parent)
    , m_model(model)
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(12);

    // Inputs and results, 300 wide.
    auto* left = new QWidget(this);
    left->setFixedWidth(300);
    auto* leftColumn = new QVBoxLayout(left);
    leftColumn->setContentsMargins(0, 0, 0, 0);
    leftColumn->setSpacing(10);

    auto* loanPanel = new ChromePanel(QStringLiteral("Loan"), nullptr, left);
    QVBoxLayout* loan = loanPanel->contentLayout();
    m_amount = numberField(QStringLiteral("Loan amount ($)"), model->amount(), QStringLiteral("%.2f"), loanPanel);
    m_rate = numberField(QStringLiteral("Interest rate (% per year)"), model->rate(), QStringLiteral("%.3f"), loanPanel);
    m_years = numberField(QStringLiteral("Term (years)"), model->years(), QStringLiteral("%.2f"), loanPanel);
    m_extra = numberField(QStringLiteral("Extra payment each month ($)"), model->extra(), QStringLiteral("%.2f"),
                          loanPanel);
    for (NumberField* f : {m_amount, m_rate, m_years, m_extra})
        loan->addWidget(f);
    auto* dateRow = new QHBoxLayout;
    dateRow->setSpacing(8);
    dateRow->addWidget(new LineLabel(QStringLiteral("First payment"), loanPanel));
    m_startDate = new QDateEdit(loanPanel);
    m_startDate->setCalendarPopup(true);
    DatePartClicks::install(m_startDate);
    m_startDate->setDate(model->startDate().toLocalTime().date());
    dateRow->addWidget(m_startDate);
    dateRow->addStretch(1);
    loan->addLayout(dateRow);
    leftColumn->addWidget(loanPanel);

    auto* resultsPanel = new ChromePanel(QStringLiteral("Results"), nullptr, left);
    QVBoxLayout* results = resultsPanel->contentLayout();
    m_payment = styledLabel(QString(), LoanLook::rounded(30, QFont::Black), Chrome::ink(), resultsPanel);
    results->addWidget(m_payment);
    results->addWidget(styledLabel(QStringLiteral("monthly payment"), LoanLook::caption(), LoanLook::secondary(),
                                       resultsPanel));
    results->addWidget(LoanLook::divider(resultsPanel));
    m_totalInterest = new LoanLabeledRow(QStringLiteral("Total interest"), 12.5, resultsPanel);
    m_totalPaid = new LoanLabeledRow(QStringLiteral("Total paid"), 12.5, resultsPanel);
    m_payoff = new LoanLabeledRow(QStringLiteral("Payoff"), 12.5, resultsPanel);
    m_interestSaved = new LoanLabeledRow(QStringLiteral("Interest saved"), 12.5, resultsPanel);
    m_timeSaved = new LoanLabeledRow(QStringLiteral("Time saved"), 12.5, resultsPanel);
    for (LoanLabeledRow* r : {m_totalInterest, m_totalPaid, m_payoff, m_interestSaved, m_timeSaved})
        results->addWidget(r);
    leftColumn->addWidget(resultsPanel);
    leftColumn->addStretch(1);
    row->addWidget(left, 0, Qt::AlignTop);

    // The schedule, filling the rest.
    auto* schedulePanel = new ChromePanel(QStringLiteral("Amortization schedule"), nullptr, this);
    QVBoxLayout* schedule = schedulePanel->contentLayout();
    auto* bar = new QHBoxLayout;
    m_yearly = new QCheckBox(QStringLiteral("Show yearly totals"), schedulePanel);
    m_yearly->setChecked(model->yearly());
    bar->addWidget(m_yearly, 0, Qt::AlignVCenter);
    bar->addStretch(1);
    m_export = new ChromeButton(QStringLiteral("Export CSV…"), false, true, schedulePanel);
    bar->addWidget(m_export, 0, Qt::AlignVCenter);
    schedule->addLayout(bar);
    m_tables = new QStackedWidget(schedulePanel);
    m_monthly = new LoanScheduleModel(this);
    m_monthlyTable = makeTable(m_tables);
    m_monthlyTable->setObjectName(QStringLiteral("monthlyTable"));
    m_monthlyTable->setModel(m_monthly);
    // Only "#" has a width of its own; the other columns share the rest.
    m_monthlyTable->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_monthlyTable->horizontalHeader()->setSectionResizeMode(LoanScheduleModel::Number, QHeaderView::Fixed);
    m_monthlyTable->setColumnWidth(LoanScheduleModel::Number, 40);
    m_tables->addWidget(m_monthlyTable);
    // The yearly table is made when yearly totals are first shown.
    schedule->addWidget(m_tables, 1);
    row->addWidget(schedulePanel, 1);

    connect(m_amount, &NumberField::valueChanged, model, &LoanGPAModel::setAmount);
    connect(m_rate, &NumberField::valueChanged, model, &LoanGPAModel::setRate);
    connect(m_years, &NumberField::valueChanged, model, &LoanGPAModel::setYears);
    connect(m_extra, &NumberField::valueChanged, model, &LoanGPAModel::setExtra);
    connect(m_startDate, &QDateEdit::dateChanged, model, [model](QDate date) {
        const QDateTime start = model->startDate().toLocalTime();
        model->setStartDate(QDateTime(date, start.time()));
    });
    connect(m_yearly, &QCheckBox::toggled, model, &LoanGPAModel::setYearly);
    connect(m_export, &QPushButton::clicked, model, [model] { model->exportCSV(); });

    refresh();
}

QTableView* LoanTab::makeTable(QWidget* parent)
{
    auto* table = new QTableView(parent);
    table->setItemDelegate(new LoanCellDelegate(table));
    table->setHorizontalHeader(new LoanTableHeader(table));
    table->setSelectionMode(QAbstractItemView::NoSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setFocusPolicy(Qt::NoFocus);
    table->setAlternatingRowColors(true);
    table->setShowGrid(false);
    table->setWordWrap(false);
    table->setCornerButtonEnabled(false);
    table->verticalHeader()->hide();
    // Fixed row heights keep scrolling through hundreds of rows smooth.
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->verticalHeader()->setDefaultSectionSize(22);
    table->horizontalHeader()->setSectionsClickable(false);
    table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    table->verticalScrollBar()->setStyle(bandedScrollBarStyle());
    return table;
}

QTableView* LoanTab::yearlyTable()
{
    if (!m_yearlyTable) {
        m_yearlyRows = new LoanYearModel(this);
        m_yearlyTable = makeTable(m_tables);
        m_yearlyTable->setObjectName(QStringLiteral("yearlyTable"));
        m_yearlyTable->setModel(m_yearlyRows);
        m_yearlyTable->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
        m_tables->addWidget(m_yearlyTable);
    }
    return m_yearlyTable;
}

QTableView* LoanTab::visibleTable() const
{
    return m_model->yearly() ? m_yearlyTable : m_monthlyTable;
}

void LoanTab::refresh()
{
    const LoanResult r = m_model->loan();
    const LoanResult base = LoanMath::amortize(m_model->amount(), m_model->rate(), m_model->months(), 0);

    m_amount->setValue(m_model->amount());
    m_rate->setValue(m_model->rate());
    m_years->setValue(m_model->years());
    m_extra->setValue(m_model->extra());
    const QDate start = m_model->startDate().toLocalTime().date();
    if (m_startDate->date() != start) {
        const QSignalBlocker block(m_startDate);
        m_startDate->setDate(start);
    }

    m_payment->setText(LoanLook::money(r.monthlyPayment));
    m_totalInterest->setValue(LoanLook::money(r.totalInterest));
    m_totalPaid->setValue(LoanLook::money(r.totalPaid));
    m_payoff->setValue(QString::number(r.months) + QStringLiteral(" payments • ") + m_model->date(r.months));
    const bool saving = m_model->extra() > 0;
    m_interestSaved->setVisible(saving);
    m_timeSaved->setVisible(saving);
    if (saving) {
        m_interestSaved->setValue(LoanLook::money(base.totalInterest - r.totalInterest));
        m_timeSaved->setValue(QString::number(base.months - r.months) + QStringLiteral(" months"));
    }

    if (m_yearly->isChecked() != m_model->yearly()) {
        const QSignalBlocker block(m_yearly);
        m_yearly->setChecked(m_model->yearly());
    }
    if (m_model->yearly()) {
        QTableView* table = yearlyTable();
        m_yearlyRows->setRows(LoanGPAView::yearRows(r.schedule));
        m_tables->setCurrentWidget(table);
    } else {
        m_monthly->setSchedule(r.schedule, *m_model);
        m_tables->setCurrentWidget(m_monthlyTable);
    }
}
