#include "notes/views/RecorderSpinner.h"

#include <QPainter>
#include <QtMath>

RecorderSpinner::RecorderSpinner(QWidget* parent)
    : QWidget(parent)
{
    setFixedSize(16, 16);
    setAccessibleName(QStringLiteral("Transcribing"));
    m_timer.setInterval(83);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        m_step = (m_step + 1) % 12;
        update();
    });
}

void RecorderSpinner::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    m_timer.start();
}

void RecorderSpinner::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    m_timer.stop();
}

void RecorderSpinner::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    paintSpokes(p, QPointF(width() / 2.0, height() / 2.0), m_step);
}

void RecorderSpinner::paintSpokes(QPainter& p, const QPointF& centre, int step)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(centre);
    for (int i = 0; i < 12; ++i) {
        const int age = (step - i + 12) % 12;
        p.setPen(QPen(QColor::fromRgbF(0, 0, 0, float(0.75 - age * 0.055)), 1.6, Qt::SolidLine, Qt::RoundCap));
        p.save();
        p.rotate(i * 30.0);
        p.drawLine(QPointF(0, -3.5), QPointF(0, -7));
        p.restore();
    }
    p.restore();
}
