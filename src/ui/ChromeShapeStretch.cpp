#include "ui/ChromeShapeStretch.h"

#include <QPaintEngine>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace ChromeShapeStretch {

namespace {

bool whole(qreal v)
{
    return qFuzzyIsNull(v - std::round(v));
}

// Whether every pixel of `from` is the same along the stretch: across each
// row (along x) or down each column (along y).
bool uniform(const QImage& piece, const QRect& from, bool alongX)
{
    const auto row = [&](int y) { return reinterpret_cast<const QRgb*>(piece.constScanLine(from.top() + y)) + from.left(); };
    if (alongX) {
        for (int y = 0; y < from.height(); ++y) {
            const QRgb* in = row(y);
            if (std::any_of(in + 1, in + from.width(), [in](QRgb c) { return c != in[0]; }))
                return false;
        }
        return true;
    }
    for (int y = 1; y < from.height(); ++y) {
        if (!std::equal(row(0), row(0) + from.width(), row(y)))
            return false;
    }
    return true;
}

// Which pixels of the device a stretch of `from` (of `piece`) into
// `onDevice` writes, and which row (along x) or column (along y) of `from`
// lands on each, as the painter draws it: found by drawing a short stretch
// with the same fractions at its edges, of a picture of the piece's size
// whose every pixel names its own row and column. The device rectangle
// written, and the line of `from` for each of its rows or columns; an empty
// rectangle when the answer is not a plain one (a line read from outside
// `from`, or one that changes along the stretch).
QRect placing(const QImage& piece, const QRect& from, const QRectF& onDevice, bool alongX, const QPainter& painter,
              std::vector<int>* lines)
{
    if (piece.width() > 256 || piece.height() > 256)
        return QRect();
    // Shortened by whole pixels along the stretch: the same fractions at
    // both ends, only a few pixels to draw, still a stretch.
    const qreal length = alongX ? onDevice.width() : onDevice.height();
    const int cut = int(std::floor(length - (alongX ? from.width() : from.height()) - 2));
    if (cut < 1)
        return QRect();
    const QRectF shortened = alongX ? onDevice.adjusted(0, 0, -cut, 0) : onDevice.adjusted(0, 0, 0, -cut);
    const QPoint shift(int(std::floor(shortened.left())) - 2, int(std::floor(shortened.top())) - 2);
    const QRectF probeTarget = shortened.translated(-QPointF(shift));
    QImage marks(piece.size(), QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < marks.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(marks.scanLine(y));
        for (int x = 0; x < marks.width(); ++x)
            line[x] = qRgba(y, x, 0, 255);
    }
    QImage probe(int(std::ceil(probeTarget.right())) + 3, int(std::ceil(probeTarget.bottom())) + 3,
                 QImage::Format_ARGB32_Premultiplied);
    probe.fill(Qt::transparent);
    {
        QPainter p(&probe);
        p.setRenderHints(painter.renderHints());
        p.drawImage(probeTarget, marks, QRectF(from));
    }
    QRect written;
    for (int y = 0; y < probe.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(probe.constScanLine(y));
        for (int x = 0; x < probe.width(); ++x) {
            if (qAlpha(line[x]) != 0)
                written |= QRect(x, y, 1, 1);
        }
    }
    if (written.isEmpty())
        return QRect();
    lines->clear();
    for (int y = written.top(); y <= written.bottom(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(probe.constScanLine(y));
        for (int x = written.left(); x <= written.right(); ++x) {
            const QRgb mark = line[x];
            const int row = qRed(mark), column = qGreen(mark);
            if (qAlpha(mark) != 255 || !from.contains(column, row))
                return QRect();
            const int n = alongX ? row - from.top() : column - from.left();
            const size_t i = size_t(alongX ? y - written.top() : x - written.left());
            if (i == lines->size())
                lines->push_back(n);
            else if ((*lines)[i] != n)
                return QRect();
        }
    }
    written.translate(shift);
    return alongX ? written.adjusted(0, 0, cut, 0) : written.adjusted(0, 0, 0, cut);
}

// Whether the painter clips to no more than one rectangle (a stretch is
// placed differently under a clip of several).
bool plainClip(const QPainter& painter)
{
    if (painter.paintEngine() && painter.paintEngine()->systemClip().rectCount() > 1)
        return false;
    return !painter.hasClipping() || painter.clipRegion().rectCount() <= 1;
}

} // namespace

Copy stretchedCopy(const QImage& piece, const QRectF& source, const QRectF& target, const QPainter& painter)
{
    const QTransform& t = painter.deviceTransform();
    if (t.type() > QTransform::TxTranslate || piece.devicePixelRatio() != 1.0
        || piece.format() != QImage::Format_ARGB32_Premultiplied
        || painter.compositionMode() != QPainter::CompositionMode_SourceOver)
        return {};
    if (!whole(source.left()) || !whole(source.top()) || !whole(source.width()) || !whole(source.height()))
        return {};
    const QRect from = source.toRect();
    if (from.isEmpty() || from.left() < 0 || from.top() < 0 || from.right() >= piece.width()
        || from.bottom() >= piece.height())
        return {};
    const QRectF onDevice = t.mapRect(target);
    const bool alongX = qFuzzyCompare(target.height(), source.height()) && target.width() > source.width();
    const bool alongY = qFuzzyCompare(target.width(), source.width()) && target.height() > source.height();
    if (alongX == alongY || !uniform(piece, from, alongX))
        return {};

    if (whole(onDevice.left()) && whole(onDevice.top()) && whole(onDevice.right()) && whole(onDevice.bottom())) {
        // On the pixel grid: the lines of the source, one for one.
        const QRect device = onDevice.toRect();
        QImage out(device.size(), QImage::Format_ARGB32_Premultiplied);
        if (alongX) {
            for (int y = 0; y < from.height(); ++y) {
                const QRgb c = reinterpret_cast<const QRgb*>(piece.constScanLine(from.top() + y))[from.left()];
                QRgb* line = reinterpret_cast<QRgb*>(out.scanLine(y));
                std::fill(line, line + out.width(), c);
            }
        } else {
            const QRgb* row = reinterpret_cast<const QRgb*>(piece.constScanLine(from.top())) + from.left();
            for (int y = 0; y < out.height(); ++y)
                std::copy(row, row + from.width(), reinterpret_cast<QRgb*>(out.scanLine(y)));
        }
        return {out, target.topLeft()};
    }

    // Between device pixels: only under a plain clip, and along a stretch
    // long enough to be worth the small one.
    // Left of or above the device, halves round the other way.
    if (!plainClip(painter) || (alongX ? onDevice.width() : onDevice.height()) < 16 || onDevice.left() < 0
        || onDevice.top() < 0)
        return {};
    std::vector<int> lines;
    const QRect device = placing(piece, from, onDevice, alongX, painter, &lines);
    if (device.isEmpty())
        return {};
    QImage out(device.size(), QImage::Format_ARGB32_Premultiplied);
    if (alongX) {
        for (int y = 0; y < out.height(); ++y) {
            const QRgb c = reinterpret_cast<const QRgb*>(piece.constScanLine(from.top() + lines[size_t(y)]))[from.left()];
            QRgb* line = reinterpret_cast<QRgb*>(out.scanLine(y));
            std::fill(line, line + out.width(), c);
        }
    } else {
        const QRgb* row = reinterpret_cast<const QRgb*>(piece.constScanLine(from.top()));
        QRgb* first = reinterpret_cast<QRgb*>(out.scanLine(0));
        for (int x = 0; x < out.width(); ++x)
            first[x] = row[from.left() + lines[size_t(x)]];
        for (int y = 1; y < out.height(); ++y)
            std::copy(first, first + out.width(), reinterpret_cast<QRgb*>(out.scanLine(y)));
    }
    return {out, t.inverted().map(QPointF(device.topLeft()))};
}

} // namespace ChromeShapeStretch
