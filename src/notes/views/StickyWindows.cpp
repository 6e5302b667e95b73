#include "notes/views/StickyWindows.h"

#include "notes/StickyPalette.h"
#include "notes/StickyStore.h"
#include "notes/views/StickyLightWindow.h"
#include "notes/views/StickyNoteView.h"
#include "notes/views/StickyWindow.h"
#include "notes/views/StickyWindowDelegate.h"
#include "ui/Alert.h"
#include "ui/Chrome.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

StickyWindows::StickyWindows(StickyStore& store) : m_store(store), m_picture(store)
{
    m_store.setWindowHost(this);
    // Notes float; the questions they and the other windows ask must not be
    // hidden behind them.
    keepDialogsInFront();
    // A light window shows the note as it is now; a text grown longer than
    // the note shows needs the full window, which scrolls.
    m_noteChanged = QObject::connect(&m_store, &StickyStore::noteChanged, [this](const QUuid& id) {
        if (StickyLightWindow* light = lightWindow(id); light && !draw(light))
            wake(id);
    });
}

StickyWindows::~StickyWindows()
{
    QObject::disconnect(m_noteChanged);
    if (m_store.windowHost() == this)
        m_store.setWindowHost(nullptr);
    for (const QPointer<StickyWindow>& w : std::as_const(m_windows))
        delete w.data();
    for (const QPointer<StickyLightWindow>& w : std::as_const(m_light))
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

StickyWindow* StickyWindows::window(const QUuid& id)
{
    if (m_light.contains(id))
        wake(id);
    return m_windows.value(id).data();
}

bool StickyWindows::hasWindow(const QUuid& id) const
{
    return m_windows.value(id) || m_light.value(id);
}

void StickyWindows::makeWindow(const QUuid& id, const QRectF& frame, int shownColor, bool onTop)
{
    const std::optional<StickyNote> note = m_store.note(id);
    if (!m_lightAllowed || !note || note->text.isEmpty() || !StickyLightWindow::isAvailable()) {
        makeFullWindow(id, frame.toRect(), shownColor, onTop);
        return;
    }
    auto* light = new StickyLightWindow(id, frame.toRect(), onTop);
    if (!draw(light)) {
        delete light;
        makeFullWindow(id, frame.toRect(), shownColor, onTop);
        return;
    }
    QObject::connect(light, &StickyLightWindow::wakeRequested, light, [this, id] { wake(id); });
    QObject::connect(light, &StickyLightWindow::closeRequested, light,
                     [this, id] { StickyWindowDelegate::shared().windowShouldClose(m_store, id); });
    m_light.insert(id, light);
    light->show();
    light->raise();
}

void StickyWindows::wake(const QUuid& id)
{
    QPointer<StickyLightWindow> light = m_light.take(id);
    if (!light)
        return;
    const std::optional<StickyNote> note = m_store.note(id);
    makeFullWindow(id, light->geometry(), StickyPalette::shownIndex(note ? note->colorIndex : 0), light->isOnTop());
    StickyWindow* full = m_windows.value(id);
    if (!light->isVisible() && full)
        full->hide();
    // A click that woke the picture, and the keys after it, reach the note.
    if (full)
        light->passInputTo(quint32(full->winId()));
    // The picture stays under the full window until that has painted.
    light->retire(150);
}

bool StickyWindows::draw(StickyLightWindow* light)
{
    const QImage picture = m_picture.draw(light->noteID(), light->size());
    if (picture.isNull())
        return false;
    light->setPicture(picture, m_picture.headerKey(), m_picture.headerRows(), m_picture.contentRows());
    return true;
}

void StickyWindows::makeFullWindow(const QUuid& id, const QRect& frame, int shownColor, bool onTop)
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
    w->setGeometry(frame);
    m_windows.insert(id, w);
    w->orderFront();
    w->setReporting(true);
}

void StickyWindows::orderFront(const QUuid& id)
{
    if (StickyLightWindow* light = lightWindow(id)) {
        light->show();
        light->raise();
    } else if (StickyWindow* w = window(id)) {
        w->orderFront();
    }
}

void StickyWindows::orderOut(const QUuid& id)
{
    if (StickyLightWindow* light = lightWindow(id))
        light->hide();
    else if (StickyWindow* w = window(id))
        w->hide();
}

void StickyWindows::setColor(const QUuid& id, int shownColor)
{
    // A light window is drawn again when the note tells of the change.
    if (!m_light.contains(id)) {
        if (StickyWindow* w = window(id))
            w->setNoteColor(Chrome::toColor(StickyPalette::colors().value(shownColor)));
    }
}

void StickyWindows::setOnTop(const QUuid& id, bool onTop)
{
    if (StickyLightWindow* light = lightWindow(id))
        light->setOnTop(onTop);
    else if (StickyWindow* w = window(id))
        w->setOnTop(onTop);
}

void StickyWindows::removeWindow(const QUuid& id)
{
    if (QPointer<StickyLightWindow> light = m_light.take(id)) {
        light->hide();
        light->deleteLater();
    }
    if (StickyWindow* w = m_windows.take(id).data()) {
        w->hide();
        // The delete button that asked for this may still be on the stack.
        w->deleteLater();
    }
}
