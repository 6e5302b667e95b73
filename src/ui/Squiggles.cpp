#include "ui/Squiggles.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QPainterPath>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>

namespace Squiggles {

QList<QLineF> spans(const QTextBlock& block, int start, int length)
{
    const QTextLayout* lines = block.isValid() ? block.layout() : nullptr;
    if (!lines || lines->lineCount() == 0 || length <= 0 || !block.document())
        return {};
    // The lines' places are relative to the layout's position, which the
    // block's bounding rectangle carries (with the frames around it). The
    // lines themselves start at their indent, and cursorToX adds the
    // alignment's shift.
    const QPointF origin = block.document()->documentLayout()->blockBoundingRect(block).topLeft();
    const int end = std::min(start + length, block.length() - 1);
    QList<QLineF> out;
    for (QTextLine line = lines->lineForTextPosition(std::max(0, start)); line.isValid() && line.textStart() < end;
         line = lines->lineAt(line.lineNumber() + 1)) {
        const int from = std::max(start, line.textStart());
        const int to = std::min(end, line.textStart() + line.textLength());
        if (to <= from)
            continue;
        // Right to left, the word's end lies left of its start.
        const qreal a = line.cursorToX(from);
        const qreal b = line.cursorToX(to);
        const qreal y = origin.y() + line.y() + line.ascent() + std::max<qreal>(1.5, line.descent() * 0.5);
        out.append(QLineF(origin.x() + std::min(a, b), y, origin.x() + std::max(a, b), y));
    }
    return out;
}

QRectF area(const QTextBlock& block)
{
    const QTextLayout* lines = block.isValid() ? block.layout() : nullptr;
    if (!lines || lines->lineCount() == 0 || !block.document())
        return {};
    // The block's bounding rectangle starts at the layout's position, not
    // at its lines, which an indent moves right.
    const QPointF origin = block.document()->documentLayout()->blockBoundingRect(block).topLeft();
    return lines->boundingRect().translated(origin).adjusted(0, 0, 0, 4);
}

void draw(QPainter& painter, const QLineF& span, const QColor& color)
{
    const qreal x1 = span.x1(), x2 = span.x2(), y = span.y1();
    QPainterPath path(QPointF(x1, y));
    bool up = true;
    for (qreal x = x1 + 2; x < x2 + 2; x += 2, up = !up)
        path.lineTo(std::min(x, x2), up ? y - 1 : y + 1);
    painter.setPen(QPen(color, 1));
    painter.drawPath(path);
}

} // namespace Squiggles
