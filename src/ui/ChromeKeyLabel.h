#pragma once

#include <QFont>
#include <QString>
#include <QTextLayout>
#include <memory>

class QPainter;
class QPaintDevice;

// A key's label laid out once and drawn as often as asked, to the pixel as
// QPainter::drawText draws it centred on one line in a rectangle: the text
// is shaped when it or its font changes, not at every drawing.
class ChromeKeyLabel {
public:
    // Lays `text` out in `font` for `device`, unless it already is.
    void setText(const QString& text, const QFont& font, Qt::LayoutDirection direction, const QPaintDevice* device);

    QString text() const { return m_text; }
    QFont font() const { return m_font; }
    // The width of the laid-out line.
    qreal naturalWidth() const { return m_width; }

    // Centred in `rect` in the painter's pen, clipped to it where it would
    // spill over, as drawText(rect, Qt::AlignCenter | Qt::TextSingleLine).
    void draw(QPainter& painter, const QRectF& rect) const;

private:
    QString m_text;
    QFont m_font;
    Qt::LayoutDirection m_direction = Qt::LeftToRight;
    const QPaintDevice* m_device = nullptr;
    std::unique_ptr<QTextLayout> m_layout;
    qreal m_width = 0;
    qreal m_height = 0;
};
