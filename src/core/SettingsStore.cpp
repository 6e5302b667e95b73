#include "core/SettingsStore.h"

#include <QDir>
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

bool readJson(QIODevice& device, QSettings::SettingsMap& map)
{
    const QByteArray data = device.readAll();
    if (data.trimmed().isEmpty())
        return true;
    QJsonParseError err;
    const QJsonDocument doc = QJsonDocument::fromJson(data, &err);
    if (err.error != QJsonParseError::NoError || !doc.isObject())
        return false;
    map = doc.object().toVariantMap();
    return true;
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

QSettings& settings()
{
    std::unique_ptr<QSettings>& s = current();
    if (!s) {
        const QString path = filePath();
        QDir().mkpath(QFileInfo(path).absolutePath());
        s = std::make_unique<QSettings>(path, jsonFormat());
    }
    return *s;
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
