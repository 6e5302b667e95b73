#include "planner/views/GoalSwatches.h"

#include "ui/Chrome.h"

#include <QMouseEvent>
#include <QPainter>

GoalSwatches::GoalSwatches(QWidget* parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setCursor(Qt::PointingHandCursor);
    setAccessibleName(QStringLiteral("Goal colour"));
}

void GoalSwatches::setCurrent(qint64 index)
{
    if (index == m_current)
        return;
    m_current = index;
    update();
}

QRect GoalSwatches::swatchRect(int position) const
{
    return QRect(position * (kDiameter + kSpacing), (height() - kDiameter) / 2, kDiameter, kDiameter);
}

QSize GoalSwatches::sizeHint() const
{
    const int n = int(Chrome::goalColors().size());
    return QSize(n * kDiameter + (n - 1) * kSpacing, kDiameter + 4);
}

void GoalSwatches::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QList<QColor>& colours = Chrome::goalColors();
    for (int i = 0; i < colours.size(); ++i) {
        const QRectF r = swatchRect(i);
        p.setPen(Qt::NoPen);
        p.setBrush(colours.at(i));
        p.drawEllipse(r);
        if (m_current == i) {
            p.setBrush(Qt::NoBrush);
            p.setPen(QPen(Chrome::ink(), 2));
            p.drawEllipse(r.adjusted(1, 1, -1, -1));
        }
    }
}

void GoalSwatches::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    for (int i = 0; i < Chrome::goalColors().size(); ++i) {
        if (swatchRect(i).contains(event->position().toPoint())) {
            Q_EMIT chosen(i);
            return;
        }
    }
}
