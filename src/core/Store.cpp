#include "core/Store.h"

#include "core/StoreEvents.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QSaveFile>
#include <QHash>
#include <QSet>
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

struct Mode {
    bool readOnly = false;
    QString readOnlyReason;
    std::function<QString(const QString&)> writeFault;
    QSet<QString> notKept; // unreadable files of which no copy exists yet
};

Mode& mode()
{
    static Mode m;
    return m;
}

bool failed(const QString& name, const QString& target, const QString& reason)
{
    StoreEvents::shared().reportSaveFailed(name, target, reason);
    return false;
}

// Why each file failed its last read(), in words for the user; a file that
// read but did not decode has no entry.
QHash<QString, QString>& readProblems()
{
    static QHash<QString, QString> problems;
    return problems;
}

std::optional<QJsonValue> parse(const QByteArray& data, QString* problem)
{
    QJsonParseError err;
    const QJsonDocument doc = QJsonDocument::fromJson(data, &err);
    if (err.error != QJsonParseError::NoError) {
        *problem = QStringLiteral("it is damaged: %1 at byte %2").arg(err.errorString()).arg(err.offset);
        return std::nullopt;
    }
    QJsonValue value;
    if (doc.isObject())
        value = doc.object();
    else if (doc.isArray())
        value = doc.array();
    if (!withinLimits(value)) {
        *problem = QStringLiteral("it holds a list of more than %1 entries").arg(Json::kMaxListEntries);
        return std::nullopt;
    }
    return value;
}

std::optional<QJsonValue> read(const QString& name, QString* problem)
{
    // A link is never followed: it could lead out of the data folder.
    if (QFileInfo(path(name)).isSymLink()) {
        *problem = QStringLiteral("it is a link to another file");
        return std::nullopt;
    }
    QFile file(path(name));
    if (!file.open(QIODevice::ReadOnly)) {
        *problem = file.errorString();
        return std::nullopt;
    }
    const QString tooLarge = QStringLiteral("it is larger than %1 MB").arg(kMaxStateFileSize / (1024 * 1024));
    if (file.size() > kMaxStateFileSize) {
        *problem = tooLarge;
        return std::nullopt;
    }
    const QByteArray data = file.read(kMaxStateFileSize + 1);
    if (data.size() > kMaxStateFileSize) {
        *problem = tooLarge;
        return std::nullopt;
    }
    return parse(data, problem);
}

} // namespace

void setReadOnly(bool on, const QString& reason)
{
    mode().readOnly = on;
    mode().readOnlyReason = reason;
}

bool isReadOnly()
{
    return mode().readOnly;
}

void setWriteFault(std::function<QString(const QString&)> fault)
{
    mode().writeFault = std::move(fault);
}

bool save(const QJsonValue& value, const QString& name)
{
    const std::optional<QByteArray> data = encode(value);
    if (!data)
        return false;
    const QString target = path(name);
    if (mode().readOnly) {
        return failed(name, target,
                      mode().readOnlyReason.isEmpty() ? QStringLiteral("the data folder is open read-only")
                                                      : mode().readOnlyReason);
    }
    if (mode().notKept.contains(name) && keepUnreadable(name).isEmpty()
        && (QFileInfo::exists(target) || QFileInfo(target).isSymLink()))
        return failed(name, target, QStringLiteral("the earlier file could not be read and no copy of it could be kept"));
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
        return failed(name, target, file.errorString());
    if (file.write(*data) != data->size()) {
        const QString why = file.errorString();
        file.cancelWriting();
        return failed(name, target, why);
    }
    if (mode().writeFault) {
        const QString why = mode().writeFault(target);
        if (!why.isEmpty()) {
            file.cancelWriting();
            return failed(name, target, why);
        }
    }
    if (!file.commit())
        return failed(name, target, file.errorString());
    StoreEvents::shared().reportSaved(name);
    return true;
}

bool withinLimits(const QJsonValue& value, qsizetype maxEntries)
{
    if (value.isArray()) {
        const QJsonArray a = value.toArray();
        if (a.size() > maxEntries)
            return false;
        for (const QJsonValue& v : a) {
            if ((v.isArray() || v.isObject()) && !withinLimits(v, maxEntries))
                return false;
        }
    } else if (value.isObject()) {
        const QJsonObject o = value.toObject();
        if (o.size() > maxEntries)
            return false;
        for (auto it = o.begin(); it != o.end(); ++it) {
            const QJsonValue v = it.value();
            if ((v.isArray() || v.isObject()) && !withinLimits(v, maxEntries))
                return false;
        }
    }
    return true;
}

std::optional<QJsonValue> parse(const QByteArray& data)
{
    QString problem;
    return parse(data, &problem);
}

std::optional<QJsonValue> read(const QString& name)
{
    QString problem;
    std::optional<QJsonValue> value = read(name, &problem);
    if (value)
        readProblems().remove(name);
    else
        readProblems().insert(name, problem);
    return value;
}

QString asideName(const QString& filePath)
{
    const QString stamp = QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
    QString target = filePath + QStringLiteral(".unreadable-") + stamp;
    for (int n = 2; QFileInfo::exists(target) || QFileInfo(target).isSymLink(); ++n)
        target = filePath + QStringLiteral(".unreadable-") + stamp + QLatin1Char('-') + QString::number(n);
    return target;
}

QString keepCopyOf(const QString& source)
{
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
    const QDir dir = info.absoluteDir();
    const QStringList earlier
        = dir.entryList({info.fileName() + QStringLiteral(".unreadable-*")}, QDir::Files, QDir::Name);
    for (const QString& e : earlier) {
        QFile f(dir.filePath(e));
        if (f.size() == bytes.size() && f.open(QIODevice::ReadOnly) && f.readAll() == bytes)
            return f.fileName();
    }
    const QString target = asideName(source);
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size())
        return {};
    if (mode().writeFault && !mode().writeFault(target).isEmpty()) {
        out.cancelWriting();
        return {};
    }
    if (!out.commit())
        return {};
    return target;
}

QString keepUnreadable(const QString& name)
{
    const QString copy = keepCopyOf(path(name));
    if (copy.isEmpty()) {
        // The file is there but no copy could be made (a full disk): it
        // must not be written over until one can.
        const QFileInfo info(path(name));
        if (info.exists() || info.isSymLink())
            mode().notKept.insert(name);
        return {};
    }
    mode().notKept.remove(name);
    StoreEvents::shared().reportProblem({StoreEvents::Problem::Kind::keptAside, StoreEvents::ownerOf(name),
                                         path(name),
                                         readProblems().value(name, QStringLiteral("its contents are not in the "
                                                                                   "expected form or exceed a limit")),
                                         copy});
    return copy;
}

} // namespace Store
