#include "notes/StickyNote.h"

#include "core/Json.h"

#include <QJsonObject>

QDateTime StickyNote::now()
{
    QDateTime now = QDateTime::currentDateTimeUtc();
    now.setTime(QTime(now.time().hour(), now.time().minute(), now.time().second()));
    return now;
}

StickyNote StickyNote::make(qint64 colorIndex, const QString& text)
{
    const QDateTime now = StickyNote::now();
    StickyNote note;
    note.id = QUuid::createUuid();
    note.text = text;
    note.colorIndex = colorIndex;
    note.created = now;
    note.modified = now;
    return note;
}

QJsonValue StickyNote::toJson() const
{
    return QJsonObject{{QStringLiteral("id"), Json::fromUuid(id)},
                       {QStringLiteral("text"), text},
                       {QStringLiteral("colorIndex"), colorIndex},
                       {QStringLiteral("frame"), frame},
                       {QStringLiteral("onTop"), onTop},
                       {QStringLiteral("visible"), visible},
                       {QStringLiteral("created"), Json::fromDate(created)},
                       {QStringLiteral("modified"), Json::fromDate(modified)}};
}

std::optional<StickyNote> StickyNote::fromJson(const QJsonValue& value)
{
    Json::Reader r(value);
    StickyNote note;
    note.id = r.uuid(QStringLiteral("id"));
    note.text = r.string(QStringLiteral("text"));
    note.colorIndex = r.integer(QStringLiteral("colorIndex"));
    note.frame = r.string(QStringLiteral("frame"));
    note.onTop = r.boolean(QStringLiteral("onTop"));
    note.visible = r.boolean(QStringLiteral("visible"));
    note.created = r.date(QStringLiteral("created"));
    note.modified = r.date(QStringLiteral("modified"));
    if (!r.ok())
        return std::nullopt;
    return note;
}

size_t qHash(const StickyNote& note, size_t seed) noexcept
{
    return qHashMulti(seed, note.id, note.text, note.colorIndex, note.frame, note.onTop, note.visible, note.created,
                      note.modified);
}
