#pragma once

#include "core/Json.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <optional>

// The data folder and the one way a state file is written.
namespace Store {

// The data folder: $VEXO_BW_DATA_DIR when set and not empty (relative paths
// resolve against the working directory), else the XDG data home +
// "VEXO Brindleworks". Computed once, created on first use (errors ignored).
QString folder();

// folder() + "/" + name.
QString path(const QString& name);

// Pretty-printed JSON with sorted keys. Nothing when the value holds a
// number JSON cannot carry.
std::optional<QByteArray> encode(const QJsonValue& value);

// Writes `value` as `name` in the data folder: the previous file (if any)
// becomes name + ".bak", then the new text replaces the file atomically.
// When encoding fails nothing is touched. Failures are silent for the
// program; the result only tells tests whether the file was written.
bool save(const QJsonValue& value, const QString& name);

inline bool save(const QJsonObject& value, const QString& name) { return save(QJsonValue(value), name); }
inline bool save(const QJsonArray& value, const QString& name) { return save(QJsonValue(value), name); }

template <class T>
    requires requires(const T& r) { r.toJson(); }
bool save(const T& record, const QString& name)
{
    return save(QJsonValue(record.toJson()), name);
}

// Files larger than this are not read (the model keeps its defaults).
constexpr qint64 kMaxStateFileSize = 64 * 1024 * 1024;

// The parsed JSON of `name`, or nothing when the file is missing, unreadable,
// too large or not JSON. Never reads the ".bak" copy.
std::optional<QJsonValue> read(const QString& name);

// A state file that exists but cannot be read strictly is copied aside as
// "<name>.unreadable-<UTC timestamp>" in the data folder before anything can
// be written over it. A copy with the same bytes is made only once. Returns
// the path of the copy (existing or new), or an empty string when `name` does
// not exist or could not be copied.
QString keepUnreadable(const QString& name);

// The shared reading convention: the record decoded strictly from `name`,
// or nothing (the caller keeps its defaults). A file that exists but fails
// to decode is kept aside first (keepUnreadable).
template <class T>
std::optional<T> load(const QString& name)
{
    std::optional<QJsonValue> v = read(name);
    std::optional<T> record = v ? T::fromJson(*v) : std::nullopt;
    if (!record)
        keepUnreadable(name);
    return record;
}

// Same for a plain array of records.
template <class T>
std::optional<QList<T>> loadList(const QString& name)
{
    std::optional<QJsonValue> v = read(name);
    std::optional<QList<T>> list = v ? Json::toList<T>(*v) : std::nullopt;
    if (!list)
        keepUnreadable(name);
    return list;
}

// Parses JSON text as the store reads it (shared by read() and the fuzzer).
std::optional<QJsonValue> parse(const QByteArray& data);

} // namespace Store
