#include "ui/TextLine.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QTextLine>
#include <QTextOption>
#include <QtMath>

TextLine::TextLine() = default;
TextLine::~TextLine() = default;
TextLine::TextLine(TextLine&&) noexcept = default;
TextLine& TextLine::operator=(TextLine&&) noexcept = default;

void TextLine::setText(const QString& text, const QFont& font, Qt::LayoutDirection direction,
                       const QPaintDevice* device)
{
    const int dpi = device ? device->logicalDpiY() : -1;
    if (m_layout && text == m_text && font == m_font && direction == m_direction && dpi == m_dpi)
        return;
    m_text = text;
    m_font = font;
    m_direction = direction;
    m_dpi = dpi;

    QString line = text;
    for (QChar& c : line) {
        if (c == QLatin1Char('\n') || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            c = QLatin1Char(' ');
    }
    // The layout only resolves the font for the device; it keeps no hold
    // of the device itself.
    m_layout = std::make_unique<QTextLayout>(line, font, const_cast<QPaintDevice*>(device));
    QTextOption option;
    option.setTextDirection(direction);
    option.setAlignment(Qt::AlignLeft);
    option.setFlags(QTextOption::IncludeTrailingSpaces);
    m_layout->setTextOption(option);
    m_layout->setCacheEnabled(true);
    m_width = 0;
    m_height = 0;
    m_advance = 0;
    // Stacked as drawText stacks lines: the leading between lines, each
    // line on a whole pixel.
    const qreal leading = QFontMetricsF(m_layout->font()).leading();
    qreal y = -leading;
    m_layout->beginLayout();
    QTextLine first = m_layout->createLine();
    if (first.isValid()) {
        first.setLineWidth(0x01000000);
        y = qCeil(y + leading);
        first.setPosition(QPointF(0, y));
        m_height = y + first.ascent() + first.descent();
        m_width = first.naturalTextWidth();
        m_advance = first.horizontalAdvance();
    }
    m_layout->endLayout();
}

void TextLine::draw(QPainter& painter, const QRectF& rect, Qt::Alignment alignment) const
{
    if (!m_layout || m_layout->lineCount() == 0 || m_text.isEmpty())
        return;
    qreal yoff = 0;
    if (alignment & Qt::AlignBottom)
        yoff = rect.height() - m_height;
    else if (alignment & Qt::AlignVCenter)
        yoff = (rect.height() - m_height) / 2;
    qreal boundsX = 0;
    qreal x = 0;
    if (alignment & Qt::AlignRight) {
        boundsX = rect.width() - m_width;
        x = rect.width() - m_advance;
    } else if (alignment & Qt::AlignHCenter) {
        boundsX = (rect.width() - m_width) / 2;
        x = (rect.width() - m_advance) / 2;
    }
    const bool clip = !rect.contains(QRectF(rect.x() + boundsX, rect.y() + yoff, m_width, m_height));
    if (clip) {
        painter.save();
        painter.setClipRect(rect, Qt::IntersectClip);
    }
    m_layout->lineAt(0).draw(&painter, QPointF(rect.x() + x, rect.y() + yoff));
    if (clip)
        painter.restore();
}
