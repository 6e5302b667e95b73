#pragma once

#include <QList>
#include <QWidget>

class LoanCourseRow;
class LoanGPAModel;
class NumberField;
class QLabel;
class QPushButton;
class QScrollArea;
class QVBoxLayout;

// The GPA tab: this term's courses, the term GPA, and the cumulative GPA
// with the record before this term.
class LoanGPATab : public QWidget {
    Q_OBJECT
public:
    explicit LoanGPATab(LoanGPAModel* model, QWidget* parent = nullptr);

    void refresh();

    const QList<LoanCourseRow*>& rows() const { return m_rows; }
    QPushButton* addButton() const { return m_add; }
    QLabel* termLabel() const { return m_term; }
    QLabel* termCaption() const { return m_termCaption; }
    QLabel* cumulativeLabel() const { return m_cumulative; }
    QLabel* cumulativeCaption() const { return m_cumulativeCaption; }
    NumberField* priorGPAField() const { return m_priorGPA; }
    NumberField* priorCreditsField() const { return m_priorCredits; }

private:
    void rebuildRows();

    LoanGPAModel* m_model;
    QScrollArea* m_scroll = nullptr;
    QVBoxLayout* m_rowsLayout = nullptr;
    QList<LoanCourseRow*> m_rows;
    QPushButton* m_add = nullptr;
    QLabel* m_term = nullptr;
    QLabel* m_termCaption = nullptr;
    QLabel* m_cumulative = nullptr;
    QLabel* m_cumulativeCaption = nullptr;
    NumberField* m_priorGPA = nullptr;
    NumberField* m_priorCredits = nullptr;
};
