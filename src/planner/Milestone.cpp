#include "planner/Milestone.h"

#include "core/Json.h"

#include <QJsonObject>

Milestone Milestone::make(const QString& title, const QDateTime& date, bool done)
{
    return Milestone{QUuid::createUuid(), title, date, done};
}

QJsonValue Milestone::toJson() const
{
    return QJsonObject{{QStringLiteral("date"), Json::fromDate(date)},
                       {QStringLiteral("done"), done},
                       {QStringLiteral("id"), Json::fromUuid(id)},
                       {QStringLiteral("title"), title}};
}

std::optional<Milestone> Milestone::fromJson(const QJsonValue& value)
{
    Json::Reader r(value);
    Milestone m;
    m.date = r.date(QStringLiteral("date"));
    m.done = r.boolean(QStringLiteral("done"));
    m.id = r.uuid(QStringLiteral("id"));
    m.title = r.string(QStringLiteral("title"));
    if (!r.ok())
        return std::nullopt;
    return m;
}
