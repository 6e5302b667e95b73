// Arbitrary bytes as the settings file. What reads must write back as a file
// that reads to the same settings, or the next change of a preference would
// lose the others.
#include "core/SettingsStore.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::optional<QVariantMap> map = SettingsStore::parse(bytes);
    if (!map)
        return 0;
    const QByteArray written = QJsonDocument(QJsonObject::fromVariantMap(*map)).toJson();
    const std::optional<QVariantMap> again = SettingsStore::parse(written);
    if (!again || QJsonObject::fromVariantMap(*again) != QJsonObject::fromVariantMap(*map))
        std::abort();
    return 0;
}
