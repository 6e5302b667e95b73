#include "ui/ToolIcon.h"

#include "ui/ButtonArt.h"
#include "ui/Chrome.h"
#include "ui/ChromeShape.h"
#include "ui/Symbols.h"

#include <QPainter>
#include <QPainterPath>

namespace {

// Room for the chrome circle's shadow.
const QMarginsF kShadowRoom(2, 1, 2, 4);

} // namespace

ToolIcon::ToolIcon(Tool tool, qreal size, QWidget* parent) : QWidget(parent), m_tool(tool), m_size(size)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setToolTip(tool.title());
    setAccessibleName(tool.title());
}

void ToolIcon::setTool(Tool tool)
{
    m_tool = tool;
    setToolTip(tool.title());
    setAccessibleName(tool.title());
    update();
}

void ToolIcon::setIconSize(qreal size)
{
    m_size = size;
    updateGeometry();
    update();
}

qreal ToolIcon::artRimWidth(qreal size)
{
    return qMax<qreal>(1.0, size / 22.0);
}

QSize ToolIcon::sizeHint() const
{
    return QSize(int(std::ceil(m_size + kShadowRoom.left() + kShadowRoom.right())),
                 int(std::ceil(m_size + kShadowRoom.top() + kShadowRoom.bottom())));
}

void ToolIcon::paint(QPainter& p, Tool tool, const QRectF& rect)
{
    const qreal size = qMin(rect.width(), rect.height());
    if (size <= 0)
        return;
    const QRectF square(rect.center().x() - size / 2, rect.center().y() - size / 2, size, size);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    if (const auto art = ButtonArt::image(tool)) {
        QPainterPath circle;
        circle.addEllipse(square);
        QSizeF fitted = QSizeF(art->size()).scaled(square.size(), Qt::KeepAspectRatio);
        const QRectF target(square.center().x() - fitted.width() / 2, square.center().y() - fitted.height() / 2,
                            fitted.width(), fitted.height());
        p.save();
        p.setClipPath(circle);
        p.drawImage(target, *art);
        p.restore();
        const qreal w = artRimWidth(size);
        QPainterPath inner;
        inner.addEllipse(square.adjusted(w / 2, w / 2, -w / 2, -w / 2));
        p.strokePath(inner, QPen(QBrush(Chrome::rim(square)), w));
    } else {
        ChromeShape::paint(p, square, ChromeShape::Outline::circle(), false, false);
        const QColor tint = Chrome::toColor(tool.tint());
        const qreal glyph = Symbols::emFor(size * 0.44);
        QLinearGradient g(square.topLeft(), square.bottomLeft());
        QColor top = tint;
        top.setAlphaF(0.95f);
        QColor bottom = tint;
        bottom.setAlphaF(0.7f);
        g.setColorAt(0.0, top);
        g.setColorAt(0.5, tint);
        g.setColorAt(1.0, bottom);
        const QPainterPath glyphPath = Symbols::path(tool.symbol(), glyph, square);
        if (!glyphPath.isEmpty()) {
            // The tint gradient spans the glyph, top to bottom.
            const QRectF gb = glyphPath.boundingRect();
            g.setStart(gb.topLeft());
            g.setFinalStop(gb.bottomLeft());
            p.fillPath(glyphPath.translated(0, 1), QColor(255, 255, 255, int(0.8 * 255)));
            p.fillPath(glyphPath, g);
        }
    }
    p.restore();
}

QPixmap ToolIcon::pixmap(Tool tool, int size, qreal dpr)
{
    const QMarginsF room = kShadowRoom;
    const QSizeF logical(size, size);
    QPixmap pm((logical * dpr).toSize());
    pm.fill(Qt::transparent);
    pm.setDevicePixelRatio(dpr);
    QPainter p(&pm);
    // Keep the shadow inside the pixmap: shrink the icon by its room.
    const QRectF r = QRectF(QPointF(0, 0), logical).marginsRemoved(room);
    paint(p, tool, r);
    return pm;
}

void ToolIcon::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRectF square(kShadowRoom.left(), kShadowRoom.top(), m_size, m_size);
    paint(p, m_tool, square);
}
