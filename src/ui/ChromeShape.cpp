#include "ui/ChromeShape.h"

#include "ui/Chrome.h"
#include "ui/ChromeShapeStretch.h"

#include <QCache>
#include <QPainter>
#include <QPaintEvent>
#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Three box blurs approximate a Gaussian of standard deviation sigma.
void boxBlurAlpha(std::vector<float>& a, int w, int h, int r)
{
    if (r <= 0)
        return;
    std::vector<float> tmp(a.size());
    const float norm = 1.0f / float(2 * r + 1);
    for (int y = 0; y < h; ++y) {
        float acc = 0;
        const float* row = &a[size_t(y) * w];
        for (int x = -r - 1; x < r; ++x)
            acc += (x >= 0 && x < w) ? row[x] : 0.0f;
        for (int x = 0; x < w; ++x) {
            const int add = x + r, sub = x - r - 1;
            acc += (add < w ? row[add] : 0.0f) - (sub >= 0 ? row[sub] : 0.0f);
            tmp[size_t(y) * w + x] = acc * norm;
        }
    }
    for (int x = 0; x < w; ++x) {
        float acc = 0;
        for (int y = -r - 1; y < r; ++y)
            acc += (y >= 0 && y < h) ? tmp[size_t(y) * w + x] : 0.0f;
        for (int y = 0; y < h; ++y) {
            const int add = y + r, sub = y - r - 1;
            acc += (add < h ? tmp[size_t(add) * w + x] : 0.0f) - (sub >= 0 ? tmp[size_t(sub) * w + x] : 0.0f);
            a[size_t(y) * w + x] = acc * norm;
        }
    }
}

void gaussianBlurAlpha(QImage& img, qreal sigma)
{
    if (sigma <= 0.05)
        return;
    const int w = img.width(), h = img.height();
    std::vector<float> a(size_t(w) * h);
    for (int y = 0; y < h; ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < w; ++x)
            a[size_t(y) * w + x] = float(qAlpha(line[x]));
    }
    // Box sizes for three passes (W. Jarosz / Kovesi).
    const qreal ideal = std::sqrt(12.0 * sigma * sigma / 3.0 + 1.0);
    int wl = int(std::floor(ideal));
    if (wl % 2 == 0)
        --wl;
    const int wu = wl + 2;
    const qreal mIdeal = (12.0 * sigma * sigma - 3.0 * wl * wl - 12.0 * wl - 9.0) / (-4.0 * wl - 4.0);
    const int m = int(std::round(mIdeal));
    for (int i = 0; i < 3; ++i)
        boxBlurAlpha(a, w, h, ((i < m ? wl : wu) - 1) / 2);
    for (int y = 0; y < h; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < w; ++x) {
            // Rounded half away from zero, as lround does (without its
            // call per pixel); anything below zero ends up 0 either way.
            const float f = a[size_t(y) * w + x];
            const int whole = int(f);
            const int v = qBound(0, whole + (f - float(whole) >= 0.5f ? 1 : 0), 255);
            line[x] = qRgba(0, 0, 0, v); // premultiplied black
        }
    }
}

qreal deviceScale(const QPainter& painter)
{
    qreal dpr = 1.0;
    if (painter.device())
        dpr = painter.device()->devicePixelRatioF();
    const QTransform t = painter.worldTransform();
    const qreal s = std::sqrt(std::abs(t.determinant()));
    return dpr * (s > 0 ? s : 1.0);
}


// What shows of `shown` with `hidden` over it, when that is one rectangle.
bool visiblePart(const QRectF& shown, const QRectF& hidden, QRectF* visible)
{
    *visible = shown;
    if (hidden.left() <= shown.left() && hidden.right() >= shown.right()) {
        if (hidden.top() <= shown.top()) {
            visible->setTop(hidden.bottom());
            return true;
        }
        if (hidden.bottom() >= shown.bottom()) {
            visible->setBottom(hidden.top());
            return true;
        }
    }
    if (hidden.top() <= shown.top() && hidden.bottom() >= shown.bottom()) {
        if (hidden.left() <= shown.left()) {
            visible->setLeft(hidden.right());
            return true;
        }
        if (hidden.right() >= shown.right()) {
            visible->setRight(hidden.left());
            return true;
        }
    }
    return false;
}

// Lays `image` down at `at` in bands, as fillInBands fills: a shadow's edge
// of a few pixels' width is not worth the painter's worker threads.
void drawInBands(QPainter& painter, const QPointF& at, const QImage& image)
{
    constexpr int kBand = ChromeShape::bandRows;
    for (int top = 0; top < image.height(); top += kBand)
        painter.drawImage(at + QPointF(0, top), image, QRect(0, top, image.width(), std::min(kBand, image.height() - top)));
}

QCache<QString, QImage>& shadowCache()
{
    // Costed in KiB: a few MiB of shadows at most.
    static QCache<QString, QImage> cache(8 * 1024);
    return cache;
}

QImage shadowImage(const QPainterPath& path, qreal radius, qreal scale, const QString& cacheKey, QPointF* origin)
{
    const QRectF bounds = path.boundingRect();
    const qreal margin = std::ceil(radius * 2.0 + 2.0);
    const QRectF area = bounds.adjusted(-margin, -margin, margin, margin);
    *origin = area.topLeft();
    const QString key = cacheKey.isEmpty()
        ? QString()
        : cacheKey + QStringLiteral("|%1x%2|%3|%4").arg(bounds.width()).arg(bounds.height()).arg(radius).arg(scale);
    if (!key.isEmpty()) {
        if (QImage* hit = shadowCache().object(key))
            return *hit;
    }
    const QSize px(int(std::ceil(area.width() * scale)), int(std::ceil(area.height() * scale)));
    QImage img(px, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(scale, scale);
        p.translate(-area.topLeft());
        p.fillPath(path, Qt::black);
    }
    gaussianBlurAlpha(img, radius / 2.0 * scale);
    img.setDevicePixelRatio(scale);
    if (!key.isEmpty())
        shadowCache().insert(key, new QImage(img), qMax<qsizetype>(1, img.sizeInBytes() / 1024));
    return img;
}

void paintShadowImpl(QPainter& painter, const QPainterPath& path, qreal radius, qreal offsetY, qreal opacity,
                     const QString& cacheKey)
{
    if (path.isEmpty() || opacity <= 0)
        return;
    const qreal scale = deviceScale(painter);
    QPointF origin;
    // Cache against the path's size, so equal shapes at other places share.
    const QRectF b = path.boundingRect();
    const QPainterPath local = path.translated(-b.topLeft());
    // Blurring is dear (a panel repaints its shadow whenever a child label
    // changes): a shape without a name is remembered by its outline.
    QString key = cacheKey;
    if (key.isEmpty()) {
        size_t h = 0;
        for (int i = 0; i < local.elementCount(); ++i) {
            const QPainterPath::Element e = local.elementAt(i);
            h = qHashMulti(h, int(e.type), e.x, e.y);
        }
        key = QStringLiteral("path%1/%2").arg(h).arg(local.elementCount());
    }
    const QImage img = shadowImage(local, radius, scale, key, &origin);
    painter.save();
    painter.setOpacity(painter.opacity() * opacity);
    painter.drawImage(b.topLeft() + origin + QPointF(0, offsetY), img);
    painter.restore();
}

} // namespace

QPainterPath ChromeShape::Outline::path(const QRectF& rect) const
{
    return insetPath(rect, 0);
}

QRectF ChromeShape::Outline::frameOf(const QRectF& rect) const
{
    if (kind == Circle) {
        const qreal d = qMin(rect.width(), rect.height());
        return QRectF(rect.center().x() - d / 2, rect.center().y() - d / 2, d, d);
    }
    return rect;
}

QPainterPath ChromeShape::Outline::insetPath(const QRectF& rect, qreal amount) const
{
    QRectF r = frameOf(rect).adjusted(amount, amount, -amount, -amount);
    QPainterPath p;
    if (r.width() <= 0 || r.height() <= 0)
        return p;
    switch (kind) {
    case Capsule: {
        const qreal rad = qMin(r.width(), r.height()) / 2.0;
        p.addRoundedRect(r, rad, rad);
        break;
    }
    case Circle:
        p.addEllipse(r);
        break;
    case RoundedRect: {
        const qreal rad = qBound<qreal>(0, radius - amount, qMin(r.width(), r.height()) / 2.0);
        p.addRoundedRect(r, rad, rad);
        break;
    }
    }
    return p;
}

ChromeShape::Shadow ChromeShape::shadowFor(bool pressed)
{
    return pressed ? Shadow{1.0, 0.5, 0.35} : Shadow{2.5, 1.5, 0.35};
}

QMarginsF ChromeShape::shadowMargins(bool pressed)
{
    const Shadow s = shadowFor(pressed);
    return QMarginsF(s.radius, std::max<qreal>(0, s.radius - s.offsetY), s.radius, s.radius + s.offsetY);
}

void ChromeShape::fillInBands(QPainter& painter, const QRectF& rect, const QBrush& brush)
{
    const int top = qRound(rect.top());
    const int bottom = qRound(rect.bottom());
    if (bottom - top <= bandRows) {
        painter.fillRect(rect, brush);
        return;
    }
    for (int y = top; y < bottom; y += bandRows)
        painter.fillRect(QRectF(rect.left(), y, rect.width(), std::min(bandRows, bottom - y)), brush);
}

void ChromeShape::paintShadow(QPainter& painter, const QPainterPath& path, qreal radius, qreal offsetY, qreal opacity)
{
    paintShadowImpl(painter, path, radius, offsetY, opacity, QString());
}

void ChromeShape::paintRoundedRectShadow(QPainter& painter, const QRectF& rect, qreal cornerRadius, qreal radius,
                                         qreal offsetY, qreal opacity, const QRect& covered, const QRect& edgesCovered)
{
    if (rect.width() <= 0 || rect.height() <= 0 || opacity <= 0)
        return;
    const Outline outline = Outline::roundedRect(cornerRadius);
    // How far in from each side the corner still shapes the blur; beyond
    // that a cross-section of the shadow is the same all along the edge.
    const qreal margin = std::ceil(radius * 2.0 + 2.0);
    const qreal reach = std::ceil(cornerRadius + margin);
    const qreal side = 2 * reach + 2;
    // Along a side long enough, the piece is `side` long and its middle is
    // stretched; along a shorter one it is the side itself.
    const bool stretchX = rect.width() >= side, stretchY = rect.height() >= side;
    const QSizeF pieceSize(stretchX ? side : rect.width(), stretchY ? side : rect.height());
    const qreal scale = deviceScale(painter);
    QPointF origin;
    const QImage piece = shadowImage(outline.path(QRectF(QPointF(0, 0), pieceSize)), radius, scale,
                                     QStringLiteral("corners%1").arg(cornerRadius), &origin);
    // Cuts of the piece (from its own top left, in points) and of the
    // target along one axis: before the middle, the middle, after it.
    struct Cuts {
        std::vector<qreal> from, to;
    };
    auto cuts = [](bool stretch, qreal length, qreal start, qreal end, qreal grow, qreal reach) {
        const qreal pieceLength = length + 2 * grow;
        if (!stretch)
            return Cuts{{0, pieceLength}, {start - grow, end + grow}};
        return Cuts{{0, grow + reach, grow + reach + 2, pieceLength},
                    {start - grow, start + reach, end - reach, end + grow}};
    };
    const Cuts xs = cuts(stretchX, pieceSize.width(), rect.left(), rect.right(), -origin.x(), reach);
    const Cuts ys = cuts(stretchY, pieceSize.height(), rect.top(), rect.bottom(), -origin.y(), reach);
    painter.save();
    painter.setOpacity(painter.opacity() * opacity);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    // Between the corners, where the outline runs straight.
    const qreal straightLeft = rect.left() + cornerRadius, straightRight = rect.right() - cornerRadius;
    const qreal straightTop = rect.top() + cornerRadius, straightBottom = rect.bottom() - cornerRadius;
    for (size_t row = 0; row + 1 < ys.from.size(); ++row) {
        for (size_t column = 0; column + 1 < xs.from.size(); ++column) {
            const QRectF source(xs.from[column] * scale, ys.from[row] * scale,
                                (xs.from[column + 1] - xs.from[column]) * scale,
                                (ys.from[row + 1] - ys.from[row]) * scale);
            const QRectF target(xs.to[column], ys.to[row], xs.to[column + 1] - xs.to[column],
                                ys.to[row + 1] - ys.to[row]);
            const QRectF shown = target.translated(0, offsetY);
            const bool alongStraight = (shown.left() >= straightLeft && shown.right() <= straightRight)
                                       || (shown.top() >= straightTop && shown.bottom() <= straightBottom);
            const QRectF hidden(alongStraight && !edgesCovered.isNull() ? edgesCovered : covered);
            if (!hidden.isEmpty() && hidden.contains(shown))
                continue;
            // What shows of the piece, in rectangles: under a rectangular
            // clip a picture is laid down much more cheaply than under a
            // region. A null rectangle: no clip.
            QList<QRectF> parts{QRectF()};
            if (!hidden.isEmpty() && hidden.intersects(shown)) {
                QRectF visible;
                if (visiblePart(shown, hidden, &visible)) {
                    parts = {visible};
                } else {
                    parts.clear();
                    for (const QRect& part : QRegion(shown.toAlignedRect()).subtracted(QRegion(hidden.toRect())))
                        parts.append(QRectF(part));
                }
            }
            painter.translate(0, offsetY);
            const ChromeShapeStretch::Copy strip = source.size() == target.size() * scale
                ? ChromeShapeStretch::Copy()
                : ChromeShapeStretch::stretchedCopy(piece, source, target, painter);
            painter.translate(0, -offsetY);
            for (const QRectF& part : std::as_const(parts)) {
                if (!part.isNull()) {
                    painter.save();
                    painter.setClipRect(part, Qt::IntersectClip);
                }
                painter.translate(0, offsetY);
                if (strip.image.isNull())
                    painter.drawImage(target, piece, source);
                else
                    drawInBands(painter, strip.at, strip.image);
                painter.translate(0, -offsetY);
                if (!part.isNull())
                    painter.restore();
            }
        }
    }
    painter.restore();
}

namespace {

void paintDirect(QPainter& painter, const QRectF& rect, const ChromeShape::Outline& outline, bool pressed, bool forText)
{
    const QRectF frame = outline.frameOf(rect);
    if (frame.width() <= 0 || frame.height() <= 0)
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);

    // 4. The shadow, behind everything.
    const QPainterPath shape = outline.path(rect);
    const ChromeShape::Shadow sh = ChromeShape::shadowFor(pressed);
    if (outline.kind == ChromeShape::Outline::Circle) {
        paintShadowImpl(painter, shape, sh.radius, sh.offsetY, sh.opacity,
                        QStringLiteral("shape%1/%2").arg(int(outline.kind)).arg(outline.radius));
    } else {
        // A capsule is a rounded rectangle whose corners take half its height.
        const qreal corner = outline.kind == ChromeShape::Outline::Capsule ? qMin(frame.width(), frame.height()) / 2.0
                                                     : qBound<qreal>(0, outline.radius, qMin(frame.width(), frame.height()) / 2.0);
        ChromeShape::paintRoundedRectShadow(painter, frame, corner, sh.radius, sh.offsetY, sh.opacity);
    }

    // 1. The fill.
    const QLinearGradient fill = pressed ? Chrome::bumperPressed(frame)
                                 : forText ? Chrome::bumperText(frame)
                                           : Chrome::bumper(frame);
    painter.fillPath(shape, fill);

    // 2. The rim, stroked wholly inside the outline.
    QPen rimPen(QBrush(Chrome::rim(frame)), ChromeShape::rimWidth);
    rimPen.setJoinStyle(Qt::RoundJoin);
    painter.strokePath(outline.insetPath(rect, ChromeShape::rimWidth / 2.0), rimPen);

    // 3. The gloss: the shape inset by 3, white 0.85 at its top to clear at its
    // middle, squeezed to 0.92 × 0.5 about its top centre.
    const QRectF inset = frame.adjusted(ChromeShape::glossInset, ChromeShape::glossInset, -ChromeShape::glossInset,
                                        -ChromeShape::glossInset);
    if (inset.width() > 0 && inset.height() > 0) {
        QLinearGradient gloss(inset.topLeft(), QPointF(inset.left(), inset.center().y()));
        gloss.setColorAt(0.0, QColor(255, 255, 255, int(0.85 * 255 + 0.5)));
        gloss.setColorAt(1.0, QColor(255, 255, 255, 0));
        const QPointF anchor(inset.center().x(), inset.top());
        QTransform t;
        t.translate(anchor.x(), anchor.y());
        t.scale(0.92, 0.5);
        t.translate(-anchor.x(), -anchor.y());
        painter.setTransform(t, true);
        painter.setOpacity(painter.opacity() * ChromeShape::glossOpacity(pressed));
        painter.fillPath(outline.insetPath(rect, ChromeShape::glossInset), gloss);
    }
    painter.restore();
}

// A face drawn once is kept as a picture for each outline, size, state and
// place within a device pixel: keys, buttons and icons of one kind then cost
// one drawing between them. Costed in KiB.
QCache<QString, QImage>& faceCache()
{
    static QCache<QString, QImage> cache(4 * 1024);
    return cache;
}

// Past the face, how far its shadow may reach, in points.
constexpr qreal kFaceBleed = 10;
// Faces larger than this (in device pixels) are drawn directly.
constexpr qreal kLargestKeptFace = 256 * 256;

} // namespace

void ChromeShape::paint(QPainter& painter, const QRectF& rect, const Outline& outline, bool pressed, bool forText)
{
    const QRectF frame = outline.frameOf(rect);
    if (frame.width() <= 0 || frame.height() <= 0)
        return;
    const qreal dpr = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    // Kept pictures are laid over what is below in one step: only exact
    // where the layers would have been laid at full strength, unturned and
    // unscaled. A widget never shown (one drawn only as a stamp for a list)
    // is drawn directly too: the picture would be its only use.
    const auto* widget = painter.device() && painter.device()->devType() == QInternal::Widget
        ? static_cast<const QWidget*>(painter.device())
        : nullptr;
    if ((widget && !widget->isVisible()) || painter.opacity() < 1.0 || painter.worldTransform().type() > QTransform::TxTranslate
        || painter.compositionMode() != QPainter::CompositionMode_SourceOver
        || rect.width() * rect.height() * dpr * dpr > kLargestKeptFace) {
        paintDirect(painter, rect, outline, pressed, forText);
        return;
    }
    const QPointF device = painter.worldTransform().map(rect.topLeft()) * dpr;
    const QPointF whole(std::floor(device.x()), std::floor(device.y()));
    const QPointF fraction = device - whole;
    const qreal bleed = std::ceil(kFaceBleed * dpr);
    const QString key = QStringLiteral("%1/%2|%3x%4|%5,%6|%7%8|%9")
                            .arg(int(outline.kind)).arg(outline.radius)
                            .arg(rect.width()).arg(rect.height())
                            .arg(qRound(fraction.x() * 64)).arg(qRound(fraction.y() * 64))
                            .arg(int(pressed)).arg(int(forText)).arg(dpr);
    QImage* face = faceCache().object(key);
    if (!face) {
        const QSize px(int(std::ceil(rect.width() * dpr + 2 * bleed + 1)),
                       int(std::ceil(rect.height() * dpr + 2 * bleed + 1)));
        auto* image = new QImage(px, QImage::Format_ARGB32_Premultiplied);
        image->fill(Qt::transparent);
        {
            QPainter p(image);
            p.translate(bleed + qreal(qRound(fraction.x() * 64)) / 64, bleed + qreal(qRound(fraction.y() * 64)) / 64);
            p.scale(dpr, dpr);
            paintDirect(p, QRectF(QPointF(0, 0), rect.size()), outline, pressed, forText);
        }
        image->setDevicePixelRatio(dpr);
        face = image;
        faceCache().insert(key, image, qMax<qsizetype>(1, image->sizeInBytes() / 1024));
    }
    // At the whole device pixel the picture was drawn for, through the
    // painter's own placing.
    painter.drawImage(painter.worldTransform().inverted().map((whole - QPointF(bleed, bleed)) / dpr), *face);
}

ChromeShape::ChromeShape(const Outline& outline, QWidget* parent) : QWidget(parent), m_outline(outline)
{
    setAttribute(Qt::WA_TranslucentBackground);
}

void ChromeShape::setOutline(const Outline& outline)
{
    m_outline = outline;
    update();
}

void ChromeShape::setPressed(bool pressed)
{
    if (m_pressed == pressed)
        return;
    m_pressed = pressed;
    update();
}

void ChromeShape::setForText(bool forText)
{
    if (m_forText == forText)
        return;
    m_forText = forText;
    update();
}

void ChromeShape::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QMarginsF m = shadowMargins(false);
    paint(p, QRectF(rect()).marginsRemoved(m), m_outline, m_pressed, m_forText);
}
