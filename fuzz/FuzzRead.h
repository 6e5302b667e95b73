#pragma once

// Shared by the saved-record targets: bytes go through the store's parsing
// and the record's own strict reader exactly as a state file would. A record
// that reads must save and read back to the same text, or the user's next
// save would lose it.
#include "core/Json.h"
#include "core/Store.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace FuzzRead {

template <class T>
void readRecord(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::optional<QJsonValue> v = Store::parse(bytes);
    if (!v)
        return;
    const std::optional<T> record = T::fromJson(*v);
    if (!record)
        return;
    const std::optional<QByteArray> saved = Store::encode(record->toJson());
    if (!saved)
        std::abort(); // read but cannot be saved
    const std::optional<QJsonValue> again = Store::parse(*saved);
    const std::optional<T> reread = again ? T::fromJson(*again) : std::nullopt;
    if (!reread)
        std::abort(); // saved but cannot be read back
    if (Store::encode(reread->toJson()) != saved)
        std::abort(); // changes from one save to the next
}

// The same for a state file that holds a plain list of records.
template <class T>
void readList(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::optional<QJsonValue> v = Store::parse(bytes);
    const std::optional<QList<T>> list = v ? Json::toList<T>(*v) : std::nullopt;
    if (!list)
        return;
    const std::optional<QByteArray> saved = Store::encode(Json::fromList(*list));
    if (!saved)
        std::abort(); // read but cannot be saved
    const std::optional<QJsonValue> again = Store::parse(*saved);
    const std::optional<QList<T>> reread = again ? Json::toList<T>(*again) : std::nullopt;
    if (!reread || Store::encode(Json::fromList(*reread)) != saved)
        std::abort(); // saved but cannot be read back the same
}

} // namespace FuzzRead
