#include "notes/views/StickyColorDot.h"

#include <QPainter>

StickyColorDot::StickyColorDot(int diameter, const QColor& fill, QWidget* parent)
    : QAbstractButton(parent)
    , m_diameter(diameter)
    , m_fill(fill)
{
    setFixedSize(diameter, diameter);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
}

void StickyColorDot::setRing(const QColor& color, qreal width)
{
    if (m_ring == color && m_ringWidth == width)
        return;
    m_ring = color;
    m_ringWidth = width;
    update();
}

QSize StickyColorDot::sizeHint() const
{
    return QSize(m_diameter, m_diameter);
}

void StickyColorDot::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF circle(0, 0, m_diameter, m_diameter);
    p.setPen(Qt::NoPen);
    p.setBrush(m_fill);
    p.drawEllipse(circle);
    // The ring lies inside the edge.
    const qreal inset = m_ringWidth / 2;
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(m_ring, m_ringWidth));
    p.drawEllipse(circle.adjusted(inset, inset, -inset, -inset));
}
