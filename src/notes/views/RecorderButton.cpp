#include "notes/views/RecorderButton.h"

#include "ui/Chrome.h"
#include "ui/ChromeShape.h"

#include <QPainter>
#include <QPainterPath>

RecorderButton::RecorderButton(QWidget* parent)
    : QAbstractButton(parent)
{
    setFixedSize(kSide, kSide);
    setCursor(Qt::PointingHandCursor);
    // Like the other round buttons it takes no keyboard focus; Ctrl+R is its key.
    setFocusPolicy(Qt::NoFocus);
    setRecording(false);
}

void RecorderButton::setRecording(bool recording)
{
    m_recording = recording;
    setToolTip(recording ? QStringLiteral("Stop recording (Ctrl+R)") : QStringLiteral("Start recording (Ctrl+R)"));
    setAccessibleName(recording ? QStringLiteral("Stop recording") : QStringLiteral("Start recording"));
    update();
}

QColor RecorderButton::discColor() const
{
    return m_recording ? Chrome::cherry() : QColor::fromRgbF(0.75f, 0.1f, 0.12f);
}

bool RecorderButton::hitButton(const QPoint& pos) const
{
    const QPointF c = QRectF(rect()).center();
    const QPointF d = QPointF(pos) - c;
    return d.x() * d.x() + d.y() * d.y() <= (kSide / 2.0) * (kSide / 2.0);
}

void RecorderButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    // Room for the chrome's shadow inside the 74-point frame.
    const QMarginsF shadow = ChromeShape::shadowMargins(false);
    const QRectF frame = QRectF(rect()).marginsRemoved(shadow);
    const ChromeShape::Outline circle = ChromeShape::Outline::circle();
    ChromeShape::paint(p, frame, circle, false, false);
    const QRectF square = circle.frameOf(QRectF(rect()));
    const QRectF disc = square.adjusted(discInset(), discInset(), -discInset(), -discInset());
    p.setPen(Qt::NoPen);
    p.setBrush(isDown() ? discColor().darker(115) : discColor());
    p.drawEllipse(disc);
    if (m_recording) {
        const QRectF stop(square.center() - QPointF(kStopSide / 2, kStopSide / 2), QSizeF(kStopSide, kStopSide));
        p.setBrush(Qt::white);
        p.drawRoundedRect(stop, 3, 3);
    }
}
