#pragma once

// Shared by the saved-record targets: bytes go through the store's parsing
// and the record's own strict reader exactly as a state file would. A record
// that reads must save and read back to the same text, or the user's next
// save would lose it.
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

} // namespace FuzzRead
