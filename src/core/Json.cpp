#include "core/Json.h"

#include <QTimeZone>
#include <cmath>
#include <limits>

namespace Json {

QString fromDate(const QDateTime& date)
{
    QDateTime utc = date.toUTC();
    utc.setTime(QTime(utc.time().hour(), utc.time().minute(), utc.time().second()));
    return utc.toString(Qt::ISODate);
}

std::optional<QDateTime> toDate(const QString& text)
{
    // Qt also accepts a date without a time or a time without an offset; the
    // files always carry the full UTC form, so insist on a 'T' and a zone.
    if (!text.contains(QLatin1Char('T')))
        return std::nullopt;
    const bool zoned = text.endsWith(QLatin1Char('Z'))
        || (text.size() > 6 && (text.at(text.size() - 6) == QLatin1Char('+')
                                || text.at(text.size() - 6) == QLatin1Char('-')));
    if (!zoned)
        return std::nullopt;
    QDateTime d = QDateTime::fromString(text, Qt::ISODate);
    if (!d.isValid())
        return std::nullopt;
    // Whole seconds, as fromDate writes them: a fraction (of a second, or
    // of a minute as in "10:00.5") would otherwise change with every save.
    d = d.toUTC();
    d.setTime(QTime(d.time().hour(), d.time().minute(), d.time().second()));
    return d;
}

QString fromUuid(const QUuid& id)
{
    return id.toString(QUuid::WithoutBraces).toUpper();
}

bool isEncodable(const QJsonValue& value)
{
    switch (value.type()) {
    case QJsonValue::Double:
        return std::isfinite(value.toDouble());
    case QJsonValue::Array: {
        const QJsonArray a = value.toArray();
        for (const QJsonValue& v : a) {
            if (!isEncodable(v))
                return false;
        }
        return true;
    }
    case QJsonValue::Object: {
        const QJsonObject o = value.toObject();
        for (auto it = o.begin(); it != o.end(); ++it) {
            if (!isEncodable(it.value()))
                return false;
        }
        return true;
    }
    case QJsonValue::Undefined:
        return false;
    default:
        return true;
    }
}

Reader::Reader(const QJsonValue& value)
{
    if (value.isObject())
        m_object = value.toObject();
    else
        m_ok = false;
}

QJsonValue Reader::value(const QString& key)
{
    auto it = m_object.constFind(key);
    if (it == m_object.constEnd()) {
        m_ok = false;
        return QJsonValue(QJsonValue::Undefined);
    }
    return it.value();
}

double Reader::number(const QString& key)
{
    const QJsonValue v = value(key);
    if (!v.isDouble()) {
        m_ok = false;
        return 0;
    }
    return v.toDouble();
}

qint64 Reader::integer(const QString& key)
{
    const QJsonValue v = value(key);
    if (!v.isDouble()) {
        m_ok = false;
        return 0;
    }
    const double d = v.toDouble();
    // Integers must be whole and inside the 64-bit range (2^63 itself is out).
    if (!std::isfinite(d) || std::trunc(d) != d || d < -9223372036854775808.0
        || d >= 9223372036854775808.0) {
        m_ok = false;
        return 0;
    }
    return v.toInteger(qint64(d));
}

int Reader::int32(const QString& key)
{
    const qint64 i = integer(key);
    if (i < std::numeric_limits<int>::min() || i > std::numeric_limits<int>::max()) {
        m_ok = false;
        return 0;
    }
    return int(i);
}

bool Reader::boolean(const QString& key)
{
    const QJsonValue v = value(key);
    if (!v.isBool()) {
        m_ok = false;
        return false;
    }
    return v.toBool();
}

QString Reader::string(const QString& key, qsizetype maxLength)
{
    const QJsonValue v = value(key);
    if (!v.isString()) {
        m_ok = false;
        return {};
    }
    QString s = v.toString();
    if (s.size() > maxLength) {
        m_ok = false;
        return {};
    }
    return s;
}

QDateTime Reader::date(const QString& key)
{
    const QString s = string(key);
    if (!m_ok)
        return {};
    std::optional<QDateTime> d = toDate(s);
    if (!d) {
        m_ok = false;
        return {};
    }
    return *d;
}

QUuid Reader::uuid(const QString& key)
{
    const QString s = string(key);
    if (!m_ok)
        return {};
    const QUuid id = QUuid::fromString(s);
    if (id.isNull() || s.size() != 36) {
        m_ok = false;
        return {};
    }
    return id;
}

QJsonArray Reader::array(const QString& key)
{
    const QJsonValue v = value(key);
    if (!v.isArray()) {
        m_ok = false;
        return {};
    }
    return v.toArray();
}

QJsonObject Reader::obj(const QString& key)
{
    const QJsonValue v = value(key);
    if (!v.isObject()) {
        m_ok = false;
        return {};
    }
    return v.toObject();
}

QJsonValue Reader::optValue(const QString& key, QJsonValue::Type wanted, bool* present)
{
    *present = false;
    auto it = m_object.constFind(key);
    if (it == m_object.constEnd() || it.value().isNull())
        return {};
    if (it.value().type() != wanted) {
        m_ok = false;
        return {};
    }
    *present = true;
    return it.value();
}

std::optional<double> Reader::optNumber(const QString& key)
{
    bool present = false;
    const QJsonValue v = optValue(key, QJsonValue::Double, &present);
    if (!present)
        return std::nullopt;
    return v.toDouble();
}

std::optional<QString> Reader::optString(const QString& key, qsizetype maxLength)
{
    bool present = false;
    const QJsonValue v = optValue(key, QJsonValue::String, &present);
    if (!present)
        return std::nullopt;
    QString s = v.toString();
    if (s.size() > maxLength) {
        m_ok = false;
        return std::nullopt;
    }
    return s;
}

std::optional<QDateTime> Reader::optDate(const QString& key)
{
    std::optional<QString> s = optString(key);
    if (!s)
        return std::nullopt;
    std::optional<QDateTime> d = toDate(*s);
    if (!d)
        m_ok = false;
    return d;
}

QStringList Reader::strings(const QString& key, qsizetype maxEntries)
{
    QStringList out;
    const QJsonArray a = array(key);
    if (a.size() > maxEntries) {
        m_ok = false;
        return {};
    }
    for (const QJsonValue& v : a) {
        if (!v.isString() || v.toString().size() > kMaxTextLength) {
            m_ok = false;
            return {};
        }
        out.append(v.toString());
    }
    return out;
}

QList<double> Reader::numbers(const QString& key, qsizetype maxEntries)
{
    QList<double> out;
    const QJsonArray a = array(key);
    if (a.size() > maxEntries) {
        m_ok = false;
        return {};
    }
    for (const QJsonValue& v : a) {
        if (!v.isDouble()) {
            m_ok = false;
            return {};
        }
        out.append(v.toDouble());
    }
    return out;
}

} // namespace Json
