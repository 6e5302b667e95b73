#pragma once

#include "planner/TimelineLayout.h"

#include <QDateTime>
#include <QFont>
#include <QRectF>

class QPainter;

// Paints a TimelineLayout in surface coordinates: the month divisions and
// labels, the "Today" line at `now`, then each goal's bar (track, fill,
// label, selection border) followed by its milestone diamonds. Only what
// touches `exposed` is drawn.
namespace TimelinePainter {

QFont monthFont();
QFont todayFont();
QFont barFont();

// How far right the drawing reaches: the layout's width, or the end of the
// last month label when it runs past it (a month starting on the last day).
qreal contentRight(const TimelineLayout& layout);

void paint(QPainter& painter, const TimelineLayout& layout, const QRectF& exposed, const QDateTime& now);

} // namespace TimelinePainter
