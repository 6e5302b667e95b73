#pragma once

#include <QWidget>

// The six goal colours as 16-point circles in palette order; the chosen one
// carries an ink ring. A click chooses a colour.
class GoalSwatches : public QWidget {
    Q_OBJECT
public:
    static constexpr int kDiameter = 16;
    static constexpr int kSpacing = 6;

    explicit GoalSwatches(QWidget* parent = nullptr);

    // The ringed position; any value outside 0...5 rings none.
    qint64 current() const { return m_current; }
    void setCurrent(qint64 index);
    QRect swatchRect(int position) const;

    QSize sizeHint() const override;

Q_SIGNALS:
    void chosen(int position);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    qint64 m_current = 0;
};
