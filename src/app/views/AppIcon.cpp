#include "app/views/AppIcon.h"

#include <QApplication>
#include <QFile>
#include <QImageReader>

namespace AppIcon {

QIcon icon()
{
    QIcon icon;
    for (const char* png : {":/brindleworks-128.png", ":/brindleworks-256.png"}) {
        const QString path = QString::fromLatin1(png);
        if (QFile::exists(path))
            icon.addFile(path);
    }
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
    QApplication::setWindowIcon(icon());
}

} // namespace AppIcon
