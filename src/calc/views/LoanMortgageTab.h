#pragma once

#include <QWidget>

class LoanBreakdownBar;
class LoanGPAModel;
class LoanLabeledRow;
class NumberField;
class QComboBox;
class QLabel;

// The Mortgage tab: the home's figures and the monthly cost split into its
// parts, with the breakdown bar.
class LoanMortgageTab : public QWidget {
    Q_OBJECT
public:
    explicit LoanMortgageTab(LoanGPAModel* model, QWidget* parent = nullptr);

    void refresh();

    // "20.0% down" for a fifth of the price; empty without a price.
    static QString downCaption(double down, double price);

    NumberField* priceField() const { return m_price; }
    NumberField* downField() const { return m_down; }
    NumberField* rateField() const { return m_rate; }
    NumberField* taxField() const { return m_tax; }
    NumberField* insuranceField() const { return m_insurance; }
    NumberField* pmiField() const { return m_pmi; }
    NumberField* hoaField() const { return m_hoa; }
    QComboBox* termPicker() const { return m_term; }
    QLabel* downCaptionLabel() const { return m_downCaption; }
    QLabel* totalLabel() const { return m_total; }
    LoanBreakdownBar* bar() const { return m_bar; }
    LoanLabeledRow* row(int index) const; // 0 loan amount … 5 HOA, 6 total interest

private:
    LoanGPAModel* m_model;
    NumberField* m_price = nullptr;
    NumberField* m_down = nullptr;
    NumberField* m_rate = nullptr;
    NumberField* m_tax = nullptr;
    NumberField* m_insurance = nullptr;
    NumberField* m_pmi = nullptr;
    NumberField* m_hoa = nullptr;
    QComboBox* m_term = nullptr;
    QLabel* m_downCaption = nullptr;
    QLabel* m_total = nullptr;
    LoanBreakdownBar* m_bar = nullptr;
    QList<LoanLabeledRow*> m_rows;
};
