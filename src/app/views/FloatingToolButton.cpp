#include "app/views/FloatingToolButton.h"

#include "ui/AccessibleName.h"
#include "ui/ToolIcon.h"

#include <QEasingCurve>
#include <QPainter>
#include <QVariantAnimation>

FloatingToolButton::FloatingToolButton(Tool tool, qreal iconSize, QWidget* parent)
    : QAbstractButton(parent)
    , m_tool(tool)
    , m_iconSize(iconSize)
{
    setFocusPolicy(Qt::NoFocus);
    setToolTip(tool.title());
    AccessibleName::setSoon(this, tool.title());
    setObjectName(QStringLiteral("tool.") + tool.rawValue());
    setFixedSize(sizeHint());
    m_animation = new QVariantAnimation(this);
    m_animation->setDuration(animationMs);
    m_animation->setEasingCurve(QEasingCurve::OutQuad);
    connect(m_animation, &QVariantAnimation::valueChanged, this, [this](const QVariant& v) {
        m_scale = v.toReal();
        if (QWidget* p = parentWidget()) {
            const int grow = int(m_iconSize * (hoverScale - 1)) + 6;
            p->update(geometry().adjusted(-grow, -grow, grow, grow));
        }
    });
}

QSize FloatingToolButton::sizeHint() const
{
    const int s = qRound(m_iconSize);
    return {s, s};
}

void FloatingToolButton::animateTo(qreal scale)
{
    if (qFuzzyCompare(scale, m_target))
        return;
    m_target = scale;
    m_animation->stop();
    m_animation->setStartValue(m_scale);
    m_animation->setEndValue(scale);
    m_animation->start();
}

void FloatingToolButton::paintIcon(QPainter& painter) const
{
    const QRectF r = QRectF(geometry());
    const QPointF c = r.center();
    const qreal side = m_iconSize * m_scale;
    ToolIcon::paint(painter, m_tool, QRectF(c.x() - side / 2, c.y() - side / 2, side, side));
}

void FloatingToolButton::enterEvent(QEnterEvent* event)
{
    // An arrow over the buttons, set when first wanted: loading a cursor
    // reads the cursor theme from disk, which the menu's first showing
    // should not wait for.
    if (!testAttribute(Qt::WA_SetCursor))
        setCursor(Qt::ArrowCursor);
    QAbstractButton::enterEvent(event);
    Q_EMIT entered(m_tool);
}

void FloatingToolButton::leaveEvent(QEvent* event)
{
    QAbstractButton::leaveEvent(event);
    Q_EMIT left(m_tool);
}
