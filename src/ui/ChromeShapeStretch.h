#pragma once

#include <QImage>
#include <QPointF>

class QPainter;
class QRectF;

// Stretched edges of shadow pieces laid down as plain copies.
namespace ChromeShapeStretch {

struct Copy {
    QImage image;
    QPointF at; // where to lay the image down, unscaled, in the painter's coordinates
};

// `source` of `piece` as `painter` would draw it stretched into `target`
// (drawImage without smoothing, at the painter's opacity), spread out as a
// picture of its own: laid down unscaled at `at`, it gives the same pixels at
// a fraction of the cost, when the stretch repeats one row or column of
// pixels unchanged. Where the target's edges fall between device pixels the
// painter's own placing of the rows and columns is taken from a small
// stretch drawn as the painter would draw it. A null image when the stretch
// is not that simple (a turned or scaled painter, a high-density piece, a
// clip of more than one rectangle, a source that varies along the stretch).
Copy stretchedCopy(const QImage& piece, const QRectF& source, const QRectF& target, const QPainter& painter);

} // namespace ChromeShapeStretch
