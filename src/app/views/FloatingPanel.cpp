#include "app/views/FloatingPanel.h"

#include "core/SettingsStore.h"
#include "app/views/FontLibraryWarmUp.h"
#include "app/views/X11Desktop.h"

#include <QBitmap>
#include <QImage>

#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>
#include <QWindow>

namespace {

std::optional<QRect> parseFrame(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (parts.size() != 4)
        return std::nullopt;
    int v[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        v[i] = parts[i].toInt(&ok);
        if (!ok || qAbs(v[i]) > 1000000)
            return std::nullopt;
    }
    return QRect(v[0], v[1], v[2], v[3]);
}

// Whether enough of `r` lies on some screen to be found and grabbed again.
bool reachable(const QRect& r)
{
    for (QScreen* s : QGuiApplication::screens()) {
        const QRect on = r.intersected(s->availableGeometry());
        if (on.width() >= qMin(24, r.width()) && on.height() >= qMin(24, r.height()))
            return true;
    }
    return false;
}

} // namespace

FloatingPanel::FloatingPanel(const FloatingMenuView::Options& options, bool alwaysOnTop)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus
                           | (alwaysOnTop ? Qt::WindowStaysOnTopHint : Qt::WindowFlags()))
    , m_options(options)
{
    setObjectName(QStringLiteral("floatingPanel"));
    setWindowTitle(QStringLiteral("Brindleworks Floating Menu"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_X11DoNotAcceptFocus);
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_QuitOnClose, false);
    setFocusPolicy(Qt::NoFocus);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    // The size is fixed from the content's natural size, once.
    setFixedSize(FloatingMenuView::naturalSize(options));
    m_saveTimer.setSingleShot(true);
    m_saveTimer.setInterval(300);
    connect(&m_saveTimer, &QTimer::timeout, this, &FloatingPanel::saveFrameNow);
}

FloatingPanel::~FloatingPanel()
{
    if (m_saveTimer.isActive())
        saveFrameNow();
}

FloatingMenuView* FloatingPanel::view()
{
    if (!m_view)
        makeView();
    return m_view;
}

void FloatingPanel::makeView()
{
    m_view = new FloatingMenuView(m_options, this);
    connect(m_view, &FloatingMenuView::firstFrameDrawn, this, &FloatingPanel::firstFrameDrawn);
    connect(m_view, &FloatingMenuView::hideRequested, this, &FloatingPanel::hideRequested);
    layout()->addWidget(m_view);
    // It takes its place at once: the shape is cut from it.
    layout()->activate();
}

void FloatingPanel::setVisible(bool visible)
{
    if (!visible || isVisible()) {
        QWidget::setVisible(visible);
        return;
    }
    // The window is mapped before its content is made or shown: making the
    // buttons, polishing them and telling the accessibility layer of them
    // need not hold it back. Both come before the window is first drawn,
    // which waits for the event loop.
    if (m_view)
        m_view->setVisible(false);
    QWidget::setVisible(true);
    if (!isVisible())
        return;
    X11Desktop::flush();
    FontLibraryWarmUp::start();
    if (!m_view)
        makeView();
    m_view->setVisible(true);
    layout()->activate();
}

void FloatingPanel::setAlwaysOnTop(bool on)
{
    if (isAlwaysOnTop() == on)
        return;
    const Qt::WindowFlags flags = on ? windowFlags() | Qt::WindowStaysOnTopHint
                                     : windowFlags() & ~Qt::WindowStaysOnTopHint;
    if (QWindow* handle = windowHandle()) {
        // The same native window changes level only: it stays shown, where
        // it is and on every desktop (a new one would have to ask again,
        // and a window manager may still be placing it when it does).
        overrideWindowFlags(flags);
        handle->setFlags(flags);
        if (isVisible())
            raise();
        return;
    }
    setWindowFlags(flags);
}

bool FloatingPanel::isAlwaysOnTop() const
{
    return windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

void FloatingPanel::setFrameAutosaveName(const QString& name)
{
    m_frameName = name;
}

bool FloatingPanel::setFrameUsingName(const QString& name)
{
    const std::optional<QRect> saved = parseFrame(SettingsStore::stringValue(name, QString()));
    if (!saved)
        return false;
    // The size is this panel's own; only the place is restored.
    const QRect r(saved->topLeft(), size());
    if (!reachable(r))
        return false;
    move(r.topLeft());
    return true;
}

void FloatingPanel::saveFrameNow()
{
    m_saveTimer.stop();
    if (m_frameName.isEmpty())
        return;
    const QRect g = geometry();
    SettingsStore::settings().setValue(
        m_frameName, QStringLiteral("%1 %2 %3 %4").arg(g.x()).arg(g.y()).arg(g.width()).arg(g.height()));
    SettingsStore::settings().sync();
}

void FloatingPanel::orderFront()
{
    const bool compositing = X11Desktop::compositing();
    // The shape is cut from the content, which is made once the window is
    // mapped (and before anything is drawn). Until then the window is cut to
    // one see-through pixel, so that neither it (it has no background) nor
    // the frame a window manager may put round it, shaped alike, shows.
    if (!compositing && mask().isEmpty())
        setMask(QRegion(0, 0, 1, 1));
    X11Desktop::showOnAllDesktops(this);
    show();
    applyShape(compositing);
    raise();
    X11Desktop::showOnAllDesktops(this);
    // Showing may make the native window anew (after a change of level); a
    // window manager still taking it on can miss the request: ask again once
    // it has.
    QTimer::singleShot(250, this, [this] {
        if (isVisible() && X11Desktop::desktopOf(this) != std::optional<quint32>(0xFFFFFFFF))
            X11Desktop::showOnAllDesktops(this);
    });
}

void FloatingPanel::applyShape(bool compositing)
{
    if (compositing)
        clearMask();
    else
        setMask(opaqueRegion());
}

QRegion FloatingPanel::opaqueRegion()
{
    // Shaped before it is first shown, the panel has not laid out its view
    // yet: the view takes its place now, so that the shape is the whole
    // surface's and not that of a view at a child's first size.
    FloatingMenuView* content = view();
    if (QLayout* l = layout())
        l->activate();
    // Everything the view draws lies on its surface: the surface alone
    // gives the shape, and the same picture is what the view then shows.
    const QImage surface = content->surface(1.0);
    return QRegion(QBitmap::fromImage(surface.createAlphaMask(Qt::ThresholdAlphaDither | Qt::MonoOnly)))
        .translated(content->pos());
}

void FloatingPanel::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    if (!m_frameName.isEmpty())
        m_saveTimer.start();
}
