#pragma once

#include "app/views/FloatingMenuView.h"

#include <QString>
#include <QTimer>
#include <QWidget>

// The floating tool menu's window: frameless, translucent, never taking
// keyboard focus or activating the application, above ordinary windows
// while "always on top" is on. Its size is fixed when it is made; its
// position is kept in the settings under its frame name once one is set.
// Its content, the menu view, is made when the panel is first shown (just
// after the window is, before anything is drawn) or first asked for.
class FloatingPanel : public QWidget {
    Q_OBJECT
public:
    explicit FloatingPanel(const FloatingMenuView::Options& options, bool alwaysOnTop);
    ~FloatingPanel() override;

    // The content, made now if it has not been yet.
    FloatingMenuView* view();
    bool hasView() const { return m_view != nullptr; }

    // Shown, the window goes to the window system at once and its content
    // is made, or shown again, just after: before the window is drawn.
    void setVisible(bool visible) override;

    // Floating above ordinary windows, or at the normal level. A visible
    // panel stays visible.
    void setAlwaysOnTop(bool on);
    bool isAlwaysOnTop() const;

    // Frame names: the position is saved under this settings key whenever
    // the panel moves; empty: not saved.
    void setFrameAutosaveName(const QString& name);
    QString frameAutosaveName() const { return m_frameName; }
    // Moves to the position saved under `name` when one is stored and still
    // lies on a screen; false otherwise.
    bool setFrameUsingName(const QString& name);
    void saveFrameNow();

    // Shows without activating the application or taking focus, on every
    // virtual desktop.
    void orderFront();

    // Without a compositing manager the translucent corners would show
    // black: the window is then cut to the shape of its content.
    void applyShape(bool compositing);
    // The pixels the content covers at least half opaquely.
    QRegion opaqueRegion();

Q_SIGNALS:
    // The content's: drawn for the first time; "Hide Floating Menu" chosen.
    void firstFrameDrawn();
    void hideRequested();

protected:
    void moveEvent(QMoveEvent* event) override;

private:
    void makeView();

    FloatingMenuView::Options m_options;
    FloatingMenuView* m_view = nullptr;
    QString m_frameName;
    QTimer m_saveTimer;
};
