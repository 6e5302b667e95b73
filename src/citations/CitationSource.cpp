#include "citations/CitationSource.h"

#include "core/Json.h"

QJsonValue CitationSource::toJson() const
{
    QJsonObject f;
    for (auto it = fields.begin(); it != fields.end(); ++it)
        f.insert(it.key(), it.value());
    return QJsonObject{{QStringLiteral("id"), Json::fromUuid(id)}, {QStringLiteral("fields"), f}};
}

std::optional<CitationSource> CitationSource::fromJson(const QJsonValue& value)
{
    Json::Reader r(value);
    CitationSource s;
    s.id = r.uuid(QStringLiteral("id"));
    const QJsonObject f = r.obj(QStringLiteral("fields"));
    if (!r.ok())
        return std::nullopt;
    s.fields.clear();
    for (auto it = f.begin(); it != f.end(); ++it) {
        if (!it.value().isString() || it.value().toString().size() > Json::kMaxTextLength)
            return std::nullopt;
        s.fields.insert(it.key(), it.value().toString());
    }
    return s;
}
