#pragma once

#include <QDateTime>
#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>
#include <QUuid>
#include <optional>

// Helpers for the JSON form of the saved records.
//
// Every record type T offers `QJsonValue toJson() const` and
// `static std::optional<T> fromJson(const QJsonValue&)`. Reading is strict:
// a missing key or a value of the wrong type fails the whole record, so a
// damaged file leaves the model on its defaults instead of half-loading it.
namespace Json {

// Limits far above real use, so that a hand-made or damaged file cannot make
// the program parse, allocate or lay out without end. A value beyond a limit
// fails the record like a value of the wrong type.
constexpr qsizetype kMaxListEntries = 10000;   // elements of any list
constexpr qsizetype kMaxTextLength = 1024 * 1024; // UTF-16 units of any text

// ISO-8601 in UTC with whole seconds: "2026-03-14T09:05:00Z".
QString fromDate(const QDateTime& date);
// Accepts the form above (and any ISO-8601 date-time with an offset);
// nothing for other text.
std::optional<QDateTime> toDate(const QString& text);

// UUID as 36 upper-case characters without braces.
QString fromUuid(const QUuid& id);

// True when every number inside `value` is finite (JSON has no NaN or
// infinity, so such a value cannot be encoded).
bool isEncodable(const QJsonValue& value);

template <class T>
QJsonArray fromList(const QList<T>& list)
{
    QJsonArray a;
    for (const T& item : list)
        a.append(item.toJson());
    return a;
}

// Decodes an array of records; any bad element fails the whole list, and so
// does a list of more than `maxEntries` elements.
template <class T>
std::optional<QList<T>> toList(const QJsonValue& value, qsizetype maxEntries = kMaxListEntries)
{
    if (!value.isArray())
        return std::nullopt;
    const QJsonArray a = value.toArray();
    if (a.size() > maxEntries)
        return std::nullopt;
    QList<T> out;
    out.reserve(a.size());
    for (const QJsonValue& v : a) {
        std::optional<T> item = T::fromJson(v);
        if (!item)
            return std::nullopt;
        out.append(std::move(*item));
    }
    return out;
}

// Strict reader over one JSON object. Each accessor returns the value under
// its key; when the key is missing or its value has another type the reader
// is marked failed and a neutral value comes back. Check ok() at the end.
// The opt* accessors accept a missing key or null (giving nothing) but still
// fail on a value of the wrong type. Texts longer than kMaxTextLength and
// lists longer than kMaxListEntries fail too, unless a field names its own
// limit.
class Reader {
public:
    explicit Reader(const QJsonValue& value);

    bool ok() const { return m_ok; }
    void fail() { m_ok = false; }
    const QJsonObject& object() const { return m_object; }

    double number(const QString& key);
    qint64 integer(const QString& key);
    int int32(const QString& key);
    bool boolean(const QString& key);
    QString string(const QString& key, qsizetype maxLength = kMaxTextLength);
    QDateTime date(const QString& key);
    QUuid uuid(const QString& key);
    QJsonArray array(const QString& key);
    QJsonObject obj(const QString& key);

    std::optional<double> optNumber(const QString& key);
    std::optional<QString> optString(const QString& key, qsizetype maxLength = kMaxTextLength);
    std::optional<QDateTime> optDate(const QString& key);

    template <class T>
    T record(const QString& key)
    {
        std::optional<T> r = T::fromJson(value(key));
        if (!r) {
            m_ok = false;
            return T{};
        }
        return *r;
    }

    template <class T>
    QList<T> list(const QString& key, qsizetype maxEntries = kMaxListEntries)
    {
        std::optional<QList<T>> r = toList<T>(value(key), maxEntries);
        if (!r) {
            m_ok = false;
            return {};
        }
        return *r;
    }

    // The list of strings (or numbers) under key; each string is held to
    // kMaxTextLength.
    QStringList strings(const QString& key, qsizetype maxEntries = kMaxListEntries);
    QList<double> numbers(const QString& key, qsizetype maxEntries = kMaxListEntries);

private:
    QJsonValue value(const QString& key);
    QJsonValue optValue(const QString& key, QJsonValue::Type wanted, bool* present);

    QJsonObject m_object;
    bool m_ok = true;
};

} // namespace Json
