#pragma once

// The push button of every tool (the chrome button style): a capsule of
// chrome under a rounded semibold label, ink or (prominent) cherry, with an
// engraved white shadow; compact is the smaller variant. A button may show a
// symbol image instead of (or before) its text, and may carry a pull-down
// menu (QPushButton::setMenu).

#include <QColor>
#include "ui/TextLine.h"

#include <QPushButton>
#include <QString>

class ChromeButton : public QPushButton {
    Q_OBJECT
    Q_PROPERTY(bool prominent READ isProminent WRITE setProminent)
    Q_PROPERTY(bool compact READ isCompact WRITE setCompact)
public:
    explicit ChromeButton(QWidget* parent = nullptr);
    explicit ChromeButton(const QString& text, QWidget* parent = nullptr);
    ChromeButton(const QString& text, bool prominent, bool compact, QWidget* parent = nullptr);

    bool isProminent() const { return m_prominent; }
    void setProminent(bool prominent);
    bool isCompact() const { return m_compact; }
    void setCompact(bool compact);

    // A symbol image drawn as (part of) the label, the size of text at
    // `pointSize` (0: the label's font size).
    void setSymbol(const QString& name, qreal pointSize = 0);
    QString symbol() const { return m_symbol; }
    // A fixed label size (the frame of icon buttons); invalid = natural size.
    void setLabelFrame(const QSize& size);
    // Whether a small chevron shows that the button opens a menu (default on
    // when a menu is set).
    void setMenuIndicatorVisible(bool visible);

    // Label colour: cherry when prominent, else ink.
    QColor labelColor() const;
    QFont labelFont() const;
    // The label as laid out in the label font.
    const TextLine& label() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;

private:
    bool m_prominent = false;
    bool m_compact = false;
    QString m_symbol;
    qreal m_symbolSize = 0;
    QSize m_labelFrame;
    bool m_menuIndicator = true;
    // The label laid out once, for measuring and drawing alike.
    mutable TextLine m_line;
};
