#include "calc/views/LoanBreakdownBar.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>

LoanBreakdownBar::LoanBreakdownBar(QWidget* parent)
    : QWidget(parent)
{
    setFixedHeight(18);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void LoanBreakdownBar::setParts(const QList<Part>& parts, double total)
{
    m_parts = parts;
    m_total = total;
    update();
}

QList<double> LoanBreakdownBar::widths(double width) const
{
    const double t = m_total > 1 ? m_total : 1.0;
    QList<double> out;
    out.reserve(m_parts.size());
    for (const Part& p : m_parts) {
        const double w = width * p.value / t;
        // A negative or undefined share draws nothing.
        out.append(std::isfinite(w) && w > 0 ? w : 0.0);
    }
    return out;
}

QSize LoanBreakdownBar::sizeHint() const
{
    return QSize(200, 18);
}

void LoanBreakdownBar::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = rect();
    QPainterPath capsule;
    capsule.addRoundedRect(r, r.height() / 2, r.height() / 2);
    p.setClipPath(capsule);
    const QList<double> w = widths(r.width());
    double x = r.left();
    for (int i = 0; i < m_parts.size(); ++i) {
        const double width = std::min(w.at(i), r.right() - x);
        if (width > 0)
            p.fillRect(QRectF(x, r.top(), width, r.height()), m_parts.at(i).color);
        x += width;
    }
}
