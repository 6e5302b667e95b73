#pragma once

#include <QComboBox>

// A pop-up list of fixed width (the font and size pickers of the formatting
// bar). Its size is that of one line of text in its font: the width is its
// own, so its entries (every installed family) are not measured for a size
// nothing uses.
class WPFixedCombo : public QComboBox {
public:
    WPFixedCombo(int width, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
};
