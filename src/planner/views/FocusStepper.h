#pragma once

#include <QString>
#include <QWidget>
#include <functional>

class QLabel;
class QToolButton;

// A label with a pair of small up/down buttons, stepping a whole number by 1
// inside a range. It shows any value it is given as it stands (a value from
// a hand-edited file may lie outside the range); a click moves it into the
// range and reports the new value through stepped(). Showing a value never
// reports one.
//
// For the keyboard it is one control: one stop of Tab, the Up and Down keys
// step it, and a click on it (its buttons included) gives it the keyboard,
// so the keys typed next step the value the pointer just did.
class FocusStepper : public QWidget {
    Q_OBJECT
public:
    using Label = std::function<QString(qint64)>;

    FocusStepper(Label label, qint64 minimum, qint64 maximum, QWidget* parent = nullptr);

    void setValue(qint64 value);
    qint64 value() const { return m_value; }
    qint64 minimum() const { return m_min; }
    qint64 maximum() const { return m_max; }
    QString text() const;

    void stepUp();
    void stepDown();
    QToolButton* upButton() const { return m_up; }
    QToolButton* downButton() const { return m_down; }

    // The value after one step (+1 or −1) from `value`, kept inside the range;
    // never overflows.
    static qint64 stepped(qint64 value, int direction, qint64 minimum, qint64 maximum);

Q_SIGNALS:
    void valueStepped(qint64 value);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void refresh();

    Label m_label;
    qint64 m_min;
    qint64 m_max;
    qint64 m_value = 0;
    QLabel* m_text = nullptr;
    QToolButton* m_up = nullptr;
    QToolButton* m_down = nullptr;
};
