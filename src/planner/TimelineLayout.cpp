#include "planner/TimelineLayout.h"

#include "planner/GoalStatus.h"
#include "planner/TimelineMath.h"

#include <algorithm>
#include <cmath>

namespace {

// More than enough month starts for any span a calendar can hold; the walk
// stops here should the calendar ever stop advancing.
constexpr int kMaxMonths = 200000;

bool capsuleContains(const QRectF& r, const QPointF& p)
{
    if (!r.contains(p))
        return false;
    const qreal radius = std::min(r.width(), r.height()) / 2;
    const qreal cy = r.center().y();
    const qreal left = r.left() + radius;
    const qreal right = r.right() - radius;
    qreal dx = 0;
    if (p.x() < left)
        dx = left - p.x();
    else if (p.x() > right)
        dx = p.x() - right;
    const qreal dy = p.y() - cy;
    return dx * dx + dy * dy <= radius * radius;
}

} // namespace

qreal TimelineLayout::Mark::reach() const
{
    return square.width() / std::sqrt(2.0);
}

bool TimelineLayout::Mark::contains(const QPointF& p) const
{
    const QPointF d = p - square.center();
    return std::abs(d.x()) + std::abs(d.y()) <= reach();
}

TimelineLayout TimelineLayout::build(const QList<StudyGoal>& goals, const std::optional<QUuid>& selected,
                                     qreal dayWidth, const QDateTime& now, const QTimeZone& zone,
                                     const QLocale& locale, qreal rowHeight, qreal axisHeight)
{
    TimelineLayout l;
    l.zone = zone;
    l.locale = locale;
    l.goals = goals;
    l.dayWidth = dayWidth;
    l.rowHeight = rowHeight;
    l.axisHeight = axisHeight;
    std::tie(l.lo, l.hi) = TimelineMath::range(goals, now, zone);
    l.days = TimelineMath::daysBetween(l.lo, l.hi, zone);
    l.width = dayWidth * qreal(std::max<qint64>(l.days, 1));
    l.height = qreal(std::max<qsizetype>(goals.size(), 1)) * rowHeight + axisHeight + kExtraHeight;

    l.monthFormat = dayWidth > 5 ? QStringLiteral("MMM yyyy") : QStringLiteral("MMM yy");
    const QDate loDay = TimelineMath::dayOf(l.lo, zone);
    QDate month(loDay.year(), loDay.month(), 1);
    for (int n = 0; n < kMaxMonths && month.isValid(); ++n, month = month.addMonths(1)) {
        const QDateTime t = month.startOfDay(zone);
        if (!t.isValid() || t > l.hi)
            break;
        const qreal x = l.x(t);
        if (x >= 0)
            l.months.append(Month{x, locale.toString(month, l.monthFormat)});
    }

    l.bars.reserve(goals.size());
    for (qsizetype i = 0; i < goals.size(); ++i) {
        const StudyGoal& g = goals.at(i);
        Bar b;
        b.goalId = g.id;
        const qreal x = l.x(g.start);
        const qreal w = std::max(l.x(g.due) - x, kMinBarWidth);
        const qreal y = l.rowY(i);
        b.rect = QRectF(x, y, w, kBarHeight);
        const double progress = g.progress();
        // The fill grows with progress but stays inside the track's inset.
        const qreal fillW = std::clamp(qreal(progress) * w, qreal(0), w - 2 * kFillInset);
        b.fill = QRectF(x + kFillInset, y + kFillInset, fillW, kBarHeight - 2 * kFillInset);
        b.labelRect = QRectF(x + kLabelInset, y, std::max<qreal>(w - 2 * kLabelInset, 0), kBarHeight);
        // Joined, not formatted: a title may itself hold "%1" or "%2".
        b.label = g.title + QStringLiteral("  ") + QString::number(TimelineMath::wholePercent(progress))
            + QLatin1Char('%');
        b.colorSlot = g.paletteSlot();
        b.selected = selected && *selected == g.id;
        b.marks.reserve(g.milestones.size());
        for (const Milestone& m : g.milestones) {
            const QRectF sq(l.x(m.date) - kMarkSize / 2, y + kMarkTop, kMarkSize, kMarkSize);
            b.marks.append(Mark{m.id, sq, m.done});
        }
        l.bars.append(std::move(b));
    }
    return l;
}

qreal TimelineLayout::x(const QDateTime& date) const
{
    return dayWidth * qreal(TimelineMath::daysBetween(lo, date, zone));
}

qreal TimelineLayout::todayX(const QDateTime& now) const
{
    return qreal(TimelineMath::fraction(now, lo, hi)) * width;
}

std::pair<qsizetype, qsizetype> TimelineLayout::rowsIn(qreal y0, qreal y1) const
{
    // A row draws from its top to the bottom of its milestone diamonds.
    const qreal reach = kMarkTop + kMarkSize / 2 + kMarkSize / std::sqrt(2.0) + 1;
    const qsizetype n = bars.size();
    auto clampRow = [n](qreal v) { return qsizetype(std::clamp<qreal>(v, 0, qreal(n))); };
    const qsizetype first = clampRow(std::floor((y0 - axisHeight - reach) / rowHeight));
    const qsizetype last = clampRow(std::floor((y1 - axisHeight) / rowHeight) + 1);
    return {first, std::max(first, last)};
}

TimelineLayout::Hit TimelineLayout::hit(const QPointF& p) const
{
    // Later rows lie over earlier ones, and within a row the marks over the bar.
    const auto [first, last] = rowsIn(p.y(), p.y());
    for (qsizetype i = last - 1; i >= first; --i) {
        const Bar& b = bars.at(i);
        for (qsizetype j = b.marks.size() - 1; j >= 0; --j) {
            if (b.marks.at(j).contains(p))
                return Hit{HitKind::mark, i, j};
        }
        if (capsuleContains(b.rect, p))
            return Hit{HitKind::bar, i, -1};
    }
    return {};
}

std::optional<QUuid> TimelineLayout::goalAt(const QPointF& p) const
{
    const Hit h = hit(p);
    if (h.kind != HitKind::bar)
        return std::nullopt;
    return bars.at(h.bar).goalId;
}

QString TimelineLayout::toolTipAt(const QPointF& p, const QDateTime& now) const
{
    const Hit h = hit(p);
    switch (h.kind) {
    case HitKind::bar:
        return barToolTip(h.bar, now);
    case HitKind::mark:
        return markToolTip(h.bar, h.mark);
    case HitKind::none:
        break;
    }
    return QString();
}

QString TimelineLayout::shortDate(const QDateTime& date) const
{
    return locale.toString(date.toTimeZone(zone).date(), QStringLiteral("MMM d, yyyy"));
}

QString TimelineLayout::barToolTip(qsizetype i, const QDateTime& now) const
{
    const StudyGoal& g = goals.at(i);
    return g.title + QStringLiteral(" — ") + g.term.rawValue() + QStringLiteral(", due ") + shortDate(g.due)
        + QStringLiteral(" • ") + TimelineMath::status(g, now, zone).rawValue();
}

QString TimelineLayout::markToolTip(qsizetype i, qsizetype j) const
{
    const Milestone& m = goals.at(i).milestones.at(j);
    return m.title + QStringLiteral(" — ") + shortDate(m.date) + (m.done ? QStringLiteral(" ✓") : QString());
}
