#pragma once

// Where the wavy spelling and grammar underlines of a rich text go, for
// editors that draw them over their text instead of as character formats.

#include <QList>
#include <QLineF>
#include <QRectF>

class QColor;
class QPainter;
class QTextBlock;

namespace Squiggles {

// The stretches, one a line, under the characters `start` .. `start +
// length` of `block` (positions in the paragraph), in the coordinates of
// the document's layout: left to right, at the height the wave is drawn.
// They follow the paragraph's alignment, indents and direction and the
// frames (table cells) it sits in. Nothing while the block is not laid out.
QList<QLineF> spans(const QTextBlock& block, int start, int length);

// What a repaint of the underlines of `block` must cover, in the same
// coordinates: every line of it, with room for the wave below the last.
QRectF area(const QTextBlock& block);

// A wavy line along `span`.
void draw(QPainter& painter, const QLineF& span, const QColor& color);

} // namespace Squiggles
