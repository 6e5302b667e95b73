#include "calc/views/LoanGPAView.h"

#include "calc/LoanGPAModel.h"
#include "calc/views/LoanGPATab.h"
#include "calc/views/LoanMortgageTab.h"
#include "calc/views/LoanSaveDialog.h"
#include "calc/views/LoanTab.h"
#include "ui/SegmentedPicker.h"
#include "ui/Alert.h"

#include <QStackedWidget>
#include <QVBoxLayout>
#include <algorithm>

QList<LoanGPAView::YearRow> LoanGPAView::yearRows(const QList<AmortizationRow>& schedule)
{
    QList<YearRow> rows;
    const qsizetype n = schedule.size();
    rows.reserve(n / 12 + 1);
    for (qsizetype s = 0; s < n; s += 12) {
        const qsizetype e = std::min<qsizetype>(s + 12, n);
        YearRow y;
        y.id = s / 12 + 1;
        for (qsizetype i = s; i < e; ++i) {
            y.interest += schedule.at(i).interest;
            y.principal += schedule.at(i).principal + schedule.at(i).extra;
        }
        y.balance = schedule.at(e - 1).balance;
        rows.append(y);
    }
    return rows;
}

LoanGPAView::LoanGPAView(QWidget* parent)
    : QWidget(parent)
    , m_model(new LoanGPAModel(this))
{
    m_model->setSavePathChooser([this](const QString& proposed) { return LoanSaveDialog::choose(this, proposed); });

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(14, 14, 14, 14);
    column->setSpacing(12);

    m_picker = new SegmentedPicker({QStringLiteral("Loan"), QStringLiteral("Mortgage"), QStringLiteral("GPA")}, this);
    m_picker->setObjectName(QStringLiteral("tabPicker"));
    m_picker->setFixedWidth(330);
    column->addWidget(m_picker, 0, Qt::AlignHCenter);

    m_stack = new QStackedWidget(this);
    m_loan = new LoanTab(m_model, m_stack);
    m_stack->addWidget(m_loan);
    // Empty pages until the Mortgage and GPA tabs are first wanted.
    m_stack->addWidget(new QWidget(m_stack));
    m_stack->addWidget(new QWidget(m_stack));
    column->addWidget(m_stack, 1);

    connect(m_picker, &SegmentedPicker::currentIndexChanged, this, &LoanGPAView::setTab);
    connect(m_model, &LoanGPAModel::changed, this, [this] {
        m_model->persist();
        refresh();
    });
    connect(m_model, &LoanGPAModel::exportFailed, this, [](const QString& path) {
        runAlert(QStringLiteral("Couldn’t export the schedule."),
                 QStringLiteral("The file “%1” could not be written.").arg(path), AlertStyle::Warning,
                 {QStringLiteral("OK")});
    });
}

void LoanGPAView::placeTab(int page, QWidget* tab)
{
    QWidget* placeholder = m_stack->widget(page);
    const bool current = m_stack->currentIndex() == page;
    m_stack->insertWidget(page, tab);
    m_stack->removeWidget(placeholder);
    delete placeholder;
    if (current)
        m_stack->setCurrentIndex(page);
}

LoanMortgageTab* LoanGPAView::mortgageTab()
{
    if (!m_mortgage) {
        m_mortgage = new LoanMortgageTab(m_model, m_stack);
        placeTab(1, m_mortgage);
    }
    return m_mortgage;
}

LoanGPATab* LoanGPAView::gpaTab()
{
    if (!m_gpa) {
        m_gpa = new LoanGPATab(m_model, m_stack);
        placeTab(2, m_gpa);
    }
    return m_gpa;
}

void LoanGPAView::setTab(int tab)
{
    m_tab = tab;
    const int page = tab == 0 ? 0 : (tab == 1 ? 1 : 2);
    if (page == 1)
        mortgageTab();
    else if (page == 2)
        gpaTab();
    if (m_picker->currentIndex() != page)
        m_picker->setCurrentIndex(page);
    m_stack->setCurrentIndex(page);
    refresh();
}

void LoanGPAView::refresh()
{
    // Only the tab on show is redrawn; a tab is brought up to date when it
    // is switched to.
    switch (m_stack->currentIndex()) {
    case 0:
        m_loan->refresh();
        break;
    case 1:
        mortgageTab()->refresh();
        break;
    default:
        gpaTab()->refresh();
        break;
    }
}
