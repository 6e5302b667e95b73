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

bool save(const QJsonValue& value, const QString& name)
{
    const std::optional<QByteArray> data = encode(value);
    if (!data)
        return false;
    const QString target = path(name);
    if (QFileInfo::exists(target)) {
        const QString bak = target + QStringLiteral(".bak");
        QFile::remove(bak);
        QFile::copy(target, bak);
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
