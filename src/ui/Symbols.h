#pragma once

// Symbol images by name ("plus.forwardslash.minus", "trash", ...), drawn from
// the Material icon font (a few from the text faces). An unknown name draws
// nothing and gives a null icon.

#include <QColor>
#include <QFont>
#include <QGlyphRun>
#include <QIcon>
#include <QPainterPath>
#include <QPixmap>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <optional>

class QPainter;
class QBrush;

namespace Symbols {

struct Glyph {
    char32_t code = 0;
    bool material = true; // false: a character of the system text face
};

std::optional<Glyph> glyph(const QString& name);
bool isKnown(const QString& name);
QStringList knownNames();

// Sizes below are em sizes: a Material glyph fills its em square with a
// small margin. emFor() gives the em at which a symbol looks the size of
// text at `pointSize` ("the symbol in the system font at 13 points").
qreal emFor(qreal pointSize);

// The font that draws `name` at `size` layout units (the symbol's em size).
QFont font(const QString& name, qreal size);
// The glyph as text for a QLabel/QPushButton, with font(name, size).
QString text(const QString& name);
// The symbol as a glyph of the icon face at `pixelSize`, read from the
// face's own file (no font matching): drawn with QPainter::drawGlyphRun it
// shows the pixels a label in font(name, pixelSize) with `hinting` shows.
// Empty for an unknown name, a symbol of the text faces or a missing face.
QGlyphRun glyphRun(const QString& name, int pixelSize, QFont::HintingPreference hinting);
// The glyph's outline at `size`, centred in `rect`; empty for an unknown name.
QPainterPath path(const QString& name, qreal size, const QRectF& rect);
// Paints the glyph centred in `rect` at `size`; nothing for an unknown name.
void paint(QPainter& painter, const QString& name, qreal size, const QRectF& rect, const QBrush& brush);
// A crisp, scalable icon (any size, any device pixel ratio) in `color`.
QIcon icon(const QString& name, const QColor& color);
QPixmap pixmap(const QString& name, const QColor& color, int size, qreal devicePixelRatio = 1.0);

} // namespace Symbols
