#include "notes/VoiceNote.h"

#include "core/Json.h"

#include <QJsonObject>
#include <cmath>

namespace {

// A stored name must stay inside the recordings folder: no separators, no
// "." or "..", nothing empty.
bool isPlainFileName(const QString& name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..")
        && !name.contains(QLatin1Char('/')) && !name.contains(QChar(0));
}

} // namespace

QJsonValue VoiceNote::toJson() const
{
    return QJsonObject{{QStringLiteral("created"), Json::fromDate(created)},
                       {QStringLiteral("duration"), duration},
                       {QStringLiteral("fileName"), fileName},
                       {QStringLiteral("id"), Json::fromUuid(id)},
                       {QStringLiteral("title"), title},
                       {QStringLiteral("transcript"), transcript}};
}

std::optional<VoiceNote> VoiceNote::fromJson(const QJsonValue& value)
{
    Json::Reader r(value);
    VoiceNote n;
    n.created = r.date(QStringLiteral("created"));
    n.duration = r.number(QStringLiteral("duration"));
    n.fileName = r.string(QStringLiteral("fileName"));
    n.id = r.uuid(QStringLiteral("id"));
    n.title = r.string(QStringLiteral("title"));
    n.transcript = r.string(QStringLiteral("transcript"));
    if (!r.ok() || !isPlainFileName(n.fileName) || !std::isfinite(n.duration) || n.duration < 0)
        return std::nullopt;
    return n;
}
