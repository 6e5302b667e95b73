#pragma once

#include "calc/LoanMath.h"

#include <QList>
#include <QWidget>

class LoanGPAModel;
class LoanGPATab;
class LoanMortgageTab;
class LoanTab;
class QStackedWidget;
class SegmentedPicker;

// The Loan & GPA Calculator: a loan with its amortisation schedule, a
// mortgage's monthly cost, and term and cumulative GPAs, behind a segmented
// switch, over one LoanGPAModel that lives as long as the view. Every edit
// goes to the model, and every change of the model is saved (debounced).
class LoanGPAView : public QWidget {
    Q_OBJECT
public:
    // One row of the yearly amortisation table.
    struct YearRow {
        qint64 id = 0;        // year number, 1 for the first twelve payments
        double interest = 0;  // interest paid that year
        double principal = 0; // principal paid that year, extra payments included
        double balance = 0;   // balance after the year's last payment
        friend bool operator==(const YearRow&, const YearRow&) = default;
    };

    // Twelve payments a year, the last year holding what is left; plain
    // sums (rounding happens on display).
    static QList<YearRow> yearRows(const QList<AmortizationRow>& schedule);

    explicit LoanGPAView(QWidget* parent = nullptr);

    LoanGPAModel* model() const { return m_model; }
    // 0 Loan, 1 Mortgage, 2 GPA. Not saved: a new view starts on Loan.
    int tab() const { return m_tab; }
    void setTab(int tab);

    LoanTab* loanTab() const { return m_loan; }
    // The Mortgage and GPA tabs are built when first shown (or asked for).
    LoanMortgageTab* mortgageTab();
    LoanGPATab* gpaTab();
    SegmentedPicker* tabPicker() const { return m_picker; }

private:
    void refresh();
    // Puts `tab` in the stack in place of the placeholder at `page`.
    void placeTab(int page, QWidget* tab);

    LoanGPAModel* m_model;
    int m_tab = 0;
    SegmentedPicker* m_picker = nullptr;
    QStackedWidget* m_stack = nullptr;
    LoanTab* m_loan = nullptr;
    LoanMortgageTab* m_mortgage = nullptr;
    LoanGPATab* m_gpa = nullptr;
};
