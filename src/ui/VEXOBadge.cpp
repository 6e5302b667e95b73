#include "ui/VEXOBadge.h"

#include "ui/Chrome.h"
#include "ui/ChromeShape.h"
#include "ui/Fonts.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QPainter>

namespace {

QString badgeText()
{
    return QCoreApplication::translate("VEXOBadge", "VEXO");
}

} // namespace

VEXOBadge::VEXOBadge(bool small, QWidget* parent) : QWidget(parent), m_small(small)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    const QString maker = QStringLiteral("Corvandel Softworks");
    setToolTip(maker);
    setAccessibleName(maker);
}

QFont VEXOBadge::badgeFont() const
{
    QFont f = Fonts::system(m_small ? 9 : 11, QFont::Black, Fonts::Design::Rounded);
    Fonts::setTracking(f, 1.2);
    return f;
}

QSize VEXOBadge::sizeHint() const
{
    const QFontMetricsF fm(badgeFont());
    // Tracking adds space after the last letter too; the padding is measured
    // from the glyphs.
    const qreal w = fm.horizontalAdvance(badgeText()) + 2 * (m_small ? 6 : 8);
    const qreal h = fm.height() + 2 * (m_small ? 2 : 3);
    return QSize(int(std::ceil(w)), int(std::ceil(h)));
}

void VEXOBadge::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect());
    const auto capsule = ChromeShape::Outline::capsule();
    QLinearGradient fill(r.topLeft(), r.bottomLeft());
    fill.setColorAt(0.0, Chrome::toColor(ChromeColors::cherry, 0.85));
    fill.setColorAt(1.0, QColor::fromRgbF(0.45f, 0.02f, 0.08f));
    p.fillPath(capsule.path(r), fill);
    p.strokePath(capsule.insetPath(r, 0.75), QPen(QBrush(Chrome::rim(r)), 1.5));
    p.setFont(badgeFont());
    p.setPen(Qt::white);
    // Centre the letters without the trailing tracking.
    const qreal tracking = m_small ? 1.2 : 1.2;
    p.drawText(r.adjusted(tracking / 2, 0, tracking / 2, 0), Qt::AlignCenter | Qt::TextSingleLine, badgeText());
}
