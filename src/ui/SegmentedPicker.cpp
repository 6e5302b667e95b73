#include "ui/SegmentedPicker.h"

#include "ui/Chrome.h"
#include "ui/Fonts.h"
#include "ui/TextLine.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

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

SegmentedPicker::~SegmentedPicker() = default;

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

const std::vector<TextLine>& SegmentedPicker::titles(const QFont& font) const
{
    if (!m_titles.empty() && font == m_titleFont && layoutDirection() == m_titleDirection)
        return m_titles;
    m_titles.clear();
    m_titleFont = font;
    m_titleDirection = layoutDirection();
    m_widest = 0;
    m_titles.resize(size_t(m_segments.size()));
    for (int i = 0; i < m_segments.size(); ++i) {
        TextLine& title = m_titles[size_t(i)];
        title.setText(m_segments.at(i), font, m_titleDirection);
        m_widest = std::max(m_widest, qRound(title.advance()));
    }
    return m_titles;
}

void SegmentedPicker::forgetTitles()
{
    m_titles.clear();
    m_widest = -1;
    m_sizeHint = QSize();
}

int SegmentedPicker::widestTitle() const
{
    if (m_widest < 0)
        titles(QFont(font(), this));
    return m_widest;
}

QSize SegmentedPicker::sizeHint() const
{
    if (!m_sizeHint.isValid())
        m_sizeHint = QSize((widestTitle() + 24) * std::max<int>(1, int(m_segments.size())), kHeight);
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
    if (event->type() == QEvent::FontChange || event->type() == QEvent::LayoutDirectionChange)
        forgetTitles();
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

    const auto& lines = titles(p.font());
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
        // Centred in its segment as drawText(r, Qt::AlignCenter, title)
        // centres it, clipped to the segment when it overflows.
        lines[size_t(i)].draw(p, r);
    }
    if (hasFocus()) {
        p.setPen(QPen(palette().color(QPalette::Highlight), 2));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(track.adjusted(1, 1, -1, -1), kRadius, kRadius);
    }
}
