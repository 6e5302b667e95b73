#include "app/views/FloatingPanel.h"

#include "core/SettingsStore.h"
#include "app/views/X11Desktop.h"

#include <QBitmap>
#include <QImage>

#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>

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
    m_view = new FloatingMenuView(options, this);
    layout->addWidget(m_view);
    // The size is fixed from the content's natural size, once.
    setFixedSize(m_view->sizeHint());
    m_saveTimer.setSingleShot(true);
    m_saveTimer.setInterval(300);
    connect(&m_saveTimer, &QTimer::timeout, this, &FloatingPanel::saveFrameNow);
}

FloatingPanel::~FloatingPanel()
{
    if (m_saveTimer.isActive())
        saveFrameNow();
}

void FloatingPanel::setAlwaysOnTop(bool on)
{
    if (isAlwaysOnTop() == on)
        return;
    const bool visible = isVisible();
    const QPoint at = pos();
    // Changing a window flag hides the window; it comes back where it was.
    setWindowFlag(Qt::WindowStaysOnTopHint, on);
    move(at);
    if (visible)
        orderFront();
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
    applyShape(X11Desktop::compositing());
    X11Desktop::showOnAllDesktops(this);
    show();
    raise();
    X11Desktop::showOnAllDesktops(this);
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
    QImage image(size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return QRegion(QBitmap::fromImage(image.createAlphaMask(Qt::ThresholdAlphaDither | Qt::MonoOnly)));
}

void FloatingPanel::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    if (!m_frameName.isEmpty())
        m_saveTimer.start();
}
