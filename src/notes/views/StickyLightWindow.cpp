#include "notes/views/StickyLightWindow.h"

#include "notes/views/StickyPictureUpload.h"
#include "notes/views/StickyWindow.h"
#include "notes/views/StickyX11.h"

#include <QAbstractEventDispatcher>
#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QHash>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <array>
#include <cstring>
#include <unistd.h>
#include <vector>

using StickyX11::connection;

namespace {

const xcb_screen_t* screenOf(xcb_connection_t* c)
{
    return xcb_setup_roots_iterator(xcb_get_setup(c)).data;
}

void setCardinal(xcb_connection_t* c, xcb_window_t w, xcb_atom_t property, quint32 value)
{
    if (property != XCB_ATOM_NONE)
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, property, XCB_ATOM_CARDINAL, 32, 1, &value);
}

} // namespace

// Hands the X events of light windows to them, before the application
// looks at events of windows it does not know.
class StickyLightEvents : public QAbstractNativeEventFilter {
public:
    static StickyLightEvents& shared()
    {
        static auto* events = new StickyLightEvents;
        return *events;
    }

    QHash<quint32, StickyLightWindow*> windows;
    // Pictures kept on the server for many windows, by key.
    QHash<QString, xcb_pixmap_t> pictures;

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override
    {
        if (windows.isEmpty() || type != "xcb_generic_event_t")
            return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        xcb_window_t window = XCB_WINDOW_NONE;
        switch (event->response_type & 0x7F) {
        case XCB_EXPOSE:
            window = reinterpret_cast<const xcb_expose_event_t*>(event)->window;
            break;
        case XCB_ENTER_NOTIFY:
            window = reinterpret_cast<const xcb_enter_notify_event_t*>(event)->event;
            break;
        case XCB_BUTTON_PRESS:
        case XCB_BUTTON_RELEASE:
            window = reinterpret_cast<const xcb_button_press_event_t*>(event)->event;
            break;
        case XCB_MOTION_NOTIFY:
            window = reinterpret_cast<const xcb_motion_notify_event_t*>(event)->event;
            break;
        case XCB_KEY_PRESS:
        case XCB_KEY_RELEASE:
            window = reinterpret_cast<const xcb_key_press_event_t*>(event)->event;
            break;
        case XCB_MAP_NOTIFY:
            window = reinterpret_cast<const xcb_map_notify_event_t*>(event)->window;
            break;
        case XCB_UNMAP_NOTIFY:
            window = reinterpret_cast<const xcb_unmap_notify_event_t*>(event)->window;
            break;
        case XCB_CONFIGURE_NOTIFY:
            window = reinterpret_cast<const xcb_configure_notify_event_t*>(event)->window;
            break;
        case XCB_REPARENT_NOTIFY:
            window = reinterpret_cast<const xcb_reparent_notify_event_t*>(event)->window;
            break;
        case XCB_CLIENT_MESSAGE:
            window = reinterpret_cast<const xcb_client_message_event_t*>(event)->window;
            break;
        default:
            return false;
        }
        StickyLightWindow* light = windows.value(window);
        return light && light->handle(event);
    }

private:
    StickyLightEvents()
    {
        if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance(qApp->thread()))
            dispatcher->installNativeEventFilter(this);
    }
};

bool StickyLightWindow::isAvailable()
{
    // Pictures travel as 32-bit pixels, which screens of depth 24 and 32
    // take as they are; the window is placed in the server's own pixels.
    xcb_connection_t* c = connection();
    if (!c || (screenOf(c)->root_depth != 24 && screenOf(c)->root_depth != 32))
        return false;
    const QList<QScreen*> screens = QGuiApplication::screens();
    return std::all_of(screens.begin(), screens.end(), [](QScreen* s) { return s->devicePixelRatio() == 1.0; });
}

StickyLightWindow::StickyLightWindow(const QUuid& id, const QRect& geometry, bool onTop)
    : m_id(id)
    , m_geometry(geometry.x(), geometry.y(), qMax(geometry.width(), StickyWindow::kMinimumWidth),
                 qMax(geometry.height(), StickyWindow::kMinimumHeight))
    , m_onTop(onTop)
{
    xcb_connection_t* c = connection();
    if (!c)
        return;
    const xcb_screen_t* screen = screenOf(c);
    m_window = xcb_generate_id(c);
    const quint32 mask = XCB_CW_BACK_PIXEL | XCB_CW_BORDER_PIXEL | XCB_CW_EVENT_MASK;
    const std::array<quint32, 3> values{
        screen->white_pixel, 0,
        XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_ENTER_WINDOW
            | XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_BUTTON_RELEASE | XCB_EVENT_MASK_BUTTON_MOTION
            | XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_KEY_RELEASE};
    xcb_create_window(c, XCB_COPY_FROM_PARENT, m_window, screen->root, qint16(m_geometry.x()), qint16(m_geometry.y()),
                      quint16(m_geometry.width()), quint16(m_geometry.height()), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      screen->root_visual, mask, values.data());
    StickyLightEvents::shared().windows.insert(m_window, this);

    const StickyX11::Atoms& a = StickyX11::atoms(c);
    const StickyX11::Identity& app = StickyX11::identity(c);
    const QByteArray title = QStringLiteral("Sticky Note — Brindleworks by VEXO").toUtf8();
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, m_window, a.name, a.utf8, 8, quint32(title.size()), title.constData());
    // Titles in Latin-1 for window managers that read only the old name.
    const QByteArray latin = QStringLiteral("Sticky Note — Brindleworks by VEXO").toLatin1();
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, m_window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                        quint32(latin.size()), latin.constData());
    if (!app.wmClass.isEmpty())
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, m_window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8,
                            quint32(app.wmClass.size()), app.wmClass.constData());
    if (!app.machine.isEmpty())
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, m_window, XCB_ATOM_WM_CLIENT_MACHINE, XCB_ATOM_STRING, 8,
                            quint32(app.machine.size()), app.machine.constData());
    setCardinal(c, m_window, a.pid, quint32(::getpid()));
    // Closed by the window manager as any window; never asked to take the
    // focus.
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, m_window, a.wmProtocols, XCB_ATOM_ATOM, 32, 1, &a.wmDeleteWindow);
    // A frameless utility window of the application's group, kept above the
    // application's other windows as its full note window is.
    const std::array<xcb_atom_t, 3> types{a.typeUtility, a.typeOverride, a.typeNormal};
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, m_window, a.windowType, XCB_ATOM_ATOM, 32, quint32(types.size()),
                        types.data());
    // Flags: decorations given; functions: all; decorations: none.
    const std::array<quint32, 5> motif{2, 1, 0, 0, 0};
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, m_window, a.motifHints, a.motifHints, 32, quint32(motif.size()),
                        motif.data());
    if (app.leader != XCB_WINDOW_NONE) {
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, m_window, a.wmClientLeader, XCB_ATOM_WINDOW, 32, 1, &app.leader);
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, m_window, XCB_ATOM_WM_TRANSIENT_FOR, XCB_ATOM_WINDOW, 32, 1,
                            &app.leader);
    }
    // Input: never; the group: the application's.
    const std::array<quint32, 9> hints{app.leader != XCB_WINDOW_NONE ? 0x41u : 0x01u, 0, 0, 0, 0, 0, 0, 0, app.leader};
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, m_window, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 32,
                        quint32(hints.size()), hints.data());
    describe();
}

StickyLightWindow::~StickyLightWindow()
{
    if (!m_window)
        return;
    StickyLightEvents::shared().windows.remove(m_window);
    if (xcb_connection_t* c = connection()) {
        xcb_destroy_window(c, m_window);
        xcb_flush(c);
    }
}

void StickyLightWindow::describe()
{
    xcb_connection_t* c = connection();
    if (!c || !m_window)
        return;
    const StickyX11::Atoms& a = StickyX11::atoms(c);
    // The place and size as the program gives them (the window manager
    // neither places the window nor waits), the smallest size a note takes,
    // and the place meaning the window itself, there being no frame.
    std::array<quint32, 18> normal{};
    normal[0] = 0x1 | 0x2 | 0x10 | 0x200; // position and size by the program, minimum size, gravity
    normal[1] = quint32(m_geometry.x());
    normal[2] = quint32(m_geometry.y());
    normal[3] = quint32(m_geometry.width());
    normal[4] = quint32(m_geometry.height());
    normal[5] = StickyWindow::kMinimumWidth;
    normal[6] = StickyWindow::kMinimumHeight;
    normal[17] = XCB_GRAVITY_STATIC;
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, m_window, XCB_ATOM_WM_NORMAL_HINTS, XCB_ATOM_WM_SIZE_HINTS, 32,
                        quint32(normal.size()), normal.data());
    // A window manager forgets these when a window is hidden: given again
    // before every show. On every workspace; never activated when shown.
    setCardinal(c, m_window, a.desktop, StickyX11::kAllDesktops);
    setCardinal(c, m_window, a.userTime, 0);
    if (m_onTop) {
        const std::array<xcb_atom_t, 2> above{a.stateAbove, a.stateStaysOnTop};
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, m_window, a.state, XCB_ATOM_ATOM, 32, quint32(above.size()),
                            above.data());
    } else {
        xcb_delete_property(c, m_window, a.state);
    }
}

void StickyLightWindow::setOnTop(bool onTop)
{
    if (m_onTop == onTop)
        return;
    m_onTop = onTop;
    xcb_connection_t* c = connection();
    if (!c || !m_window)
        return;
    if (!m_mapped) {
        describe();
        return;
    }
    // A shown window's level is changed by asking the window manager.
    const StickyX11::Atoms& a = StickyX11::atoms(c);
    for (xcb_atom_t state : {a.stateAbove, a.stateStaysOnTop}) {
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = m_window;
        event.type = a.state;
        event.data.data32[0] = onTop ? 1 : 0; // add or remove
        event.data.data32[1] = state;
        event.data.data32[3] = 1; // an ordinary application's request
        xcb_send_event(c, 0, screenOf(c)->root,
                       XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&event));
    }
    xcb_flush(c);
}

void StickyLightWindow::setPicture(const QImage& picture, const QString& sharedKey, int rows, int used)
{
    xcb_connection_t* c = connection();
    if (!c || !m_window)
        return;
    const QImage image = picture.convertToFormat(QImage::Format_RGB32);
    const quint8 depth = screenOf(c)->root_depth;
    const xcb_pixmap_t pixmap = xcb_generate_id(c);
    xcb_create_pixmap(c, depth, pixmap, m_window, quint16(image.width()), quint16(image.height()));
    // Most of a note is its plain colour: the server fills that itself,
    // and only the rows down to the last one holding anything else travel.
    const QRgb plain = image.pixel(image.width() - 1, image.height() - 1);
    const xcb_gcontext_t gc = xcb_generate_id(c);
    const quint32 foreground = depth == 32 ? plain : plain & 0xFFFFFF;
    xcb_create_gc(c, gc, pixmap, XCB_GC_FOREGROUND, &foreground);
    const xcb_rectangle_t all{0, 0, quint16(image.width()), quint16(image.height())};
    xcb_poly_fill_rectangle(c, pixmap, gc, 1, &all);
    const std::vector<QRgb> plainRow(size_t(image.width()), plain);
    const size_t rowBytes = plainRow.size() * sizeof(QRgb);
    int last = used < 0 ? image.height() : qBound(0, used, image.height());
    while (last > 0 && std::memcmp(image.constScanLine(last - 1), plainRow.data(), rowBytes) == 0)
        --last;
    // The shared top rows travel once, then are copied within the server.
    int first = 0;
    const int topRows = qMin(rows, last);
    if (!sharedKey.isEmpty() && topRows > 0) {
        QHash<QString, xcb_pixmap_t>& shared = StickyLightEvents::shared().pictures;
        const QString key = QStringLiteral("%1/%2x%3").arg(sharedKey).arg(image.width()).arg(topRows);
        xcb_pixmap_t kept = shared.value(key, XCB_PIXMAP_NONE);
        if (kept == XCB_PIXMAP_NONE) {
            if (shared.size() >= 64) {
                for (const xcb_pixmap_t p : std::as_const(shared))
                    xcb_free_pixmap(c, p);
                shared.clear();
            }
            kept = xcb_generate_id(c);
            xcb_create_pixmap(c, depth, kept, screenOf(c)->root, quint16(image.width()), quint16(topRows));
            StickyPictureUpload::putRows(c, kept, gc, depth, image, 0, topRows);
            shared.insert(key, kept);
        }
        xcb_copy_area(c, kept, pixmap, gc, 0, 0, 0, 0, quint16(image.width()), quint16(topRows));
        first = topRows;
    }
    StickyPictureUpload::putRows(c, pixmap, gc, depth, image, first, last);
    xcb_free_gc(c, gc);
    const quint32 background = pixmap;
    xcb_change_window_attributes(c, m_window, XCB_CW_BACK_PIXMAP, &background);
    // The window keeps the pixmap; the program needs no handle on it.
    xcb_free_pixmap(c, pixmap);
    if (m_mapped)
        xcb_clear_area(c, 0, m_window, 0, 0, 0, 0);
    xcb_flush(c);
}

void StickyLightWindow::show()
{
    xcb_connection_t* c = connection();
    if (m_mapped || !c || !m_window)
        return;
    m_mapped = true;
    describe();
    xcb_map_window(c, m_window);
    xcb_flush(c);
}

void StickyLightWindow::hide()
{
    xcb_connection_t* c = connection();
    if (!m_mapped || !c || !m_window)
        return;
    m_mapped = false;
    m_exposed = false;
    xcb_unmap_window(c, m_window);
    // The window manager lets go of a window it is told is withdrawn.
    xcb_unmap_notify_event_t event{};
    event.response_type = XCB_UNMAP_NOTIFY;
    event.event = screenOf(c)->root;
    event.window = m_window;
    xcb_send_event(c, 0, screenOf(c)->root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
    xcb_flush(c);
}

void StickyLightWindow::raise()
{
    xcb_connection_t* c = connection();
    if (!m_mapped || !c || !m_window)
        return;
    const quint32 above = XCB_STACK_MODE_ABOVE;
    xcb_configure_window(c, m_window, XCB_CONFIG_WINDOW_STACK_MODE, &above);
    xcb_flush(c);
}

bool StickyLightWindow::handle(const void* message)
{
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    switch (event->response_type & 0x7F) {
    case XCB_EXPOSE:
        // The X server draws the window from its background.
        m_exposed = m_mapped;
        return true;
    case XCB_UNMAP_NOTIFY:
        m_exposed = false;
        return true;
    case XCB_REPARENT_NOTIFY: {
        xcb_connection_t* c = connection();
        m_framed = c && reinterpret_cast<const xcb_reparent_notify_event_t*>(event)->parent != screenOf(c)->root;
        return true;
    }
    case XCB_CONFIGURE_NOTIFY: {
        // On the screen: what the window manager tells (its own events), or
        // the server while there is no frame.
        const auto* configure = reinterpret_cast<const xcb_configure_notify_event_t*>(event);
        if ((event->response_type & 0x80) || !m_framed)
            m_geometry.moveTo(configure->x, configure->y);
        m_geometry.setSize(QSize(configure->width, configure->height));
        return true;
    }
    case XCB_BUTTON_PRESS:
    case XCB_BUTTON_RELEASE:
    case XCB_MOTION_NOTIFY:
    case XCB_KEY_PRESS:
    case XCB_KEY_RELEASE: {
        const quint8 type = event->response_type & 0x7F;
        if (type == XCB_BUTTON_PRESS) {
            ++m_buttonsDown;
            // The keys typed after the click come here until the full
            // window has the focus; they are passed on with the click.
            if (xcb_connection_t* c = connection(); c && m_mapped) {
                const auto* press = reinterpret_cast<const xcb_button_press_event_t*>(event);
                xcb_set_input_focus(c, XCB_INPUT_FOCUS_PARENT, m_window, press->time);
                xcb_flush(c);
            }
        } else if (type == XCB_BUTTON_RELEASE && m_buttonsDown > 0) {
            --m_buttonsDown;
        }
        m_input.push_back(*reinterpret_cast<const std::array<char, 32>*>(event));
        passInputOn();
        wake();
        if (m_buttonsDown == 0 && m_retiring)
            QTimer::singleShot(0, this, [this] { deleteLater(); });
        return true;
    }
    case XCB_ENTER_NOTIFY:
        wake();
        return true;
    case XCB_CLIENT_MESSAGE: {
        const auto* client = reinterpret_cast<const xcb_client_message_event_t*>(event);
        xcb_connection_t* c = connection();
        if (c && client->format == 32 && client->type == StickyX11::atoms(c).wmProtocols
            && client->data.data32[0] == StickyX11::atoms(c).wmDeleteWindow)
            QTimer::singleShot(0, this, &StickyLightWindow::closeRequested);
        return true;
    }
    default:
        return true;
    }
}

void StickyLightWindow::wake()
{
    // Answered once the event has been handled: the full window made in its
    // place talks to the server itself.
    if (!m_woken) {
        m_woken = true;
        QTimer::singleShot(0, this, &StickyLightWindow::wakeRequested);
    }
}

void StickyLightWindow::passInputTo(quint32 window)
{
    m_target = window;
    passInputOn();
}

void StickyLightWindow::passInputOn()
{
    xcb_connection_t* c = connection();
    if (!c || m_target == 0 || m_input.empty())
        return;
    // The same events, now the full window's: the server delivers them in
    // order, ahead of what comes to that window itself. Key, button and
    // motion events share one layout.
    for (std::array<char, 32>& raw : m_input) {
        auto* event = reinterpret_cast<xcb_button_press_event_t*>(raw.data());
        event->event = m_target;
        event->child = XCB_WINDOW_NONE;
        xcb_send_event(c, 0, m_target, XCB_EVENT_MASK_NO_EVENT, raw.data());
    }
    m_input.clear();
    xcb_flush(c);
}

void StickyLightWindow::retire(int afterMs)
{
    // A button held on the picture still belongs to it (its release ends
    // the press the full window was given): it goes once that is released.
    QTimer::singleShot(afterMs, this, [this] {
        m_retiring = true;
        if (m_buttonsDown == 0)
            deleteLater();
    });
    // A release the server never sent (a grab taken over) keeps it no longer.
    QTimer::singleShot(afterMs + 10000, this, [this] { deleteLater(); });
}
