#include "planner/views/FocusRing.h"

#include "planner/views/FocusLook.h"
#include "ui/Chrome.h"
#include "ui/Fonts.h"

#include <QFontMetricsF>
#include <algorithm>
#include <QPainter>
#include <QPainterPath>
#include <QVariantAnimation>
#include <cmath>

namespace {

QFont phaseFont() { return Fonts::system(13, QFont::Black, Fonts::Design::Rounded); }
QFont clockFont() { return Fonts::system(54, QFont::Bold, Fonts::Design::Rounded); }
QFont sessionFont() { return Fonts::style(Fonts::TextStyle::Caption); }

} // namespace

FocusRing::FocusRing(QWidget* parent)
    : QWidget(parent)
    , m_color(Chrome::cherry())
    , m_animation(new QVariantAnimation(this))
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setMinimumSize(kSmallest, kSmallest);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    m_animation->setDuration(kAnimationMs);
    m_animation->setEasingCurve(QEasingCurve::Linear);
    connect(m_animation, &QVariantAnimation::valueChanged, this, [this](const QVariant& v) {
        m_shown = v.toDouble();
        update();
    });
}

void FocusRing::setSide(int side)
{
    side = std::clamp(side, int(kSmallest), int(kDiameter + 2 * kPadding));
    if (side == m_side)
        return;
    m_side = side;
    updateGeometry();
}

QSize FocusRing::sizeHint() const
{
    return {m_side, m_side};
}

bool FocusRing::isAnimating() const
{
    return m_animation->state() == QAbstractAnimation::Running;
}

void FocusRing::setTexts(const QString& phase, const QString& clock, const QString& session)
{
    if (phase == m_phase && clock == m_clock && session == m_session)
        return;
    m_phase = phase;
    m_clock = clock;
    m_session = session;
    setAccessibleName(phase + QLatin1Char(' ') + clock);
    update();
}

void FocusRing::setColor(const QColor& color)
{
    if (color == m_color)
        return;
    m_color = color;
    update();
}

void FocusRing::setFraction(double fraction, bool animate)
{
    if (!std::isfinite(fraction))
        fraction = 0;
    if (fraction == m_target && !isAnimating())
        return;
    m_target = fraction;
    m_animation->stop();
    // Only what the arc can show moves: below zero nothing is drawn, above
    // one the circle is full.
    const double from = qBound(0.0, m_shown, 1.0);
    const double to = qBound(0.0, fraction, 1.0);
    // The running clock moves the arc a fraction of a pixel per tick: such
    // steps are drawn at once (an animation per tick would repaint sixty
    // times a second for as long as the clock runs). Jumps one can see —
    // a new phase, a reset, new lengths — glide.
    const double arcPixels = std::abs(to - from) * M_PI * kDiameter;
    if (!animate || !isVisible() || arcPixels < kGlideFromPixels) {
        m_shown = to;
        update();
        return;
    }
    m_animation->setStartValue(from);
    m_animation->setEndValue(to);
    m_animation->start();
}

void FocusRing::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    // Drawn at its full size and scaled to the room it was given.
    const qreal full = kDiameter + 2 * kPadding;
    const qreal side = std::min(width(), height());
    p.translate((width() - side) / 2, (height() - side) / 2);
    p.scale(side / full, side / full);
    const QRectF circle(kPadding, kPadding, kDiameter, kDiameter);

    // Track.
    p.setPen(QPen(QColor(0, 0, 0, qRound(255 * 0.08)), kLineWidth));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(circle);

    // Progress arc, from the top, clockwise.
    const double shown = qBound(0.0, m_shown, 1.0);
    if (shown > 0) {
        QColor top = m_color;
        top.setAlphaF(0.7);
        QLinearGradient g(circle.topLeft(), circle.bottomLeft());
        g.setColorAt(0, top);
        g.setColorAt(1, m_color);
        QPen pen(QBrush(g), kLineWidth, Qt::SolidLine, Qt::RoundCap, Qt::MiterJoin);
        pen.setMiterLimit(10);
        p.setPen(pen);
        p.drawArc(circle, 90 * 16, -qRound(shown * 360 * 16));
    }

    // Rim: a 3-wide border inside a circle 11 larger on every side.
    const QRectF rimRect = circle.adjusted(-11, -11, 11, 11);
    QPainterPath rim;
    rim.addEllipse(rimRect);
    rim.addEllipse(rimRect.adjusted(3, 3, -3, -3));
    p.setPen(Qt::NoPen);
    p.setBrush(Chrome::rim(rimRect));
    p.drawPath(rim);

    // Centre text: three lines, 4 apart, centred as a block.
    const QFontMetricsF phaseFm(phaseFont());
    const QFontMetricsF clockFm(clockFont());
    const QFontMetricsF sessionFm(sessionFont());
    const qreal total = phaseFm.height() + clockFm.height() + sessionFm.height() + 8;
    qreal y = circle.center().y() - total / 2;
    p.setFont(phaseFont());
    p.setPen(m_color);
    p.drawText(QRectF(circle.left(), y, circle.width(), phaseFm.height()), Qt::AlignCenter, m_phase);
    y += phaseFm.height() + 4;
    p.setPen(Chrome::ink());
    paintClock(p, QRectF(circle.left(), y, circle.width(), clockFm.height()));
    y += clockFm.height() + 4;
    p.setFont(sessionFont());
    p.setPen(FocusLook::secondaryText());
    p.drawText(QRectF(circle.left(), y, circle.width(), sessionFm.height()), Qt::AlignCenter, m_session);
}

// Digits of equal width: each digit is centred in a cell as wide as the
// widest digit, so the clock does not wobble as it counts.
void FocusRing::paintClock(QPainter& p, const QRectF& line)
{
    const QFont font = clockFont();
    const QFontMetricsF fm(font);
    qreal cell = 0;
    for (char c = '0'; c <= '9'; ++c)
        cell = qMax(cell, fm.horizontalAdvance(QLatin1Char(c)));
    qreal width = 0;
    for (QChar c : m_clock)
        width += c.isDigit() ? cell : fm.horizontalAdvance(c);
    p.setFont(font);
    qreal x = line.center().x() - width / 2;
    for (QChar c : m_clock) {
        const qreal w = c.isDigit() ? cell : fm.horizontalAdvance(c);
        p.drawText(QRectF(x, line.top(), w, line.height()), Qt::AlignCenter, QString(c));
        x += w;
    }
}
