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

QString execValue(const QString& program)
{
    // Quoting first: inside the double quotes, '"', '`', '$' and '\\' take a
    // backslash; a literal '%' is doubled, as field codes start with it.
    QString quoted;
    for (const QChar c : program) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        else if (c == QLatin1Char('%'))
            quoted += QLatin1Char('%');
        quoted += c;
    }
    quoted = QLatin1Char('"') + quoted + QLatin1Char('"');
    // Then the escapes of every string value of the file.
    QString value;
    for (const QChar c : quoted) {
        if (c == QLatin1Char('\\'))
            value += QStringLiteral("\\\\");
        else if (c == QLatin1Char('\n'))
            value += QStringLiteral("\\n");
        else if (c == QLatin1Char('\t'))
            value += QStringLiteral("\\t");
        else if (c == QLatin1Char('\r'))
            value += QStringLiteral("\\r");
        else
            value += c;
    }
    return value;
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
    const QString text = QStringLiteral(
        "[Desktop Entry]\n"
        "Type=Application\n"
        "Name=Brindleworks\n"
        "Comment=Everyday tools\n"
        "Exec=%1\n"
        "Icon=brindleworks\n"
        "Terminal=false\n"
        "X-GNOME-Autostart-enabled=true\n").arg(execValue(QCoreApplication::applicationFilePath()));
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
