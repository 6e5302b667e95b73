#pragma once

#include <QComboBox>

// A unit or zone picker of the Unit Converter: as wide as six characters and
// an icon whatever its items (Qt's AdjustToMinimumContentsLengthWithIcon).
// Choosing that policy through QComboBox builds the popup list at once; this
// one measures the same size and leaves the list to the first popup.
class ConverterCombo : public QComboBox {
    Q_OBJECT
public:
    explicit ConverterCombo(QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void changeEvent(QEvent* event) override;

private:
    mutable QSize m_hint;
};
