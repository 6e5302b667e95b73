#include "app/views/AppIcon.h"

#include <QApplication>
#include <QFile>
#include <QImageReader>
#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <functional>
#include <future>
#include <utility>

namespace AppIcon {

namespace {

// The bundled renderings, read by Qt's own PNG reader (no image plugin is
// loaded for them). Safe on any thread.
QList<QImage> decodeBitmaps()
{
    QList<QImage> images;
    for (const char* png : {":/brindleworks-128.png", ":/brindleworks-256.png"}) {
        QImageReader reader(QString::fromLatin1(png), "png");
        // Known to be PNG: no asking every image plugin what it is.
        reader.setAutoDetectImageFormat(false);
        const QImage image = reader.read();
        if (!image.isNull())
            images.append(image);
    }
    return images;
}

// Renderings being decoded on a worker for the first window.
std::future<QList<QImage>>& pendingBitmaps()
{
    static std::future<QList<QImage>> pending;
    return pending;
}

QIcon bitmaps()
{
    std::future<QList<QImage>>& pending = pendingBitmaps();
    const QList<QImage> images = pending.valid() ? pending.get() : decodeBitmaps();
    QIcon icon;
    for (const QImage& image : images)
        icon.addPixmap(QPixmap::fromImage(image));
    return icon;
}

// Whether a first window is being waited for.
bool watching = false;

// What waits for the first window's first frame, besides the icon.
QList<std::function<void()>>& afterwards()
{
    static QList<std::function<void()>> list;
    return list;
}

// The window being waited for has been shown (its first frame may not be
// drawn yet).
bool windowSeen = false;

// Waits for the first window with an icon of its own and sets the icon
// once that window's first frame is on the screen (the renderings are
// converted and handed to the window system then, not while the user waits
// for the window), and goes. A window hidden before it was drawn, or never
// drawn, brings it all the same a moment later.
class FirstWindowWatch : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (m_done)
            return false;
        if (!m_window && event->type() == QEvent::Show && watched->isWidgetType()) {
            auto* w = static_cast<QWidget*>(watched);
            const Qt::WindowType type = w->windowType();
            if (w->isWindow() && (type == Qt::Window || type == Qt::Dialog)) {
                windowSeen = true;
                m_window = w->windowHandle();
                if (!m_window) {
                    finish();
                    return false;
                }
                QTimer::singleShot(250, this, &FirstWindowWatch::finish);
            }
        } else if (m_window && watched == m_window && event->type() == QEvent::Expose) {
            // Drawn while the expose is handled: the icon comes right after,
            // behind any painting asked for meanwhile (low priority too).
            QCoreApplication::postEvent(this, new QEvent(drawnEvent()), Qt::LowEventPriority);
        }
        return false;
    }

    void customEvent(QEvent* event) override
    {
        if (event->type() == drawnEvent())
            finish();
    }

private:
    static QEvent::Type drawnEvent()
    {
        static const auto type = QEvent::Type(QEvent::registerEventType());
        return type;
    }

    void finish()
    {
        if (m_done)
            return;
        m_done = true;
        watching = false;
        windowSeen = false;
        qApp->removeEventFilter(this);
        apply();
        deleteLater();
        for (const std::function<void()>& then : std::exchange(afterwards(), {}))
            then();
    }

    QPointer<QWindow> m_window;
    bool m_done = false;
};

} // namespace

QIcon icon()
{
    QIcon icon = bitmaps();
    // The drawing scales cleanly to the sizes between and beyond.
    const QString svg = QStringLiteral(":/brindleworks.svg");
    if (QFile::exists(svg) && QImageReader::supportedImageFormats().contains("svg"))
        icon.addFile(svg);
    if (icon.isNull())
        icon = QIcon::fromTheme(QStringLiteral("brindleworks"));
    return icon;
}

void apply()
{
    // Windows take the renderings: opening the vector drawing would load
    // the SVG libraries before the first window, for an icon the window
    // manager scales anyway.
    QIcon icon = bitmaps();
    if (icon.isNull())
        icon = QIcon::fromTheme(QStringLiteral("brindleworks"));
    QApplication::setWindowIcon(icon);
}

void applyWithFirstWindow(Decoding decoding)
{
    if (watching)
        return;
    watching = true;
    // Decoded meanwhile, off the interface thread.
    if (decoding == Decoding::ahead && !pendingBitmaps().valid())
        pendingBitmaps() = std::async(std::launch::async, decodeBitmaps);
    qApp->installEventFilter(new FirstWindowWatch(qApp));
}

void afterFirstWindowDrawn(const std::function<void()>& then)
{
    if (watching && windowSeen)
        afterwards().append(then);
    else
        then();
}

} // namespace AppIcon
