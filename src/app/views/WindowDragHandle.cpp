#include "app/views/WindowDragHandle.h"

#include "ui/VEXOBadge.h"

#include <QMouseEvent>
#include <QVBoxLayout>
#include <QWindow>

WindowDragHandle::WindowDragHandle(bool largeBadge, QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("grip"));
    setFocusPolicy(Qt::NoFocus);
    setToolTip(QStringLiteral("Drag to move • Brindleworks by Corvandel Softworks"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* badge = new VEXOBadge(!largeBadge, this);
    // The handle lies over the badge: presses and the tooltip are the grip's.
    badge->setAttribute(Qt::WA_TransparentForMouseEvents);
    badge->setToolTip(QString());
    layout->addWidget(badge);
    m_badge = badge;
    setFixedSize(sizeHint());
}

QSize WindowDragHandle::sizeHint() const
{
    return m_badge ? m_badge->sizeHint() : QSize();
}

bool WindowDragHandle::beginDrag(const QPoint& globalPos)
{
    QWidget* w = window();
    if (!w || w == this || !w->isWindow())
        return false;
    QWindow* handle = w->windowHandle();
    if (handle && handle->startSystemMove())
        return true;
    // No move offered by the window system: follow the mouse ourselves.
    m_following = true;
    m_offset = globalPos - w->pos();
    return true;
}

void WindowDragHandle::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && beginDrag(event->globalPosition().toPoint()))
        event->accept();
    else
        QWidget::mousePressEvent(event);
}

void WindowDragHandle::mouseMoveEvent(QMouseEvent* event)
{
    if (m_following && (event->buttons() & Qt::LeftButton)) {
        window()->move(event->globalPosition().toPoint() - m_offset);
        event->accept();
        return;
    }
    QWidget::mouseMoveEvent(event);
}

void WindowDragHandle::mouseReleaseEvent(QMouseEvent* event)
{
    m_following = false;
    QWidget::mouseReleaseEvent(event);
}
