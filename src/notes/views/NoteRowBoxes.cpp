#include "notes/views/NoteRowBoxes.h"

#include <QPaintEngine>
#include <QPainter>

namespace {

// A handful of sizes and backgrounds at most (alternate rows, a resized
// window); more means something keeps changing: start afresh.
constexpr qsizetype kKept = 16;

} // namespace

void NoteRowBoxes::paint(QPainter* p, const QRect& rect)
{
    p->save();
    p->setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(rect).adjusted(0.5, 0.5, -0.5, -0.5);
    p->setPen(Qt::NoPen);
    p->setBrush(QColor::fromRgbF(1, 1, 1, 0.8f));
    p->drawRoundedRect(box, 6, 6);
    p->setPen(QPen(QColor::fromRgbF(0.5f, 0.5f, 0.5f, 0.3f), 1));
    p->setBrush(Qt::NoBrush);
    p->drawRoundedRect(box, 6, 6);
    p->restore();
}

void NoteRowBoxes::draw(QPainter* p, const QRect& rect, const QColor& base, const QColor& rowFill)
{
    // Copying stands in for drawing only over an opaque background, onto a
    // picture of whole device pixels, with nothing but a plain placement.
    const QPaintEngine* engine = p->paintEngine();
    const QPaintDevice* target = engine ? engine->paintDevice() : nullptr;
    const QImage* image = target && target->devType() == QInternal::Image ? static_cast<const QImage*>(target) : nullptr;
    const qreal dpr = image ? image->devicePixelRatio() : 1;
    if (!image
        || (image->format() != QImage::Format_RGB32 && image->format() != QImage::Format_ARGB32_Premultiplied)
        || dpr != qreal(qRound(dpr)) || p->transform().type() > QTransform::TxTranslate || p->opacity() < 1
        || p->compositionMode() != QPainter::CompositionMode_SourceOver || base.alpha() < 255) {
        paint(p, rect);
        return;
    }
    const Key key{rect.width(), rect.height(), dpr, base.rgba(), rowFill.isValid() ? rowFill.rgba() : 0,
                  int(image->format())};
    auto found = m_pictures.constFind(key);
    if (found == m_pictures.cend()) {
        if (m_pictures.size() >= kKept)
            m_pictures.clear();
        QImage picture(rect.size() * dpr, image->format());
        picture.setDevicePixelRatio(dpr);
        QPainter q(&picture);
        const QRect area(QPoint(), rect.size());
        q.fillRect(area, base);
        if (rowFill.isValid())
            q.fillRect(area, rowFill);
        paint(&q, area);
        q.end();
        found = m_pictures.insert(key, picture);
    }
    p->drawImage(rect.topLeft(), *found);
}
