#include "planner/views/TimelinePainter.h"

#include "ui/Chrome.h"
#include "ui/ChromeShape.h"
#include "ui/Fonts.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <QPainterPath>
#include <QPen>
#include <QPolygonF>

namespace TimelinePainter {

namespace {

using Outline = ChromeShape::Outline;

void paintAxis(QPainter& p, const TimelineLayout& l, const QRectF& exposed, const QDateTime& now)
{
    const QFont font = monthFont();
    const QFontMetricsF fm(font);
    p.setFont(font);
    const QPen line(QColor::fromRgbF(0, 0, 0, 0.12f), 1);
    const QColor secondary = QColor::fromRgbF(0, 0, 0, 0.5f);
    for (const TimelineLayout::Month& m : l.months) {
        const qreal labelRight = m.x + 4 + fm.horizontalAdvance(m.label);
        if (m.x > exposed.right() + 1 || labelRight < exposed.left() - 1)
            continue;
        p.setPen(line);
        p.drawLine(QPointF(m.x, 0), QPointF(m.x, l.height));
        p.setPen(secondary);
        p.drawText(QPointF(m.x + 4, 12 - (fm.ascent() + fm.descent()) / 2 + fm.ascent()), m.label);
    }

    const qreal x = l.todayX(now);
    QPen dashed(Chrome::cherry(), 2, Qt::CustomDashLine, Qt::FlatCap, Qt::MiterJoin);
    dashed.setDashPattern({5.0 / 2, 3.0 / 2}); // in pen widths
    dashed.setMiterLimit(10);
    p.setPen(dashed);
    p.drawLine(QPointF(x, TimelineLayout::kTodayTop), QPointF(x, l.height));
    const QFont tf = todayFont();
    const QFontMetricsF tfm(tf);
    p.setFont(tf);
    p.setPen(Chrome::cherry());
    p.drawText(QPointF(x + 3, 28 - (tfm.ascent() + tfm.descent()) / 2 + tfm.ascent()), QStringLiteral("Today"));
}

void paintBar(QPainter& p, const TimelineLayout::Bar& b, const QColor& colour, const QFont& font,
              const QFontMetricsF& fm)
{
    ChromeShape::paint(p, b.rect, Outline::capsule(), false, true);
    if (b.fill.width() > 0) {
        QColor fill = colour;
        fill.setAlphaF(0.85f);
        p.fillPath(Outline::capsule().path(b.fill), fill);
    }
    if (b.labelRect.width() > 0) {
        const QString text = fm.elidedText(b.label, Qt::ElideRight, b.labelRect.width());
        const qreal baseline = b.labelRect.center().y() - (fm.ascent() + fm.descent()) / 2 + fm.ascent();
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(QPointF(b.labelRect.left(), baseline + 1), text);
        p.setPen(Chrome::ink());
        p.drawText(QPointF(b.labelRect.left(), baseline), text);
    }
    if (b.selected)
        p.strokePath(Outline::capsule().insetPath(b.rect, 1), QPen(Chrome::cherry(), 2));
}

void paintMark(QPainter& p, const TimelineLayout::Mark& m, const QColor& colour)
{
    const QPointF c = m.square.center();
    const qreal h = m.reach();
    const QPolygonF diamond({QPointF(c.x(), c.y() - h), QPointF(c.x() + h, c.y()), QPointF(c.x(), c.y() + h),
                             QPointF(c.x() - h, c.y())});
    p.setPen(QPen(Chrome::ink(), 1.2));
    p.setBrush(m.done ? colour : QColor(Qt::white));
    p.drawPolygon(diamond);
}

} // namespace

QFont monthFont()
{
    return Fonts::system(10, QFont::Bold, Fonts::Design::Rounded);
}

QFont todayFont()
{
    return Fonts::system(10, QFont::Black);
}

QFont barFont()
{
    return Fonts::system(11, QFont::Black, Fonts::Design::Rounded);
}

qreal contentRight(const TimelineLayout& l)
{
    const QFontMetricsF fm(monthFont());
    qreal right = l.width;
    for (const TimelineLayout::Month& m : l.months)
        right = std::max(right, m.x + 4 + fm.horizontalAdvance(m.label));
    return right;
}

void paint(QPainter& p, const TimelineLayout& l, const QRectF& exposed, const QDateTime& now)
{
    p.save();
    paintAxis(p, l, exposed, now);
    const QFont font = barFont();
    const QFontMetricsF fm(font);
    const QList<QColor>& palette = Chrome::goalColors();
    const auto [first, last] = l.rowsIn(exposed.top(), exposed.bottom());
    for (qsizetype i = first; i < last; ++i) {
        const TimelineLayout::Bar& b = l.bars.at(i);
        const QColor colour = palette.value(b.colorSlot, palette.value(0));
        // The shadow and the diamonds reach a little beyond the track.
        if (b.rect.adjusted(-4, -4, 4, 4).intersects(exposed))
            paintBar(p, b, colour, font, fm);
        for (const TimelineLayout::Mark& m : b.marks) {
            if (m.square.adjusted(-3, -3, 3, 3).intersects(exposed))
                paintMark(p, m, colour);
        }
    }
    p.restore();
}

} // namespace TimelinePainter
