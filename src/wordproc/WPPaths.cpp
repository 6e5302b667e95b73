#include "wordproc/WPPaths.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace WPPaths {

namespace {

bool underSystemFolder(const QString& absolute)
{
    static const QStringList roots{QStringLiteral("/proc"), QStringLiteral("/sys"), QStringLiteral("/dev")};
    for (const QString& root : roots) {
        if (absolute == root || absolute.startsWith(root + QLatin1Char('/')))
            return true;
    }
    return false;
}

} // namespace

bool isSystemPath(const QString& path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    if (underSystemFolder(QDir::cleanPath(info.absoluteFilePath())))
        return true;
    const QString canonical = info.canonicalFilePath();
    return !canonical.isEmpty() && underSystemFolder(canonical);
}

bool isPlainFile(const QString& path)
{
    return !path.isEmpty() && QFileInfo(path).isFile() && !isSystemPath(path);
}

bool isUsableFolder(const QString& path)
{
    return !path.isEmpty() && QFileInfo(path).isDir() && !isSystemPath(path);
}

QString readProblem(const QString& path, bool packageAllowed)
{
    const QFileInfo info(path);
    const QString name = info.fileName().isEmpty() ? path : info.fileName();
    if (!info.exists())
        return QString(); // the reader says what is missing
    if (isSystemPath(path) || !(info.isFile() || (packageAllowed && info.isDir())))
        return QStringLiteral("\u201c%1\u201d is not a document: it is a device, a pipe or a file of the system.")
            .arg(name);
    return QString();
}

QString writeProblem(const QString& path)
{
    const QFileInfo info(path);
    if (isSystemPath(path))
        return QStringLiteral("Nothing can be saved in the system folder \u201c%1\u201d.").arg(info.absolutePath());
    if (info.exists() && !info.isFile() && !info.isDir())
        return QStringLiteral("\u201c%1\u201d is a device or a pipe, not a file.").arg(info.fileName());
    return QString();
}

} // namespace WPPaths
