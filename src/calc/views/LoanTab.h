#pragma once

#include <QWidget>

class LoanGPAModel;
class LoanLabeledRow;
class LoanScheduleModel;
class LoanYearModel;
class NumberField;
class QCheckBox;
class QDateEdit;
class QLabel;
class QPushButton;
class QStackedWidget;
class QTableView;

// The Loan tab: the loan's inputs, its results (with what an extra payment
// saves) and the amortisation schedule, monthly or by year, with the CSV
// export.
class LoanTab : public QWidget {
    Q_OBJECT
public:
    explicit LoanTab(LoanGPAModel* model, QWidget* parent = nullptr);

    // Recomputes every figure from the model's current inputs.
    void refresh();

    NumberField* amountField() const { return m_amount; }
    NumberField* rateField() const { return m_rate; }
    NumberField* yearsField() const { return m_years; }
    NumberField* extraField() const { return m_extra; }
    QDateEdit* startDateEdit() const { return m_startDate; }
    QLabel* paymentLabel() const { return m_payment; }
    LoanLabeledRow* totalInterestRow() const { return m_totalInterest; }
    LoanLabeledRow* totalPaidRow() const { return m_totalPaid; }
    LoanLabeledRow* payoffRow() const { return m_payoff; }
    LoanLabeledRow* interestSavedRow() const { return m_interestSaved; }
    LoanLabeledRow* timeSavedRow() const { return m_timeSaved; }
    QCheckBox* yearlyToggle() const { return m_yearly; }
    QPushButton* exportButton() const { return m_export; }
    QTableView* monthlyTable() const { return m_monthlyTable; }
    // Made when first asked for (yearly totals first shown).
    QTableView* yearlyTable();
    QTableView* visibleTable() const;

private:
    QTableView* makeTable(QWidget* parent);

    LoanGPAModel* m_model;
    NumberField* m_amount = nullptr;
    NumberField* m_rate = nullptr;
    NumberField* m_years = nullptr;
    NumberField* m_extra = nullptr;
    QDateEdit* m_startDate = nullptr;
    QLabel* m_payment = nullptr;
    LoanLabeledRow* m_totalInterest = nullptr;
    LoanLabeledRow* m_totalPaid = nullptr;
    LoanLabeledRow* m_payoff = nullptr;
    LoanLabeledRow* m_interestSaved = nullptr;
    LoanLabeledRow* m_timeSaved = nullptr;
    QCheckBox* m_yearly = nullptr;
    QPushButton* m_export = nullptr;
    QStackedWidget* m_tables = nullptr;
    QTableView* m_monthlyTable = nullptr;
    QTableView* m_yearlyTable = nullptr;
    LoanScheduleModel* m_monthly = nullptr;
    LoanYearModel* m_yearlyRows = nullptr;
};
