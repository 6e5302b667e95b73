#include "planner/views/TimelineCanvas.h"

#include "planner/TimelineModel.h"
#include "planner/views/TimelineSurface.h"
#include "ui/Chrome.h"
#include "ui/ChromeShape.h"

#include <QPainter>
#include <QScrollArea>
#include <QVBoxLayout>

TimelineCanvas::TimelineCanvas(TimelineModel* model, QWidget* parent) : QWidget(parent)
{
    setMinimumHeight(kMinHeight);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);

    auto* layout = new QVBoxLayout(this);
    // Keep the scrolled drawing off the rounded rim.
    layout->setContentsMargins(2, 2, 2, 2);
    m_scroll = new QScrollArea(this);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_scroll->setWidgetResizable(false);
    m_scroll->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_scroll->setAutoFillBackground(false);
    m_scroll->viewport()->setAutoFillBackground(false);
    m_surface = new TimelineSurface(model, m_scroll);
    m_scroll->setWidget(m_surface);
    // The scroll area fills its content's background; the cream panel shows through instead.
    m_surface->setAutoFillBackground(false);
    layout->addWidget(m_scroll);

    for (auto signal : {&TimelineModel::goalsChanged, &TimelineModel::selectedChanged,
                        &TimelineModel::filterChanged, &TimelineModel::dayWidthChanged})
        connect(model, signal, m_surface, &TimelineSurface::rebuild);
}

void TimelineCanvas::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect());
    const auto outline = ChromeShape::Outline::roundedRect(kCornerRadius);
    p.fillPath(outline.path(r), Chrome::cream());
    p.strokePath(outline.insetPath(r, kRimWidth / 2), QPen(QBrush(Chrome::rim(r)), kRimWidth));
}
