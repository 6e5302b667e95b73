#include "ui/ButtonArt.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QImageReader>

namespace ButtonArt {

namespace {

QHash<int, std::optional<QImage>>& cache()
{
    static QHash<int, std::optional<QImage>> c;
    return c;
}

QString& extraFolder()
{
    static QString folder;
    return folder;
}

std::optional<QImage> load(const Tool tool)
{
    const QString file = tool.artName() + QStringLiteral(".png");
    for (const QString& folder : searchFolders()) {
        const QString path = folder + QLatin1Char('/') + file;
        if (!QFileInfo::exists(path))
            continue;
        QImageReader reader(path);
        reader.setAutoTransform(true);
        QImage img = reader.read();
        if (img.isNull())
            return std::nullopt; // present but unreadable: no art
        return img;
    }
    return std::nullopt;
}

} // namespace

QStringList searchFolders()
{
    QStringList folders;
    if (!extraFolder().isEmpty())
        folders << extraFolder();
    folders << QStringLiteral(":/ButtonArt");
    return folders;
}

std::optional<QImage> image(Tool tool)
{
    auto& c = cache();
    if (auto it = c.constFind(tool.index()); it != c.constEnd())
        return *it;
    std::optional<QImage> img = load(tool);
    c.insert(tool.index(), img);
    return img;
}

void setExtraFolderForTesting(const QString& folder)
{
    extraFolder() = folder;
    cache().clear();
}

void clearCacheForTesting()
{
    cache().clear();
}

} // namespace ButtonArt
