#pragma once

// The round icon of a tool: its button art clipped to a circle with a rim of
// size/22 (at least 1), or a chrome circle with the tool's symbol painted in a
// gradient of its tint.

#include "core/Tool.h"

#include <QWidget>

class QPainter;

class ToolIcon : public QWidget {
    Q_OBJECT
public:
    explicit ToolIcon(Tool tool, qreal size = 26, QWidget* parent = nullptr);

    Tool tool() const { return m_tool; }
    void setTool(Tool tool);
    qreal iconSize() const { return m_size; }
    void setIconSize(qreal size);

    // Rim width of the art variant.
    static qreal artRimWidth(qreal size);
    // Paints the icon into the square `rect` (any painter, e.g. menus).
    static void paint(QPainter& painter, Tool tool, const QRectF& rect);
    // The icon as a pixmap (menus, tray).
    static QPixmap pixmap(Tool tool, int size, qreal devicePixelRatio = 1.0);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Tool m_tool;
    qreal m_size;
};
