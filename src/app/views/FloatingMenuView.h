#pragma once

#include "core/Tool.h"

#include <QImage>
#include <QList>
#include <QWidget>
#include <optional>

class FloatingToolButton;
class QMenu;
class QToolButton;
class WindowDragHandle;

// The content of the floating tool menu: the grip, the twelve tools, a
// separator, the two games and the "More" menu, as a column or a row on a
// raised chrome surface; in the row, an optional caption line names the tool
// under the mouse.
class FloatingMenuView : public QWidget {
    Q_OBJECT
public:
    struct Options {
        bool vertical = false;
        bool largeButtons = true;
        bool showLabels = true;
        // The options as the settings hold them now.
        static Options current();
        friend bool operator==(const Options&, const Options&) = default;
    };

    explicit FloatingMenuView(const Options& options, QWidget* parent = nullptr);

    const Options& options() const { return m_options; }
    // The tool button under the mouse, if any.
    std::optional<Tool> hovered() const { return m_hovered; }
    // The caption's text (shown only in the row with labels on).
    QString captionText() const;
    bool showsCaption() const { return m_caption != nullptr; }

    FloatingToolButton* button(Tool tool) const;
    QList<FloatingToolButton*> buttons() const { return m_buttons; }
    WindowDragHandle* grip() const { return m_grip; }
    QToolButton* moreButton() const { return m_more; }
    QMenu* moreMenu() const { return m_moreMenu; }
    QWidget* separator() const { return m_separator; }

    // The hover rule: entering a button names its tool; leaving clears the
    // name only while it still names that button's tool (moving straight
    // onto the next button keeps the new name).
    void toolEntered(Tool tool);
    void toolLeft(Tool tool);

    // The raised surface behind the buttons at the view's present size, at
    // `dpr` device pixels per pixel: drawn once, then kept (the panel's
    // shape is cut from it as well).
    QImage surface(qreal dpr) const;

    static qreal iconSize(bool largeButtons) { return largeButtons ? 46 : 34; }
    // The view's size in `options`, reckoned from the fixed sizes of its
    // parts without making them: the panel takes its size, and its shape,
    // from it before its content is made.
    static QSize naturalSize(const Options& options);
    // The line between the tools and the games, and the room it takes.
    static QSizeF separatorLine(bool vertical, qreal iconSize);
    static QSize separatorSize(bool vertical, qreal iconSize);
    // The "More" button's glyph, and the button's size (what its style
    // measures, fixed so that nothing is measured before it is made).
    static int moreGlyph(bool largeButtons) { return largeButtons ? 23 : 17; }
    static QSize moreSize(bool largeButtons);
    static QString defaultCaption();
    // The caption's face, and the caption's height: its line (14 in that
    // face) padded 3 above and 1 below for the engraved shadow. Fixed, so the
    // panel is laid out and shown before any font is loaded.
    static QFont captionFont();
    static constexpr int captionHeight = 18;

Q_SIGNALS:
    // The view has been drawn for the first time.
    void firstFrameDrawn();
    void hoveredChanged();
    // The context menu's "Hide Floating Menu".
    void hideRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void setHovered(std::optional<Tool> tool);
    QMenu* makeMoreMenu();
    QRectF surfaceRect() const;

    Options m_options;
    bool m_drawn = false;
    std::optional<Tool> m_hovered;
    QList<FloatingToolButton*> m_buttons;
    WindowDragHandle* m_grip = nullptr;
    QWidget* m_separator = nullptr;
    QToolButton* m_more = nullptr;
    QMenu* m_moreMenu = nullptr;
    QWidget* m_caption = nullptr;
    mutable QImage m_surface;
    bool m_dragging = false;
    QPoint m_dragOffset;
};
