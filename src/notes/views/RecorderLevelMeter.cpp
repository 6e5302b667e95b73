#include "notes/views/RecorderLevelMeter.h"

#include "ui/Chrome.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

RecorderLevelMeter::RecorderLevelMeter(QWidget* parent)
    : QWidget(parent)
{
    setFixedHeight(kHeight);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setAccessibleName(QStringLiteral("Input level"));
}

void RecorderLevelMeter::setLevel(float level)
{
    level = std::isfinite(level) ? std::clamp(level, 0.0f, 1.0f) : 0.0f;
    if (level == m_level)
        return;
    m_level = level;
    update();
}

qreal RecorderLevelMeter::barWidth() const
{
    return width() * qreal(m_level);
}

void RecorderLevelMeter::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    const QRectF track(0, 0, width(), kHeight);
    const qreal r = kHeight / 2.0;
    p.setBrush(QColor::fromRgbF(0, 0, 0, 0.15f));
    p.drawRoundedRect(track, r, r);
    const qreal w = barWidth();
    if (w <= 0)
        return;
    const QRectF bar(0, 0, w, kHeight);
    QLinearGradient g(bar.topLeft(), bar.topRight());
    g.setColorAt(0, Chrome::seafoam());
    g.setColorAt(0.5, QColor::fromRgbF(1.0f, 0.8f, 0.0f));
    g.setColorAt(1, Chrome::cherry());
    p.setBrush(g);
    p.drawRoundedRect(bar, std::min(r, w / 2), r);
}
