#pragma once

#include "notes/StickyWindowHost.h"
#include "notes/views/StickyLightWindow.h"
#include "notes/views/StickyNotePicture.h"

#include <QHash>
#include <QImage>
#include <QObject>
#include <QPointer>
#include <memory>
#include <optional>

class StickyNoteView;
class StickyStore;
class QWidget;
class StickyWindow;

// The note windows of one store, one per note id: made on the note's first
// show, kept while it is hidden, destroyed when it is deleted. On an X
// server a note with text first comes up as a light window (a picture the
// server keeps) and becomes a full note window when the pointer first comes
// over it; an empty note comes up ready to type.
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

    // The full window of the note (a light one is woken first), or null.
    StickyWindow* window(const QUuid& id);
    // The note's light window while it has one.
    StickyLightWindow* lightWindow(const QUuid& id) const { return m_light.value(id).data(); }
    qsizetype count() const { return m_windows.size() + m_light.size(); }
    // Light windows where the window system allows them (on by default).
    void setLightWindows(bool on) { m_lightAllowed = on; }

    StickyScreens screens() const override;
    bool hasWindow(const QUuid& id) const override;
    void makeWindow(const QUuid& id, const QRectF& frame, int shownColor, bool onTop) override;
    void orderFront(const QUuid& id) override;
    void orderOut(const QUuid& id) override;
    void setColor(const QUuid& id, int shownColor) override;
    void setOnTop(const QUuid& id, bool onTop) override;
    void removeWindow(const QUuid& id) override;

private:
    void makeFullWindow(const QUuid& id, const QRect& frame, int shownColor, bool onTop);
    // The full window in place of the light one.
    void wake(const QUuid& id);
    // Gives the light window the picture of its note as the full window
    // would show it; false when there can be none (text to scroll).
    bool draw(StickyLightWindow* light);

    StickyStore& m_store;
    QHash<QUuid, QPointer<StickyWindow>> m_windows;
    QHash<QUuid, QPointer<StickyLightWindow>> m_light;
    bool m_lightAllowed = true;
    QMetaObject::Connection m_noteChanged;
    // Draws the pictures of light windows.
    StickyNotePicture m_picture;
    std::optional<StickyScreens> m_screens;
};
