#pragma once

// The maker badge: a small red capsule reading "VEXO", in every tool header,
// the floating menu's grip and the Settings header.

#include <QWidget>

class VEXOBadge : public QWidget {
    Q_OBJECT
public:
    explicit VEXOBadge(bool small = true, QWidget* parent = nullptr);

    bool isSmall() const { return m_small; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QFont badgeFont() const;
    bool m_small;
};
