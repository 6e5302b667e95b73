#pragma once

// A calculator key (the chrome key style): a capsule of chrome filling the
// whole size its layout gives it, with a bold rounded 19-point label in ink or
// the key's tint, one line, shrinking to 0.45 of its size before it is elided.

#include "ui/TextLine.h"

#include <QColor>
#include <QPushButton>
#include <optional>

class ChromeKey : public QPushButton {
    Q_OBJECT
public:
    explicit ChromeKey(const QString& label = QString(), QWidget* parent = nullptr);
    ChromeKey(const QString& label, std::optional<QColor> tint, QWidget* parent = nullptr);

    std::optional<QColor> tint() const { return m_tint; }
    void setTint(std::optional<QColor> tint);
    QColor labelColor() const;
    // Another label face for this key, at `size` layout units; it shrinks to
    // fit like the standard one.
    void setLabelFont(const QFont& base, qreal size);

    // The label's font after shrinking to fit `width` (bold rounded, 19 down
    // to 0.45 × 19), and whether it still has to be elided.
    static QFont fittedFont(const QString& label, qreal width, bool* elided = nullptr);
    // The same for a label face `base` at `size` layout units.
    static QFont fittedFont(const QString& label, qreal width, const QFont& base, qreal size, bool* elided = nullptr);
    static constexpr qreal labelSize = 19.0;
    static constexpr qreal minimumScale = 0.45;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;

private:
    std::optional<QColor> m_tint;
    std::optional<QFont> m_labelFont;
    qreal m_labelSize = labelSize;
    // The label as last drawn, and the text, face and width it was fitted
    // for.
    TextLine m_shown;
    QString m_shownLabel;
    QFont m_shownBase;
    qreal m_shownWidth = -1;
};
