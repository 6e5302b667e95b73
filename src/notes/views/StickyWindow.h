#pragma once

#include "ui/SpellCheckingWindow.h"

#include <QPoint>
#include <QRect>
#include <QUuid>
#include <functional>
#include <optional>

// The window of one sticky note: frameless, in the note's colour, moved by
// dragging its background and resized from its edges and corners. Its text
// inputs follow the spell-checking window's field-editor rule. It tells its
// owner what happens to it through signals: it never closes on its own
// (except while the application quits), it asks to be closed.
class StickyWindow : public SpellCheckingWindow {
    Q_OBJECT
public:
    static constexpr int kMinimumWidth = 180;
    static constexpr int kMinimumHeight = 140;
    // How close to an edge a press starts a resize.
    static constexpr int kResizeMargin = 6;

    explicit StickyWindow(QWidget* parent = nullptr);

    std::optional<QUuid> noteID() const { return m_noteID; }
    void setNoteID(const QUuid& id) { m_noteID = id; }

    // Reports moves and resizes (frameReported) from now on.
    void setReporting(bool on) { m_reporting = on; }
    bool isReporting() const { return m_reporting; }

    void setNoteColor(const QColor& color);
    QColor noteColor() const;
    // Floating above ordinary windows or at the normal level; the window
    // keeps its place and stays shown or hidden as it was.
    void setOnTop(bool onTop);
    bool isOnTop() const;
    // Shows the window in front without taking the keyboard focus, on every
    // workspace of the desktop.
    void orderFront();
    // The workspace the window system keeps the window on: -1 for all of
    // them, or nothing where it does not say (not X11, not shown yet).
    std::optional<qint64> workspace() const;

    // While the application quits, the windows close without hiding their
    // notes, so the notes come back at the next start.
    static bool isApplicationQuitting();
    // While the application quits: `action` runs should the quit be given
    // up after all (and `owner` still exist).
    static void whenQuitGivenUp(QObject* owner, std::function<void()> action);

    // The edges (Qt::Edges) a press at `pos` (window coordinates) would
    // resize; none inside.
    Qt::Edges edgesAt(const QPoint& pos) const;

Q_SIGNALS:
    // The window moved or was resized while reporting and shown; `geometry`
    // in window-system coordinates.
    void frameReported(const QRect& geometry);
    // The window system or the close button asked the window to close; it
    // stays open and shown, its owner decides.
    void closeRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void report();
    // Asks the X11 window manager to show the window on every workspace:
    // through the window's own property before it is mapped, and through
    // the root window as well once it is (`mapped`).
    void joinAllWorkspaces(bool mapped);
    // The X11 id of the native window, made when there is none.
    quint32 nativeWindow() const;

    std::optional<QUuid> m_noteID;
    bool m_reporting = false;
    // Moving by hand where the window system offers no move of its own.
    bool m_following = false;
    QPoint m_offset;
};
