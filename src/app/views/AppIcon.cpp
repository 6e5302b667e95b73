#include "app/views/AppIcon.h"

#include <QApplication>
#include <QFile>
#include <QImageReader>
#include <QPixmap>
#include <QWidget>

#include <future>

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

// Waits for the first window with an icon of its own, sets the icon, and
// goes.
class FirstWindowWatch : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show && watched->isWidgetType()) {
            const auto* w = static_cast<QWidget*>(watched);
            const Qt::WindowType type = w->windowType();
            if (w->isWindow() && (type == Qt::Window || type == Qt::Dialog)) {
                watching = false;
                apply();
                deleteLater();
                qApp->removeEventFilter(this);
            }
        }
        return false;
    }
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

void applyWithFirstWindow()
{
    if (watching)
        return;
    watching = true;
    // Decoded meanwhile, off the interface thread.
    if (!pendingBitmaps().valid())
        pendingBitmaps() = std::async(std::launch::async, decodeBitmaps);
    qApp->installEventFilter(new FirstWindowWatch(qApp));
}

} // namespace AppIcon
