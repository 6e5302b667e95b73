#include "core/Store.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QStandardPaths>

#include <filesystem>
#include <system_error>

namespace Store {

QString folder()
{
    // A function-local static is initialised once, safely across threads.
    static const QString dir = [] {
        const QByteArray env = qgetenv("VEXO_BW_DATA_DIR");
        QString path;
        if (!env.isEmpty()) {
            path = QDir::current().absoluteFilePath(QString::fromLocal8Bit(env));
        } else {
            QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
            if (base.isEmpty())
                base = QDir::homePath() + QStringLiteral("/.local/share");
            path = base + QStringLiteral("/VEXO Brindleworks");
        }
        path = QDir::cleanPath(path);
        QDir().mkpath(path);
        return path;
    }();
    return dir;
}

QString path(const QString& name)
{
    return folder() + QLatin1Char('/') + name;
}

std::optional<QByteArray> encode(const QJsonValue& value)
{
    if (!Json::isEncodable(value))
        return std::nullopt;
    QJsonDocument doc;
    if (value.isObject())
        doc.setObject(value.toObject());
    else if (value.isArray())
        doc.setArray(value.toArray());
    else
        return std::nullopt;
    // QJsonObject keeps its keys sorted, so the text comes out sorted.
    return doc.toJson(QJsonDocument::Indented);
}

namespace {

// The previous version becomes target + ".bak": copied beside the old backup
// first and renamed over it, so a crash at any moment leaves a backup.
void rotateBackup(const QString& target)
{
    const QString bak = target + QStringLiteral(".bak");
    const QString fresh = bak + QStringLiteral(".new");
    QFile::remove(fresh);
    if (!QFile::copy(target, fresh))
        return;
    std::error_code ec;
    std::filesystem::rename(std::filesystem::path(fresh.toStdU16String()),
                            std::filesystem::path(bak.toStdU16String()), ec);
    if (ec)
        QFile::remove(fresh);
}

} // namespace

bool save(const QJsonValue& value, const QString& name)
{
    const std::optional<QByteArray> data = encode(value);
    if (!data)
        return false;
    const QString target = path(name);
    const QFileInfo info(target);
    if (info.isSymLink()) {
        // A state file that is a link was never read (it counts as
        // unreadable): the link itself is replaced, its target never touched.
        keepUnreadable(name);
        QFile::remove(target);
    } else if (info.isFile()) {
        rotateBackup(target);
    }
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(*data) != data->size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

std::optional<QJsonValue> parse(const QByteArray& data)
{
    QJsonParseError err;
    const QJsonDocument doc = QJsonDocument::fromJson(data, &err);
    if (err.error != QJsonParseError::NoError)
        return std::nullopt;
    if (doc.isObject())
        return QJsonValue(doc.object());
    if (doc.isArray())
        return QJsonValue(doc.array());
    return std::nullopt;
}

std::optional<QJsonValue> read(const QString& name)
{
    // A link is never followed: it could lead out of the data folder.
    if (QFileInfo(path(name)).isSymLink())
        return std::nullopt;
    QFile file(path(name));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    if (file.size() > kMaxStateFileSize)
        return std::nullopt;
    const QByteArray data = file.read(kMaxStateFileSize + 1);
    if (data.size() > kMaxStateFileSize)
        return std::nullopt;
    return parse(data);
}

QString keepUnreadable(const QString& name)
{
    const QString source = path(name);
    const QFileInfo info(source);
    if (!info.exists() && !info.isSymLink())
        return {};
    QFile in(source);
    // Never follow a link out of the data folder: keep only its target path.
    QByteArray bytes;
    if (info.isSymLink()) {
        bytes = info.symLinkTarget().toUtf8();
    } else {
        if (!in.open(QIODevice::ReadOnly))
            return {};
        bytes = in.readAll();
    }
    const QDir dir(folder());
    const QStringList earlier = dir.entryList({name + QStringLiteral(".unreadable-*")}, QDir::Files, QDir::Name);
    for (const QString& e : earlier) {
        QFile f(dir.filePath(e));
        if (f.size() == bytes.size() && f.open(QIODevice::ReadOnly) && f.readAll() == bytes)
            return f.fileName();
    }
    const QString stamp = QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
    QString target = source + QStringLiteral(".unreadable-") + stamp;
    for (int n = 2; QFileInfo::exists(target); ++n)
        target = source + QStringLiteral(".unreadable-") + stamp + QLatin1Char('-') + QString::number(n);
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit())
        return {};
    return target;
}

} // namespace Store
