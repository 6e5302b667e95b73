#pragma once

#include <QWidget>

class QScrollArea;
class TimelineModel;
class TimelineSurface;

// The timeline on its cream rounded panel: the drawing in a scroll area that
// scrolls both ways. Follows every change of the model's goals, selection,
// filter and zoom at once.
class TimelineCanvas : public QWidget {
    Q_OBJECT
public:
    static constexpr int kMinHeight = 260;
    static constexpr qreal kCornerRadius = 14;
    static constexpr qreal kRimWidth = 1.2;

    explicit TimelineCanvas(TimelineModel* model, QWidget* parent = nullptr);

    TimelineSurface* surface() const { return m_surface; }
    QScrollArea* scrollArea() const { return m_scroll; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QScrollArea* m_scroll = nullptr;
    TimelineSurface* m_surface = nullptr;
};
