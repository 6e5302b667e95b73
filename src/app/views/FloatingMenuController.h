#pragma once

#include "core/AppSettings.h"
#include "app/views/FloatingPanel.h"

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QSize>

// Owns the floating tool menu's panel: builds it in the current settings,
// shows and hides it, rebuilds it when its layout settings change and sets
// its level when "always on top" changes (the application delegate connects
// the settings to rebuild() and applyLevel()).
class FloatingMenuController : public QObject {
    Q_OBJECT
public:
    static FloatingMenuController& shared();

    FloatingPanel* panel() const { return m_panel; }
    bool isShowing() const;

    // Makes a new panel in the current settings, placed at its saved
    // position or by the first-show rules, replacing any previous one. Does
    // not show it.
    void build();
    // Hides a visible panel, else shows it (building one if there is none);
    // then refreshes the menus' Show/Hide titles.
    void toggle();
    // Shows the panel whatever its state (building one if needed) and
    // refreshes the titles: launch and reopen.
    void show();
    // The "More" menu's "Hide Floating Menu": hides, keeps the panel.
    void hide();

    // Floating level when on, normal level when off; nothing without a panel.
    void applyLevel(bool alwaysOnTop);
    // No panel: nothing. A visible one is replaced by a new one in the
    // current settings and the titles refreshed; a hidden one is dropped.
    void rebuild();

    // A standalone panel in `options`, for pictures of the menu; not saved,
    // not managed.
    static FloatingPanel* makePanel(const FloatingMenuView::Options& options);

    // "VEXO.FloatingMenu.v" or "VEXO.FloatingMenu.h".
    static QString frameName(bool vertical);
    // Where a panel of `size` first shows on a screen whose usable area is
    // `available`: the column 12 inside the right edge, centred top to
    // bottom; the row 10 below the top, centred left to right.
    static QPoint firstPlacement(const QSize& size, const QRect& available, bool vertical);

    // How many panels have been built (tests).
    int buildCount() const { return m_builds; }

Q_SIGNALS:
    // After every show, hide, toggle and rebuild.
    void showingChanged(bool showing);

private:
    FloatingMenuController() = default;
    void drop();

    QPointer<FloatingPanel> m_panel;
    int m_builds = 0;
};
