#pragma once

#include <QWidget>

// The input level: a faint track capsule and, from the leading edge, a bar
// as long as the level (0...1) with a seafoam–yellow–cherry gradient.
class RecorderLevelMeter : public QWidget {
    Q_OBJECT
public:
    static constexpr int kHeight = 10;

    explicit RecorderLevelMeter(QWidget* parent = nullptr);

    float level() const { return m_level; }
    void setLevel(float level);
    // The bar's width at the current size.
    qreal barWidth() const;

    QSize sizeHint() const override { return {200, kHeight}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    float m_level = 0;
};
