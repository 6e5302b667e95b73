#include "core/SettingsStore.h"

#include "core/Store.h"
#include "core/StoreEvents.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <memory>

namespace {

QString& redirected()
{
    static QString path;
    return path;
}

// Why `data` is no settings file, or nothing when it is one.
std::optional<QString> problemWith(const QByteArray& data)
{
    if (data.trimmed().isEmpty())
        return std::nullopt;
    QJsonParseError err;
    const QJsonDocument doc = QJsonDocument::fromJson(data, &err);
    if (err.error != QJsonParseError::NoError)
        return QStringLiteral("it is damaged: %1 at byte %2").arg(err.errorString()).arg(err.offset);
    if (!doc.isObject())
        return QStringLiteral("it does not hold a set of preferences");
    if (!Store::withinLimits(doc.object()))
        return QStringLiteral("it holds more than %1 entries").arg(Json::kMaxListEntries);
    return std::nullopt;
}

void report(const QString& file, const QString& reason, const QString& copy)
{
    StoreEvents::shared().reportProblem(
        {StoreEvents::Problem::Kind::keptAside, SettingsStore::kOwner, file, reason, copy});
}

bool readJson(QIODevice& device, QSettings::SettingsMap& map)
{
    // The file was checked before use; this catches one that changed while
    // the program runs. It is copied aside before the settings write again.
    auto* file = qobject_cast<QFile*>(&device);
    QString problem;
    if (device.size() > SettingsStore::kMaxFileSize) {
        problem = QStringLiteral("it is larger than %1 KB").arg(SettingsStore::kMaxFileSize / 1024);
    } else {
        const QByteArray data = device.readAll();
        if (const std::optional<QString> p = problemWith(data)) {
            problem = *p;
        } else {
            map = *SettingsStore::parse(data);
            return true;
        }
    }
    if (file)
        report(file->fileName(), problem, Store::keepCopyOf(file->fileName()));
    return false;
}

bool writeJson(QIODevice& device, const QSettings::SettingsMap& map)
{
    const QJsonObject o = QJsonObject::fromVariantMap(map);
    return device.write(QJsonDocument(o).toJson(QJsonDocument::Indented)) >= 0;
}

QSettings::Format jsonFormat()
{
    static const QSettings::Format f
        = QSettings::registerFormat(QStringLiteral("json"), readJson, writeJson);
    return f;
}

} // namespace

namespace SettingsStore {

std::optional<QVariantMap> parse(const QByteArray& data)
{
    if (data.size() > kMaxFileSize || problemWith(data))
        return std::nullopt;
    if (data.trimmed().isEmpty())
        return QVariantMap();
    return QJsonDocument::fromJson(data).object().toVariantMap();
}

QString filePath()
{
    if (!redirected().isEmpty())
        return redirected();
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/VEXO/Brindleworks.json");
}

namespace {

std::unique_ptr<QSettings>& current()
{
    static std::unique_ptr<QSettings> s;
    return s;
}

} // namespace

void redirectTo(const QString& path)
{
    if (current()) {
        current()->sync();
        current().reset();
    }
    redirected() = path;
}

QString checkFile(const QString& path)
{
    const QFileInfo info(path);
    QString problem;
    if (info.isSymLink()) {
        problem = QStringLiteral("it is a link to another file");
    } else if (!info.exists()) {
        return {};
    } else if (!info.isFile()) {
        problem = QStringLiteral("it is not a regular file");
    } else if (info.size() > kMaxFileSize) {
        problem = QStringLiteral("it is larger than %1 KB").arg(kMaxFileSize / 1024);
    } else {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return {}; // the settings cannot write over it either
        const std::optional<QString> p = problemWith(file.readAll());
        if (!p)
            return {};
        problem = *p;
    }
    // A link, a pipe or a huge file is moved rather than copied (the link as
    // a link, its target untouched; the others without opening them); anything
    // else is copied, once per content, then removed.
    QString aside;
    if (info.isSymLink() || !info.isFile() || info.size() > kMaxFileSize) {
        aside = Store::asideName(path);
        if (!QFile::rename(path, aside))
            aside = Store::keepCopyOf(path);
    } else {
        aside = Store::keepCopyOf(path);
        if (!aside.isEmpty())
            QFile::remove(path);
    }
    report(path, problem, aside);
    return aside;
}

QSettings& settings()
{
    std::unique_ptr<QSettings>& s = current();
    if (!s) {
        const QString path = filePath();
        QDir().mkpath(QFileInfo(path).absolutePath());
        checkFile(path);
        s = std::make_unique<QSettings>(path, jsonFormat());
    }
    return *s;
}

bool sync()
{
    QSettings& s = settings();
    s.sync();
    // The status keeps the first error for good, so look at the file itself:
    // written when it holds every value the settings hold.
    std::optional<QVariantMap> onDisk;
    QFile file(s.fileName());
    if (file.open(QIODevice::ReadOnly) && file.size() <= kMaxFileSize)
        onDisk = parse(file.readAll());
    else if (!QFileInfo::exists(s.fileName()) && s.allKeys().isEmpty())
        onDisk = QVariantMap();
    bool written = bool(onDisk);
    for (const QString& key : s.allKeys()) {
        if (!written)
            break;
        written = QJsonValue::fromVariant(onDisk->value(key)) == QJsonValue::fromVariant(s.value(key));
    }
    if (!written) {
        StoreEvents::shared().reportProblem({StoreEvents::Problem::Kind::saveFailed, kOwner, s.fileName(),
                                             QStringLiteral("the file cannot be written"), QString()});
        // Written as soon as it can be, even when nothing changes meanwhile.
        Store::retryLater(s.fileName(), [] { return sync(); });
        return false;
    }
    StoreEvents::shared().clearSaveFailure(kOwner);
    return true;
}

bool boolValue(const QString& key, bool fallback)
{
    const QVariant v = settings().value(key);
    if (v.typeId() != QMetaType::Bool)
        return fallback;
    return v.toBool();
}

QString stringValue(const QString& key, const QString& fallback)
{
    const QVariant v = settings().value(key);
    if (v.typeId() != QMetaType::QString)
        return fallback;
    return v.toString();
}

double doubleValue(const QString& key, double fallback)
{
    const QVariant v = settings().value(key);
    if (v.typeId() != QMetaType::Double && v.typeId() != QMetaType::Int
        && v.typeId() != QMetaType::LongLong)
        return fallback;
    return v.toDouble();
}

} // namespace SettingsStore
