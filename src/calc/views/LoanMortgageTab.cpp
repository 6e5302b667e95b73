#include "calc/views/LoanMortgageTab.h"

#include "calc/LoanGPAModel.h"
#include "calc/views/LoanBreakdownBar.h"
#include "calc/views/LoanLook.h"
#include "core/CFormat.h"
#include "ui/Chrome.h"
#include "ui/ChromePanel.h"
#include "ui/NumberField.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

LoanMortgageTab::LoanMortgageTab(LoanGPAModel* model, QWidget* parent)
    : QWidget(parent)
    , m_model(model)
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(12);

    auto* homePanel = new ChromePanel(QStringLiteral("Home"), nullptr, this);
    homePanel->setFixedWidth(320);
    QVBoxLayout* home = homePanel->contentLayout();
    const auto field = [homePanel](const QString& label, double value, const char* format) {
        return new NumberField(label, value, 160, QString::fromLatin1(format), homePanel);
    };
    m_price = field(QStringLiteral("Home price ($)"), model->price(), "%.2f");
    m_down = field(QStringLiteral("Down payment ($)"), model->down(), "%.2f");
    m_downCaption = styledLabel(QString(), LoanLook::caption(), LoanLook::secondary(), homePanel);
    m_rate = field(QStringLiteral("Interest rate (%)"), model->mRate(), "%.3f");
    auto* termRow = new QWidget(homePanel);
    termRow->setFixedWidth(200);
    auto* termLayout = new QHBoxLayout(termRow);
    termLayout->setContentsMargins(0, 0, 0, 0);
    termLayout->setSpacing(8);
    termLayout->addWidget(new QLabel(QStringLiteral("Term"), termRow));
    m_term = new QComboBox(termRow);
    for (int years : {10, 15, 20, 30})
        m_term->addItem(QStringLiteral("%1 years").arg(years), qlonglong(years));
    termLayout->addWidget(m_term, 1);
    m_tax = field(QStringLiteral("Property tax per year ($)"), model->tax(), "%.2f");
    m_insurance = field(QStringLiteral("Home insurance per year ($)"), model->insurance(), "%.2f");
    m_pmi = field(QStringLiteral("PMI rate (% per year, if < 20% down)"), model->pmi(), "%.3f");
    m_hoa = field(QStringLiteral("HOA per month ($)"), model->hoa(), "%.2f");
    home->addWidget(m_price);
    home->addWidget(m_down);
    home->addWidget(m_downCaption);
    home->addWidget(m_rate);
    home->addWidget(termRow);
    home->addWidget(m_tax);
    home->addWidget(m_insurance);
    home->addWidget(m_pmi);
    home->addWidget(m_hoa);
    row->addWidget(homePanel, 0, Qt::AlignTop);

    auto* paymentPanel = new ChromePanel(QStringLiteral("Monthly payment"), nullptr, this);
    QVBoxLayout* payment = paymentPanel->contentLayout();
    m_total = styledLabel(QString(), LoanLook::rounded(40, QFont::Black), Chrome::ink(), paymentPanel);
    payment->addWidget(m_total);
    payment->addWidget(styledLabel(QStringLiteral("estimated total per month"), LoanLook::caption(),
                                       LoanLook::secondary(), paymentPanel));
    payment->addWidget(LoanLook::divider(paymentPanel));
    for (const char* label : {"Loan amount", "Principal & interest", "Property tax", "Insurance", "PMI", "HOA"}) {
        m_rows.append(new LoanLabeledRow(QString::fromUtf8(label), 12.5, paymentPanel));
        payment->addWidget(m_rows.last());
    }
    m_bar = new LoanBreakdownBar(paymentPanel);
    payment->addWidget(m_bar);
    m_rows.append(new LoanLabeledRow(QStringLiteral("Total interest over the loan"), 12.5, paymentPanel));
    payment->addWidget(m_rows.last());
    row->addWidget(paymentPanel, 1, Qt::AlignTop);

    connect(m_price, &NumberField::valueChanged, model, &LoanGPAModel::setPrice);
    connect(m_down, &NumberField::valueChanged, model, &LoanGPAModel::setDown);
    connect(m_rate, &NumberField::valueChanged, model, &LoanGPAModel::setMRate);
    connect(m_tax, &NumberField::valueChanged, model, &LoanGPAModel::setTax);
    connect(m_insurance, &NumberField::valueChanged, model, &LoanGPAModel::setInsurance);
    connect(m_pmi, &NumberField::valueChanged, model, &LoanGPAModel::setPmi);
    connect(m_hoa, &NumberField::valueChanged, model, &LoanGPAModel::setHoa);
    connect(m_term, &QComboBox::activated, model,
            [this](int index) { m_model->setMYears(m_term->itemData(index).toLongLong()); });

    refresh();
}

LoanLabeledRow* LoanMortgageTab::row(int index) const
{
    return m_rows.value(index);
}

QString LoanMortgageTab::downCaption(double down, double price)
{
    if (!(price > 0))
        return QString();
    return CFormat::number("%.1f", down / price * 100.0) + QStringLiteral("% down");
}

void LoanMortgageTab::refresh()
{
    const LoanMath::MortgageBreakdown b = m_model->mortgage();

    m_price->setValue(m_model->price());
    m_down->setValue(m_model->down());
    m_rate->setValue(m_model->mRate());
    m_tax->setValue(m_model->tax());
    m_insurance->setValue(m_model->insurance());
    m_pmi->setValue(m_model->pmi());
    m_hoa->setValue(m_model->hoa());
    // A term other than the four offered (from an edited file) selects none.
    const int term = m_term->findData(qlonglong(m_model->mYears()));
    if (m_term->currentIndex() != term)
        m_term->setCurrentIndex(term);
    m_downCaption->setText(downCaption(m_model->down(), m_model->price()));

    m_total->setText(LoanLook::money(b.total()));
    const double parts[] = {b.loanAmount, b.principalAndInterest, b.propertyTax, b.insurance, b.pmi, b.hoa};
    for (int i = 0; i < 6; ++i)
        m_rows.at(i)->setValue(LoanLook::money(parts[i]));
    m_bar->setParts({{b.principalAndInterest, Chrome::turquoiseDeep()},
                     {b.propertyTax, LoanLook::orange()},
                     {b.insurance, Chrome::seafoam()},
                     {b.pmi, Chrome::cherry()},
                     {b.hoa, LoanLook::purple()}},
                    b.total());
    const LoanResult interest
        = LoanMath::amortize(b.loanAmount, m_model->mRate(), LoanMath::monthsInYears(m_model->mYears()), 0);
    m_rows.at(6)->setValue(LoanLook::money(interest.totalInterest));
}
