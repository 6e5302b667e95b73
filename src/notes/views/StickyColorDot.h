#pragma once

#include <QAbstractButton>
#include <QColor>

// A round colour swatch that can be clicked: filled with its colour, ringed
// inside its edge with a pen that marks whether it is the selected one.
class StickyColorDot : public QAbstractButton {
    Q_OBJECT
public:
    StickyColorDot(int diameter, const QColor& fill, QWidget* parent = nullptr);

    QColor fill() const { return m_fill; }
    QColor ringColor() const { return m_ring; }
    qreal ringWidth() const { return m_ringWidth; }
    void setRing(const QColor& color, qreal width);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_diameter;
    QColor m_fill;
    QColor m_ring = QColor(0, 0, 0, 51);
    qreal m_ringWidth = 1;
};
