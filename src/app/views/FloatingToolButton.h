#pragma once

#include "core/Tool.h"

#include <QAbstractButton>

class QVariantAnimation;

// One round tool button of the floating menu. It paints its icon itself,
// grown by 1.08 about its centre while it is the hovered tool (eased out
// over 0.12 s); the growth may reach past its own rectangle, so it paints
// through its parent (FloatingMenuView::paintEvent calls paintIcon).
class FloatingToolButton : public QAbstractButton {
    Q_OBJECT
public:
    FloatingToolButton(Tool tool, qreal iconSize, QWidget* parent = nullptr);

    Tool tool() const { return m_tool; }
    qreal scale() const { return m_scale; }
    qreal targetScale() const { return m_target; }
    // Grows or shrinks to `scale`, animated.
    void animateTo(qreal scale);

    // Paints the icon, scaled, in the parent's coordinates.
    void paintIcon(QPainter& painter) const;

    QSize sizeHint() const override;

    static constexpr qreal hoverScale = 1.08;
    static constexpr int animationMs = 120;

Q_SIGNALS:
    void entered(Tool tool);
    void left(Tool tool);

protected:
    void paintEvent(QPaintEvent*) override {}
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    Tool m_tool;
    qreal m_iconSize;
    qreal m_scale = 1.0;
    qreal m_target = 1.0;
    QVariantAnimation* m_animation = nullptr;
};
