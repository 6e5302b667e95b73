#pragma once

#include "ui/StyledLabel.h"

#include <QColor>
#include <QFont>
#include <QString>
#include <QWidget>

class QLabel;

// Fonts, colours and small builders shared by the three tabs of the Loan &
// GPA Calculator window.
namespace LoanLook {

// The system font's rounded design.
QFont rounded(qreal size, QFont::Weight weight = QFont::Normal);
// A font whose digits all have the same width, for figures that line up.
QFont digits(qreal size, QFont::Weight weight = QFont::Normal);
// The figures of the schedule tables (built once, shared by every cell).
const QFont& tableDigits();
QFont caption();
QFont caption2();
// Secondary text on the light window and panels.
QColor secondary();
// The platform's orange and purple of the mortgage bar.
QColor orange();
QColor purple();

// A thin horizontal line between groups of a panel.
QWidget* divider(QWidget* parent);

// A money figure as shown everywhere in the window: rounded to cents (halves
// away from zero), then "$1,234.50" / "-$3.00".
QString money(double value);

} // namespace LoanLook

// One label–value row: the label in secondary colour on the left, the value
// semibold with even-width digits on the right.
class LoanLabeledRow : public QWidget {
    Q_OBJECT
public:
    LoanLabeledRow(const QString& label, qreal fontSize, QWidget* parent = nullptr);
    void setValue(const QString& value);
    QString value() const;
    QString label() const;

private:
    QLabel* m_label = nullptr;
    QLabel* m_value = nullptr;
};
