#pragma once

#include <QFont>
#include <QLabel>

// A one-line label that shrinks its font, down to a given fraction of the
// base size, so that its text fits the width it has; text that still does not
// fit is cut at the leading side, keeping the end (the digits that matter) in
// view. Selection by mouse works as in any label; a copyable label also
// copies by keyboard, from its context menu and from the Edit menu.
class FitLabel : public QLabel {
    Q_OBJECT
public:
    explicit FitLabel(QWidget* parent = nullptr);

    void setBaseFont(const QFont& font);
    QFont baseFont() const { return m_base; }
    void setMinimumScale(qreal scale);
    qreal minimumScale() const { return m_minScale; }

    // The height of the line, given instead of measured from the base font
    // (0: measured).
    void setLineHeight(int height);

    // Use instead of setText so the font is fitted anew.
    void setFittedText(const QString& text);
    // The font size now applied, as a fraction of the base size.
    qreal currentScale() const { return m_scale; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // Selectable by mouse and keyboard, taking focus on a click.
    void setCopyable(bool copyable);

public Q_SLOTS:
    // The selection, or the whole text when nothing is selected, as plain
    // text on the clipboard (whatever it held before is cleared).
    void copy();
    void selectAll();
    bool validateAction(const QString& action) const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void refit();
    void fillDocument();

    QFont m_base;
    qreal m_minScale = 0.4;
    qreal m_scale = 1;
    int m_lineHeight = 0;
};
