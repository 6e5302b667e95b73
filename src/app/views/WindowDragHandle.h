#pragma once

#include <QPoint>
#include <QWidget>

// The floating menu's grip: the maker badge with a handle over it; pressing
// and dragging on it moves the panel (through the window system's own move
// where it offers one, else by following the mouse).
class WindowDragHandle : public QWidget {
    Q_OBJECT
public:
    explicit WindowDragHandle(bool largeBadge, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

    // Starts moving the window from a press at `globalPos`; false when the
    // widget is in no window. Tests call it directly.
    bool beginDrag(const QPoint& globalPos);
    bool isFollowingMouse() const { return m_following; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QWidget* m_badge = nullptr;
    bool m_following = false;
    QPoint m_offset;
};
