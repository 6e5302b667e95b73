#pragma once

#include "planner/StudyGoal.h"

#include <QDateTime>
#include <QList>
#include <QLocale>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QTimeZone>
#include <QUuid>
#include <optional>

// Where everything of the timeline drawing goes, worked out without widgets:
// the date span, the surface size, a month division per month start, the
// "Today" line, one bar per goal (track, progress fill, label) on a row of
// its own and a diamond per milestone just below its bar. Coordinates are
// those of the drawing surface: x to the right from the span's first day, y
// down from the top of the month band. The canvas adds its outer padding.
struct TimelineLayout {
    static constexpr qreal kPadding = 10;
    static constexpr qreal kRowHeight = 46;
    static constexpr qreal kAxisHeight = 34;
    static constexpr qreal kExtraHeight = 10;
    static constexpr qreal kBarHeight = 26;
    static constexpr qreal kMinBarWidth = 24;
    static constexpr qreal kFillInset = 3;
    static constexpr qreal kLabelInset = 10;
    static constexpr qreal kMarkSize = 11;
    static constexpr qreal kMarkTop = 28;
    static constexpr qreal kTodayTop = 22;

    struct Month {
        qreal x = 0;
        QString label;
    };

    struct Mark {
        QUuid id;
        QRectF square; // the unturned 11 x 11 square; drawn turned 45 degrees about its centre
        bool done = false;
        // Half the diagonal of the turned square: the diamond's reach from its centre.
        qreal reach() const;
        bool contains(const QPointF& p) const;
    };

    struct Bar {
        QUuid goalId;
        QRectF rect;   // the track
        QRectF fill;   // the progress fill (may be 0 wide)
        QRectF labelRect;
        QString label; // "title  NN%"
        int colorSlot = 0;
        bool selected = false;
        QList<Mark> marks;
    };

    QTimeZone zone;
    QLocale locale;
    QDateTime lo;
    QDateTime hi;
    qint64 days = 0;
    qreal dayWidth = 8;
    qreal rowHeight = kRowHeight;
    qreal axisHeight = kAxisHeight;
    qreal width = 0;
    qreal height = 0;
    QString monthFormat;
    QList<Month> months;
    QList<StudyGoal> goals; // the drawn goals, bar i shows goals[i]
    QList<Bar> bars;

    // Lays out `goals` (already filtered and in drawing order) at `dayWidth`
    // points per day, as seen at `now` in `zone`.
    static TimelineLayout build(const QList<StudyGoal>& goals, const std::optional<QUuid>& selected, qreal dayWidth,
                                const QDateTime& now, const QTimeZone& zone, const QLocale& locale = QLocale(),
                                qreal rowHeight = kRowHeight, qreal axisHeight = kAxisHeight);

    // The left edge of the day of `date`.
    qreal x(const QDateTime& date) const;
    // The "Today" line at the moment `now`: its share of the span times the width.
    qreal todayX(const QDateTime& now) const;
    // Top of row i.
    qreal rowY(qsizetype i) const { return qreal(i) * rowHeight + axisHeight; }
    // Rows that may draw into the band y0...y1 (first, one past last).
    std::pair<qsizetype, qsizetype> rowsIn(qreal y0, qreal y1) const;

    // The goal whose bar is under `p`; nothing over a milestone mark or empty surface.
    std::optional<QUuid> goalAt(const QPointF& p) const;
    // The tooltip of the bar or mark under `p` ("" for none), statuses judged at `now`.
    QString toolTipAt(const QPointF& p, const QDateTime& now) const;
    QString barToolTip(qsizetype i, const QDateTime& now) const;
    QString markToolTip(qsizetype i, qsizetype j) const;
    // A date as the tooltips show it (abbreviated, no time).
    QString shortDate(const QDateTime& date) const;

private:
    enum class HitKind { none, bar, mark };
    struct Hit {
        HitKind kind = HitKind::none;
        qsizetype bar = -1;
        qsizetype mark = -1;
    };
    Hit hit(const QPointF& p) const;
};
