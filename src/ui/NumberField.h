#pragma once

// A labelled numeric text field bound to a double: the label above in small
// rounded semibold secondary text, the field (fixed width) below. It shows the
// value through a printf-style format with trailing zeros trimmed, and turns
// what the user types into a number on every keystroke, forgiving thousands
// separators, "$" and "%". While the field has focus its text is never
// rewritten.

#include <QString>
#include <QWidget>
#include <optional>

class QLabel;
class QLineEdit;

class NumberField : public QWidget {
    Q_OBJECT
    Q_PROPERTY(double value READ value WRITE setValue NOTIFY valueChanged)
public:
    NumberField(const QString& label, double value, qreal width, const QString& format, QWidget* parent = nullptr);

    double value() const { return m_value; }
    // A change from outside: a new value is shown reformatted unless the
    // field has focus; the same value again leaves the text alone.
    void setValue(double value);
    QString label() const { return m_label; }
    QString format() const { return m_format; }
    QString text() const;
    QLineEdit* lineEdit() const { return m_edit; }
    QLabel* labelWidget() const { return m_labelWidget; }

    // The display text: `format` (one floating conversion) applied to
    // `value`, then, when the text ends in a fraction, its trailing zeros and
    // a bare point removed. A format that is not exactly one floating
    // conversion is treated as "%g".
    static QString fmt(const QString& format, double value);
    // What the typed text means: a number, 0 for empty, nothing when it does
    // not convert (the value then stays as it is).
    static std::optional<double> parse(const QString& text);

Q_SIGNALS:
    // The user's typing changed the value (setValue emits it too when the
    // value differs).
    void valueChanged(double value);

private:
    void onTextChanged(const QString& text);

    QString m_label;
    QString m_format;
    double m_value;
    QLabel* m_labelWidget = nullptr;
    QLineEdit* m_edit = nullptr;
    bool m_settingText = false;
};
