#include "core/LoginItem.h"

#include "core/SafeFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace LoginItem {

QString entryPath()
{
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/autostart/brindleworks.desktop");
}

Status status()
{
    return QFileInfo::exists(entryPath()) ? Status::enabled : Status::notRegistered;
}

bool registerItem(QString* error)
{
    const QString path = entryPath();
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        if (error)
            *error = QStringLiteral("The folder %1 could not be created.").arg(QFileInfo(path).absolutePath());
        return false;
    }
    QString exec = QCoreApplication::applicationFilePath();
    exec.replace(QLatin1Char('"'), QStringLiteral("\\\""));
    const QString text = QStringLiteral(
        "[Desktop Entry]\n"
        "Type=Application\n"
        "Name=Brindleworks\n"
        "Comment=Everyday tools\n"
        "Exec=\"%1\"\n"
        "Icon=brindleworks\n"
        "Terminal=false\n"
        "X-GNOME-Autostart-enabled=true\n").arg(exec);
    return SafeFile::write(path, text.toUtf8(), error);
}

bool unregisterItem(QString* error)
{
    const QString path = entryPath();
    if (!QFileInfo::exists(path))
        return true;
    QFile f(path);
    if (!f.remove()) {
        if (error)
            *error = f.errorString();
        return false;
    }
    return true;
}

} // namespace LoginItem
