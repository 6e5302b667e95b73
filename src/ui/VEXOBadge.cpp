#include "ui/VEXOBadge.h"

#include "ui/AccessibleName.h"
#include "ui/Chrome.h"
#include "ui/ChromeShape.h"
#include "ui/Fonts.h"

#include <QCoreApplication>
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
    AccessibleName::setSoon(this, maker);
}

QFont VEXOBadge::letterFont(bool small)
{
    QFont f = Fonts::system(small ? 9 : 11, QFont::Black, Fonts::Design::Rounded);
    Fonts::setTracking(f, 1.2);
    return f;
}

QSize VEXOBadge::designSize(bool small)
{
    // "VEXO" in the badge's face is 29 (large: 34) wide, tracking after the
    // last letter included, and its line 12 (14) high; padded 6 (8) at the
    // sides and 2 (3) above and below. Fixed rather than measured: a window
    // holding the badge is laid out, and shown, before any font is loaded.
    return small ? QSize(41, 16) : QSize(50, 20);
}

QSize VEXOBadge::sizeHint() const
{
    return designSize(m_small);
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
    p.setFont(letterFont(m_small));
    p.setPen(Qt::white);
    // Centre the letters without the trailing tracking.
    const qreal tracking = m_small ? 1.2 : 1.2;
    p.drawText(r.adjusted(tracking / 2, 0, tracking / 2, 0), Qt::AlignCenter | Qt::TextSingleLine, badgeText());
}
