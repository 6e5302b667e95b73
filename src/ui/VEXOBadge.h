#pragma once

// The maker badge: a small red capsule reading "VEXO", in every tool header,
// the floating menu's grip and the Settings header.

#include <QWidget>

class VEXOBadge : public QWidget {
    Q_OBJECT
public:
    explicit VEXOBadge(bool small = true, QWidget* parent = nullptr);

    bool isSmall() const { return m_small; }
    // The face of the letters, and the badge's size: fixed, it needs no
    // font to lay out.
    static QFont letterFont(bool small);
    static QSize designSize(bool small);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_small;
};
