#pragma once

#include <QColor>
#include <QFont>
#include <QLabel>

#include <memory>

class QTextLayout;

// A label of the Unit Converter's figures and captions. While it shows one
// line of plain text without interaction it lays that text out once per text
// and font, and both its size and its painting come from that one line:
// QLabel measures a line three times over (natural, widest and narrowest
// width) whenever its text changes and lays it out again to paint it, and
// the grid of every unit changes twenty labels at each keystroke. It looks
// and measures as QLabel does.
class ConverterLabel : public QLabel {
    Q_OBJECT
public:
    // Plain text in `font` and `color` (the palette's text colour when
    // invalid), as styledLabel makes it.
    ConverterLabel(const QString& text, const QFont& font, const QColor& color, QWidget* parent = nullptr);
    ~ConverterLabel() override;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Whether QLabel would lay the text out as one plain line, unframed.
    bool isOneLine() const;
    // The text laid out as QPainter::drawText lays out one unwrapped line.
    const QTextLayout& line() const;

    mutable std::unique_ptr<QTextLayout> m_line;
    mutable QString m_lineText;
    mutable QFont m_lineFont;
};
