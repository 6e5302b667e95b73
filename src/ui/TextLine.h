#pragma once

#include <QFont>
#include <QString>
#include <QTextLayout>

#include <memory>

class QPainter;
class QPaintDevice;
class QRectF;

// One line of text laid out once and drawn as often as asked, to the pixel
// as QPainter::drawText(rect, alignment | Qt::TextSingleLine, text) draws
// it: the text is shaped when it, its font, its direction or the resolution
// it is drawn at changes, not at every drawing. Line breaks read as spaces.
// drawText's own treatment of tabs, mnemonics and length variants is not
// reproduced: callers showing such text draw it with drawText.
class TextLine {
public:
    TextLine();
    ~TextLine();
    TextLine(TextLine&&) noexcept;
    TextLine& operator=(TextLine&&) noexcept;

    // Lays `text` out in `font` (as resolved for `device`, when given) in
    // `direction`, unless it already is.
    void setText(const QString& text, const QFont& font, Qt::LayoutDirection direction = Qt::LeftToRight,
                 const QPaintDevice* device = nullptr);

    bool isLaidOut() const { return bool(m_layout); }
    const QString& text() const { return m_text; }
    const QFont& font() const { return m_font; }
    Qt::LayoutDirection direction() const { return m_direction; }

    // The line's box as drawText measures it: its natural width and its
    // exact height (ascent and descent, not rounded up).
    qreal naturalWidth() const { return m_width; }
    qreal height() const { return m_height; }
    // How far the line advances.
    qreal advance() const { return m_advance; }

    // In `rect` in the painter's pen, placed by `alignment` (taken as
    // absolute: left means left whatever the direction), clipped to `rect`
    // where the line's box spills over. A right-to-left line right-aligned
    // is placed as drawText places it only when it does not start with a
    // space.
    void draw(QPainter& painter, const QRectF& rect, Qt::Alignment alignment = Qt::AlignCenter) const;

private:
    QString m_text;
    QFont m_font;
    Qt::LayoutDirection m_direction = Qt::LeftToRight;
    int m_dpi = -1;
    std::unique_ptr<QTextLayout> m_layout;
    qreal m_width = 0;
    qreal m_height = 0;
    qreal m_advance = 0;
};
