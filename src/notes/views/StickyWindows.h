#pragma once

#include "notes/StickyWindowHost.h"

#include <QHash>
#include <QPointer>
#include <optional>

class StickyStore;
class QWidget;
class StickyWindow;

// The note windows of one store, one per note id: made on the note's first
// show, kept while it is hidden, destroyed when it is deleted.
class StickyWindows : public StickyWindowHost {
public:
    explicit StickyWindows(StickyStore& store);
    ~StickyWindows() override;

    // The windows of the shared store, attached to it on first use.
    static StickyWindows& shared();

    // The snapshot mode: the shared store's visible notes shown, and the
    // window of the first of them (nothing without one).
    static QWidget* snapshotWindow();

    // The screens as the window system reports them now.
    static StickyScreens currentScreens();
    // Tests: place windows against these screens instead.
    void setScreensOverride(const std::optional<StickyScreens>& screens) { m_screens = screens; }

    StickyWindow* window(const QUuid& id) const;
    qsizetype count() const { return m_windows.size(); }

    StickyScreens screens() const override;
    bool hasWindow(const QUuid& id) const override;
    void makeWindow(const QUuid& id, const QRectF& frame, int shownColor, bool onTop) override;
    void orderFront(const QUuid& id) override;
    void orderOut(const QUuid& id) override;
    void setColor(const QUuid& id, int shownColor) override;
    void setOnTop(const QUuid& id, bool onTop) override;
    void removeWindow(const QUuid& id) override;

private:
    StickyStore& m_store;
    QHash<QUuid, QPointer<StickyWindow>> m_windows;
    std::optional<StickyScreens> m_screens;
};
