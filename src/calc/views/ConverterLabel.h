#pragma once

#include <QColor>
#include <QFont>
#include <QLabel>

// A label of the Unit Converter's figures and captions. While it shows one
// line of plain text without interaction it measures that text once per text
// and font: QLabel measures a line three times over (natural, widest and
// narrowest width) whenever its text changes, and the grid of every unit
// changes twenty labels at each keystroke. Its size is QLabel's own.
class ConverterLabel : public QLabel {
    Q_OBJECT
public:
    // Plain text in `font` and `color` (the palette's text colour when
    // invalid), as styledLabel makes it.
    ConverterLabel(const QString& text, const QFont& font, const QColor& color, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

private:
    // Whether QLabel would lay the text out as one plain line.
    bool isOneLine() const;

    mutable QSize m_hint;
    mutable QString m_hintText;
    mutable QFont m_hintFont;
    mutable Qt::Alignment m_hintAlignment;
};
