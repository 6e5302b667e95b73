#include "planner/views/TimelineSurface.h"

#include "planner/TimelineMath.h"
#include "planner/TimelineModel.h"
#include "planner/views/PlainToolTip.h"
#include "planner/views/TimelinePainter.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QToolTip>
#include <cmath>

TimelineSurface::TimelineSurface(TimelineModel* model, QWidget* parent) : QWidget(parent), m_model(model)
{
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    setAutoFillBackground(false);
    rebuild();
}

void TimelineSurface::rebuild()
{
    m_layout = TimelineLayout::build(m_model->visible(), m_model->selected(), m_model->dayWidth(),
                                     QDateTime::currentDateTime(), TimelineMath::currentZone());
    const QSize size = sizeHint();
    if (size != this->size())
        resize(size);
    updateGeometry();
    update();
}

QPointF TimelineSurface::toSurface(const QPointF& widgetPoint)
{
    return widgetPoint - QPointF(TimelineLayout::kPadding, TimelineLayout::kPadding);
}

QSize TimelineSurface::sizeHint() const
{
    // Wide enough for the last month label too, so it is never cut.
    const qreal pad = 2 * TimelineLayout::kPadding;
    return QSize(int(std::ceil(TimelinePainter::contentRight(m_layout) + pad)), int(std::ceil(m_layout.height + pad)));
}

void TimelineSurface::paintEvent(QPaintEvent* event)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(TimelineLayout::kPadding, TimelineLayout::kPadding);
    const QRectF exposed = QRectF(event->rect()).translated(-TimelineLayout::kPadding, -TimelineLayout::kPadding);
    TimelinePainter::paint(p, m_layout, exposed, QDateTime::currentDateTime());
}

void TimelineSurface::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    if (const std::optional<QUuid> id = m_layout.goalAt(toSurface(event->position())))
        m_model->setSelected(*id);
}

bool TimelineSurface::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QString tip = m_layout.toolTipAt(toSurface(help->pos()), QDateTime::currentDateTime());
        if (tip.isEmpty()) {
            QToolTip::hideText();
            event->ignore();
        } else {
            QToolTip::showText(help->globalPos(), plainToolTip(tip), this);
        }
        return true;
    }
    return QWidget::event(event);
}
