#pragma once

#include "planner/TimelineLayout.h"

#include <QWidget>

class TimelineModel;

// The drawing of the timeline inside the canvas's scroll area: month lines
// and labels, the dashed "Today" line, and a bar with its milestone diamonds
// per goal, all from one TimelineLayout. Paints only what the exposed area
// shows. A click on a bar selects its goal; clicks elsewhere do nothing.
class TimelineSurface : public QWidget {
    Q_OBJECT
public:
    explicit TimelineSurface(TimelineModel* model, QWidget* parent = nullptr);

    const TimelineLayout& layout() const { return m_layout; }
    // Lays the model out again (now, in the user's time zone) and repaints.
    void rebuild();
    // Surface point of a widget point (the outer padding removed).
    static QPointF toSurface(const QPointF& widgetPoint);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;

private:
    TimelineModel* m_model;
    TimelineLayout m_layout;
};
