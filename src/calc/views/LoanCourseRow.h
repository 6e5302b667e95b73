#pragma once

#include <QUuid>
#include <QWidget>

class LoanGPAModel;
class QComboBox;
class QLineEdit;
class QToolButton;

// One course of the GPA tab: name, credits, grade and a delete button, each
// bound to the course with the row's id.
class LoanCourseRow : public QWidget {
    Q_OBJECT
public:
    LoanCourseRow(LoanGPAModel* model, const QUuid& id, QWidget* parent = nullptr);

    QUuid id() const { return m_id; }
    // Shows the course's current values (a field being edited keeps its text).
    void refresh();

    QLineEdit* nameField() const { return m_name; }
    QLineEdit* creditsField() const { return m_credits; }
    QComboBox* gradePicker() const { return m_grade; }
    QToolButton* deleteButton() const { return m_delete; }

    // The credits as shown: the user's locale, no trailing zeros.
    static QString creditsText(double credits);

private:
    void commitCredits();

    LoanGPAModel* m_model;
    QUuid m_id;
    QLineEdit* m_name = nullptr;
    QLineEdit* m_credits = nullptr;
    QComboBox* m_grade = nullptr;
    QToolButton* m_delete = nullptr;
};
