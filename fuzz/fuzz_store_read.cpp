// Feeds arbitrary bytes through the store's JSON reading and the strict
// record reader, as a damaged state file would reach a model.
#include "core/Json.h"
#include "core/Store.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::optional<QJsonValue> v = Store::parse(bytes);
    if (!v)
        return 0;
    Json::Reader r(*v);
    (void)r.number(QStringLiteral("a"));
    (void)r.integer(QStringLiteral("b"));
    (void)r.date(QStringLiteral("c"));
    (void)r.uuid(QStringLiteral("d"));
    (void)r.strings(QStringLiteral("e"));
    (void)r.optDate(QStringLiteral("f"));
    (void)Store::encode(*v);
    return 0;
}
