#pragma once

#include <QTimer>
#include <QWidget>

class QPainter;

// A small indeterminate progress indicator: twelve spokes turning while
// the widget is shown.
class RecorderSpinner : public QWidget {
    Q_OBJECT
public:
    explicit RecorderSpinner(QWidget* parent = nullptr);
    QSize sizeHint() const override { return {16, 16}; }
    bool isSpinning() const { return m_timer.isActive(); }
    // The twelve spokes around `centre`, the newest at `step` (0...11).
    static void paintSpokes(QPainter& painter, const QPointF& centre, int step);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QTimer m_timer;
    int m_step = 0;
};
