#include "notes/views/StickyWindows.h"

#include "notes/StickyPalette.h"
#include "notes/StickyStore.h"
#include "notes/views/StickyNoteView.h"
#include "notes/views/StickyWindow.h"
#include "notes/views/StickyWindowDelegate.h"
#include "ui/Alert.h"
#include "ui/Chrome.h"

#include <QGuiApplication>
#include <QScreen>

StickyWindows::StickyWindows(StickyStore& store) : m_store(store)
{
    m_store.setWindowHost(this);
    // Notes float; the questions they and the other windows ask must not be
    // hidden behind them.
    keepDialogsInFront();
}

StickyWindows::~StickyWindows()
{
    if (m_store.windowHost() == this)
        m_store.setWindowHost(nullptr);
    for (const QPointer<StickyWindow>& w : std::as_const(m_windows))
        delete w.data();
}

StickyWindows& StickyWindows::shared()
{
    // Never destroyed: the windows go with the process.
    static StickyWindows* windows = new StickyWindows(StickyStore::shared());
    return *windows;
}

QWidget* StickyWindows::snapshotWindow()
{
    StickyWindows& windows = shared();
    StickyStore& store = StickyStore::shared();
    store.restoreWindows();
    for (const StickyNote& n : store.notes()) {
        if (n.visible)
            return windows.window(n.id);
    }
    return nullptr;
}

StickyScreens StickyWindows::currentScreens()
{
    StickyScreens s;
    if (QScreen* primary = QGuiApplication::primaryScreen()) {
        s.primary = QRectF(primary->geometry());
        s.mainVisible = QRectF(primary->availableGeometry());
    }
    for (QScreen* screen : QGuiApplication::screens())
        s.available.append(QRectF(screen->availableGeometry()));
    return s;
}

StickyScreens StickyWindows::screens() const
{
    return m_screens ? *m_screens : currentScreens();
}

StickyWindow* StickyWindows::window(const QUuid& id) const
{
    return m_windows.value(id).data();
}

bool StickyWindows::hasWindow(const QUuid& id) const
{
    return window(id) != nullptr;
}

void StickyWindows::makeWindow(const QUuid& id, const QRectF& frame, int shownColor, bool onTop)
{
    auto* w = new StickyWindow;
    w->setNoteID(id);
    // The window tells what happens to it; the delegate turns that into
    // changes of the note.
    QObject::connect(w, &StickyWindow::frameReported, w, [this, w](const QRect& geometry) {
        StickyWindowDelegate::shared().report(m_store, w->noteID(), geometry, screens().primary);
    });
    QObject::connect(w, &StickyWindow::closeRequested, w,
                     [this, w] { StickyWindowDelegate::shared().windowShouldClose(m_store, w->noteID()); });
    w->setNoteColor(Chrome::toColor(StickyPalette::colors().value(shownColor)));
    if (onTop)
        w->setOnTop(true);
    auto* view = new StickyNoteView(id, m_store, w);
    view->setMouseTracking(true);
    view->header()->setMouseTracking(true);
    w->setCentralWidget(view);
    w->setGeometry(frame.toRect());
    m_windows.insert(id, w);
    w->orderFront();
    w->setReporting(true);
}

void StickyWindows::orderFront(const QUuid& id)
{
    if (StickyWindow* w = window(id))
        w->orderFront();
}

void StickyWindows::orderOut(const QUuid& id)
{
    if (StickyWindow* w = window(id))
        w->hide();
}

void StickyWindows::setColor(const QUuid& id, int shownColor)
{
    if (StickyWindow* w = window(id))
        w->setNoteColor(Chrome::toColor(StickyPalette::colors().value(shownColor)));
}

void StickyWindows::setOnTop(const QUuid& id, bool onTop)
{
    if (StickyWindow* w = window(id))
        w->setOnTop(onTop);
}

void StickyWindows::removeWindow(const QUuid& id)
{
    if (StickyWindow* w = m_windows.take(id).data()) {
        w->hide();
        // The delete button that asked for this may still be on the stack.
        w->deleteLater();
    }
}
