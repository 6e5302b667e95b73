#include "notes/views/StickyWindow.h"

#include "notes/views/StickyX11.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>
#include <QWindow>
#include <xcb/xcb.h>
#include <cstdlib>
#include <functional>

namespace {

// Quitting closes every window first and gives up when one refuses. A note
// window lets itself be closed then, leaving its note as it is; should the
// quit be given up after all, the windows come back.
class QuitWatch : public QObject {
public:
    static QuitWatch& shared()
    {
        static QuitWatch* watch = new QuitWatch;
        return *watch;
    }

    bool quitting = false;
    QList<QPointer<StickyWindow>> closed;
    // What to do should the quit be given up, for other closed windows.
    QList<QPair<QPointer<QObject>, std::function<void()>>> onGivenUp;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != qApp || event->type() != QEvent::Quit || quitting)
            return false;
        // The application closes its windows while it handles the request,
        // and other windows may run events of their own as they close (a
        // recording being finished): the notes know the quit is on until the
        // request has been handled, and only then whether it was given up.
        quitting = true;
        static_cast<QObject*>(qApp)->event(event);
        quitting = false;
        // Only shown windows are closed, and closing them here left their
        // notes visible: a quit given up brings each of them back.
        const QList<QPointer<StickyWindow>> windows = std::exchange(closed, {});
        const auto others = std::exchange(onGivenUp, {});
        if (!event->isAccepted()) {
            for (const QPointer<StickyWindow>& w : windows) {
                if (w)
                    w->orderFront();
            }
            for (const auto& [owner, action] : others) {
                if (owner)
                    action();
            }
        }
        return true;
    }

private:
    QuitWatch()
    {
        if (qApp)
            qApp->installEventFilter(this);
    }
};

} // namespace

StickyWindow::StickyWindow(QWidget* parent)
    : SpellCheckingWindow(parent, Qt::Tool | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("stickyWindow"));
    setWindowTitle(QStringLiteral("Sticky Note — Brindleworks by VEXO"));
    setMinimumSize(kMinimumWidth, kMinimumHeight);
    setAttribute(Qt::WA_ShowWithoutActivating);
    // Notes come up without taking the focus; their buttons explain
    // themselves on hover all the same.
    setAttribute(Qt::WA_AlwaysShowToolTips);
    setAttribute(Qt::WA_QuitOnClose, false);
    setAttribute(Qt::WA_DeleteOnClose, false);
    // Hover over the edges shows the resize cursors.
    setMouseTracking(true);
    QuitWatch::shared();
}

bool StickyWindow::isApplicationQuitting()
{
    return QuitWatch::shared().quitting;
}

void StickyWindow::whenQuitGivenUp(QObject* owner, std::function<void()> action)
{
    QuitWatch::shared().onGivenUp.append({owner, std::move(action)});
}

void StickyWindow::setNoteColor(const QColor& color)
{
    QPalette p = palette();
    p.setColor(QPalette::Window, color);
    setPalette(p);
}

QColor StickyWindow::noteColor() const
{
    return palette().color(QPalette::Window);
}

void StickyWindow::setOnTop(bool onTop)
{
    if (isOnTop() == onTop)
        return;
    const bool shown = isVisible();
    const QRect place = geometry();
    // Changing the flag re-creates the native window, which hides it and may
    // report stray positions on the way: keep them from the note.
    const bool reporting = m_reporting;
    m_reporting = false;
    setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    setGeometry(place);
    if (shown)
        orderFront();
    m_reporting = reporting;
}

bool StickyWindow::isOnTop() const
{
    return windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

void StickyWindow::orderFront()
{
    const bool mapping = !isVisible();
    if (mapping)
        joinAllWorkspaces(false);
    show();
    raise();
    // A change of flags re-makes the native window as it is shown, without
    // the request: ask again, now of a mapped window.
    if (mapping && workspace() != -1)
        joinAllWorkspaces(true);
}

namespace {

using StickyX11::kAllDesktops;
using StickyX11::desktopAtom;

xcb_connection_t* x11Connection()
{
    return StickyX11::connection();
}

} // namespace

quint32 StickyWindow::nativeWindow() const
{
    // The widget's own id goes stale when a change of flags re-makes the
    // native window; the window handle always knows the current one.
    const_cast<StickyWindow*>(this)->winId();
    return quint32(windowHandle()->winId());
}

void StickyWindow::joinAllWorkspaces(bool mapped)
{
    xcb_connection_t* c = x11Connection();
    if (!c)
        return;
    const xcb_atom_t atom = desktopAtom(c);
    if (atom == XCB_ATOM_NONE)
        return;
    const xcb_window_t window = nativeWindow();
    const quint32 all = kAllDesktops;
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, atom, XCB_ATOM_CARDINAL, 32, 1, &all);
    if (mapped) {
        // A window manager moves a mapped window to another workspace only
        // when asked through the root window.
        xcb_client_message_event_t event = {};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = window;
        event.type = atom;
        event.data.data32[0] = all;
        event.data.data32[1] = 1; // an ordinary application's request
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
        xcb_send_event(c, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&event));
    }
    xcb_flush(c);
}

std::optional<qint64> StickyWindow::workspace() const
{
    xcb_connection_t* c = x11Connection();
    if (!c || !windowHandle() || !windowHandle()->handle())
        return std::nullopt;
    const xcb_atom_t atom = desktopAtom(c);
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        c, xcb_get_property(c, 0, nativeWindow(), atom, XCB_ATOM_CARDINAL, 0, 1), nullptr);
    std::optional<qint64> result;
    if (reply && reply->format == 32 && xcb_get_property_value_length(reply) == 4) {
        const quint32 v = *static_cast<const quint32*>(xcb_get_property_value(reply));
        result = v == kAllDesktops ? -1 : qint64(v);
    }
    std::free(reply);
    return result;
}

Qt::Edges StickyWindow::edgesAt(const QPoint& pos) const
{
    Qt::Edges edges;
    if (pos.x() < kResizeMargin)
        edges |= Qt::LeftEdge;
    else if (pos.x() >= width() - kResizeMargin)
        edges |= Qt::RightEdge;
    if (pos.y() < kResizeMargin)
        edges |= Qt::TopEdge;
    else if (pos.y() >= height() - kResizeMargin)
        edges |= Qt::BottomEdge;
    return edges;
}

void StickyWindow::closeEvent(QCloseEvent* event)
{
    if (isApplicationQuitting()) {
        event->accept();
        if (isVisible())
            QuitWatch::shared().closed.append(this);
        return;
    }
    event->ignore();
    Q_EMIT closeRequested();
}

void StickyWindow::moveEvent(QMoveEvent* event)
{
    SpellCheckingWindow::moveEvent(event);
    report();
}

void StickyWindow::resizeEvent(QResizeEvent* event)
{
    SpellCheckingWindow::resizeEvent(event);
    report();
}

void StickyWindow::report()
{
    if (m_reporting && isVisible())
        Q_EMIT frameReported(geometry());
}

void StickyWindow::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        SpellCheckingWindow::mousePressEvent(event);
        return;
    }
    event->accept();
    const Qt::Edges edges = edgesAt(event->position().toPoint());
    QWindow* handle = windowHandle();
    if (edges && handle && handle->startSystemResize(edges))
        return;
    if (!edges && handle && handle->startSystemMove())
        return;
    if (!edges) {
        // No move offered by the window system: follow the mouse ourselves.
        m_following = true;
        m_offset = event->globalPosition().toPoint() - pos();
    }
}

void StickyWindow::mouseMoveEvent(QMouseEvent* event)
{
    if (m_following && (event->buttons() & Qt::LeftButton)) {
        move(event->globalPosition().toPoint() - m_offset);
        event->accept();
        return;
    }
    const Qt::Edges edges = edgesAt(event->position().toPoint());
    if (edges == (Qt::LeftEdge | Qt::TopEdge) || edges == (Qt::RightEdge | Qt::BottomEdge))
        setCursor(Qt::SizeFDiagCursor);
    else if (edges == (Qt::RightEdge | Qt::TopEdge) || edges == (Qt::LeftEdge | Qt::BottomEdge))
        setCursor(Qt::SizeBDiagCursor);
    else if (edges & (Qt::LeftEdge | Qt::RightEdge))
        setCursor(Qt::SizeHorCursor);
    else if (edges & (Qt::TopEdge | Qt::BottomEdge))
        setCursor(Qt::SizeVerCursor);
    else
        unsetCursor();
    SpellCheckingWindow::mouseMoveEvent(event);
}

void StickyWindow::mouseReleaseEvent(QMouseEvent* event)
{
    m_following = false;
    SpellCheckingWindow::mouseReleaseEvent(event);
}

void StickyWindow::leaveEvent(QEvent* event)
{
    unsetCursor();
    SpellCheckingWindow::leaveEvent(event);
}
