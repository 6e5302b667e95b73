#include "notes/views/StickyLightWindow.h"

#include "notes/views/StickyWindow.h"
#include "notes/views/StickyX11.h"

#include <algorithm>
#include <cstdlib>

namespace {

using StickyX11::connection;

const xcb_screen_t* screenOf(xcb_connection_t* c)
{
    return xcb_setup_roots_iterator(xcb_get_setup(c)).data;
}

} // namespace

bool StickyLightWindow::isAvailable()
{
    // Pictures travel as 32-bit pixels, which screens of depth 24 and 32
    // take as they are.
    xcb_connection_t* c = connection();
    return c && (screenOf(c)->root_depth == 24 || screenOf(c)->root_depth == 32);
}

StickyLightWindow::StickyLightWindow(const QUuid& id, const QRect& geometry, bool onTop) : m_id(id)
{
    // Watch for the application's quit from now on.
    StickyWindow::isApplicationQuitting();
    // It never takes the focus: a window manager that focuses new windows
    // leaves it alone.
    setFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus
             | (onTop ? Qt::WindowStaysOnTopHint : Qt::WindowFlags()));
    setTitle(QStringLiteral("Sticky Note — Brindleworks by VEXO"));
    setMinimumSize(QSize(StickyWindow::kMinimumWidth, StickyWindow::kMinimumHeight));
    // Shown without taking the focus from the window the user works in.
    setProperty("_q_showWithoutActivating", true);
    setGeometry(geometry);
    makeNative();
}

void StickyLightWindow::makeNative()
{
    create();
    // The picture is kept at the window's own depth: the screen's, as the
    // window asks for no alpha channel (asking the server would cost a round
    // trip per note).
    if (xcb_connection_t* c = connection())
        m_depth = format().alphaBufferSize() > 0 ? 32 : screenOf(c)->root_depth;
    // On every workspace: the window manager reads this when it first
    // manages the window.
    if (xcb_connection_t* c = connection()) {
        const xcb_atom_t desktop = StickyX11::desktopAtom(c);
        const quint32 all = StickyX11::kAllDesktops;
        if (desktop != XCB_ATOM_NONE)
            xcb_change_property(c, XCB_PROP_MODE_REPLACE, xcb_window_t(winId()), desktop, XCB_ATOM_CARDINAL, 32, 1,
                                &all);
    }
}

void StickyLightWindow::setOnTop(bool onTop)
{
    if (isOnTop() == onTop)
        return;
    // The window system would make the window anew at its next show, without
    // its picture: it is made anew here, and drawn again.
    destroy();
    setFlag(Qt::WindowStaysOnTopHint, onTop);
    makeNative();
    Q_EMIT remade();
}

void StickyLightWindow::setPicture(const QImage& picture)
{
    xcb_connection_t* c = connection();
    if (!c)
        return;
    if (!handle())
        makeNative();
    const QImage image = picture.convertToFormat(QImage::Format_RGB32);
    const auto window = xcb_window_t(winId());
    const xcb_pixmap_t pixmap = xcb_generate_id(c);
    xcb_create_pixmap(c, m_depth, pixmap, window, quint16(image.width()), quint16(image.height()));
    // Most of a note is its plain colour: the server fills that itself,
    // and only the rows down to the last one holding anything else travel.
    const QRgb plain = image.pixel(image.width() - 1, image.height() - 1);
    const xcb_gcontext_t gc = xcb_generate_id(c);
    const quint32 foreground = m_depth == 32 ? plain : plain & 0xFFFFFF;
    xcb_create_gc(c, gc, pixmap, XCB_GC_FOREGROUND, &foreground);
    const xcb_rectangle_t all{0, 0, quint16(image.width()), quint16(image.height())};
    xcb_poly_fill_rectangle(c, pixmap, gc, 1, &all);
    int last = image.height();
    while (last > 0) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(last - 1));
        if (!std::all_of(row, row + image.width(), [plain](QRgb p) { return p == plain; }))
            break;
        --last;
    }
    // In bands well inside the smallest request size a server accepts.
    const int rows = qMax(1, 60000 / qMax(1, int(image.bytesPerLine())));
    for (int y = 0; y < last; y += rows) {
        const int band = qMin(rows, last - y);
        xcb_put_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, pixmap, gc, quint16(image.width()), quint16(band), 0, qint16(y), 0,
                      m_depth, quint32(image.bytesPerLine() * band), image.constScanLine(y));
    }
    xcb_free_gc(c, gc);
    const quint32 background = pixmap;
    xcb_change_window_attributes(c, window, XCB_CW_BACK_PIXMAP, &background);
    // The window keeps the pixmap; the program needs no handle on it.
    xcb_free_pixmap(c, pixmap);
    xcb_clear_area(c, 0, window, 0, 0, 0, 0);
    xcb_flush(c);
}

bool StickyLightWindow::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::Enter:
    case QEvent::MouseButtonPress:
        if (!m_woken) {
            m_woken = true;
            Q_EMIT wakeRequested();
        }
        return true;
    case QEvent::Close:
        if (StickyWindow::isApplicationQuitting()) {
            // Closing takes the native window and its picture with it.
            StickyWindow::whenQuitGivenUp(this, [this] { Q_EMIT remade(); });
            return QWindow::event(event);
        }
        event->ignore();
        Q_EMIT closeRequested();
        return true;
    case QEvent::Expose:
    case QEvent::UpdateRequest:
        // The X server draws the window from its background.
        return true;
    default:
        return QWindow::event(event);
    }
}
