#include "ui/ChromeKeyLabel.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextLine>
#include <QTextOption>
#include <cmath>

void ChromeKeyLabel::setText(const QString& text, const QFont& font, Qt::LayoutDirection direction,
                             const QPaintDevice* device)
{
    if (m_layout && text == m_text && font == m_font && direction == m_direction && device == m_device)
        return;
    m_text = text;
    m_font = font;
    m_direction = direction;
    m_device = device;

    // One line: breaks read as spaces.
    QString line = text;
    for (QChar& c : line) {
        if (c == QLatin1Char('\n') || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            c = QLatin1Char(' ');
    }
    m_layout = std::make_unique<QTextLayout>(line, font, const_cast<QPaintDevice*>(device));
    QTextOption option;
    option.setTextDirection(direction);
    option.setAlignment(Qt::AlignLeft);
    option.setFlags(QTextOption::IncludeTrailingSpaces);
    m_layout->setTextOption(option);
    m_layout->setCacheEnabled(true);
    const QFontMetricsF fm(m_layout->font());
    m_layout->beginLayout();
    QTextLine first = m_layout->createLine();
    m_width = 0;
    m_height = 0;
    if (first.isValid()) {
        first.setLineWidth(0x01000000);
        // As drawText places lines: the leading above, on a whole pixel.
        m_height = std::ceil(fm.leading());
        first.setPosition(QPointF(0, m_height));
        // The line's exact height, not rounded up as QTextLine::height() is.
        m_height += first.ascent() + first.descent();
        m_width = first.naturalTextWidth();
    }
    m_layout->endLayout();
    if (line.isEmpty())
        m_height = fm.height();
}

void ChromeKeyLabel::draw(QPainter& painter, const QRectF& rect) const
{
    if (!m_layout || m_layout->lineCount() == 0 || m_text.isEmpty())
        return;
    const QTextLine line = m_layout->lineAt(0);
    const qreal yoff = (rect.height() - m_height) / 2;
    const QRectF bounds(rect.x() + (rect.width() - m_width) / 2, rect.y() + yoff, m_width, m_height);
    const bool clip = !rect.contains(bounds);
    if (clip) {
        painter.save();
        painter.setClipRect(rect, Qt::IntersectClip);
    }
    const qreal xoff = (rect.width() - line.horizontalAdvance()) / 2;
    line.draw(&painter, QPointF(rect.x() + xoff, rect.y() + yoff));
    if (clip)
        painter.restore();
}
