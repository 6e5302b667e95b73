#include "ui/SegmentedPicker.h"

#include "ui/Chrome.h"
#include "ui/Fonts.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace {
constexpr int kHeight = 24;
constexpr qreal kRadius = 6;
} // namespace

SegmentedPicker::SegmentedPicker(const QStringList& segments, QWidget* parent)
    : QWidget(parent)
    , m_segments(segments)
{
    setFont(Fonts::system(12, QFont::Medium));
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setAccessibleName(segments.join(QLatin1Char('/')));
}

void SegmentedPicker::setCurrentIndex(int index)
{
    if (index < 0 || index >= m_segments.size() || index == m_current)
        return;
    m_current = index;
    update();
    Q_EMIT currentIndexChanged(index);
}

QRect SegmentedPicker::segmentRect(int index) const
{
    const int n = std::max<int>(1, int(m_segments.size()));
    const int w = width() / n;
    const int x = index * w;
    return QRect(x, 0, index == n - 1 ? width() - x : w, height());
}

QSize SegmentedPicker::sizeHint() const
{
    if (!m_sizeHint.isValid()) {
        const QFontMetrics fm(font());
        int widest = 0;
        for (const QString& s : m_segments)
            widest = std::max(widest, fm.horizontalAdvance(s));
        m_sizeHint = QSize((widest + 24) * std::max<int>(1, int(m_segments.size())), kHeight);
    }
    return m_sizeHint;
}

QSize SegmentedPicker::minimumSizeHint() const
{
    return sizeHint();
}

void SegmentedPicker::choose(int index)
{
    if (index < 0 || index >= m_segments.size())
        return;
    setCurrentIndex(index);
    Q_EMIT activated(index);
}

void SegmentedPicker::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    for (int i = 0; i < m_segments.size(); ++i) {
        if (segmentRect(i).contains(event->position().toPoint())) {
            choose(i);
            return;
        }
    }
}

void SegmentedPicker::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Left)
        choose(m_current - 1);
    else if (event->key() == Qt::Key_Right)
        choose(m_current + 1);
    else
        QWidget::keyPressEvent(event);
}

void SegmentedPicker::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange)
        m_sizeHint = QSize();
    QWidget::changeEvent(event);
}

void SegmentedPicker::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF track = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    p.setPen(QPen(Chrome::grey(0.7), 1));
    p.setBrush(Chrome::grey(0.86));
    p.drawRoundedRect(track, kRadius, kRadius);

    for (int i = 0; i < m_segments.size(); ++i) {
        const QRectF r = QRectF(segmentRect(i)).adjusted(2, 2, -2, -2);
        if (i == m_current) {
            QPainterPath chosen;
            chosen.addRoundedRect(r, kRadius - 1.5, kRadius - 1.5);
            p.save();
            p.translate(0, 0.5);
            p.fillPath(chosen, QColor(0, 0, 0, 40));
            p.restore();
            p.fillPath(chosen, Qt::white);
        } else if (i > 0 && i - 1 != m_current) {
            p.setPen(QPen(Chrome::grey(0.7), 1));
            p.drawLine(QPointF(r.left() - 2, r.top() + 3), QPointF(r.left() - 2, r.bottom() - 3));
        }
        p.setPen(Chrome::ink());
        p.drawText(r, Qt::AlignCenter, m_segments.at(i));
    }
    if (hasFocus()) {
        p.setPen(QPen(palette().color(QPalette::Highlight), 2));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(track.adjusted(1, 1, -1, -1), kRadius, kRadius);
    }
}
