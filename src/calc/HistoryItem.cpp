#include "calc/HistoryItem.h"

#include "core/Json.h"

#include <QJsonObject>

HistoryItem HistoryItem::make(const QString& expression, const QString& result)
{
    return HistoryItem{QUuid::createUuid(), expression, result, QDateTime::currentDateTimeUtc()};
}

QJsonValue HistoryItem::toJson() const
{
    return QJsonObject{{QStringLiteral("date"), Json::fromDate(date)},
                       {QStringLiteral("expression"), expression},
                       {QStringLiteral("id"), Json::fromUuid(id)},
                       {QStringLiteral("result"), result}};
}

std::optional<HistoryItem> HistoryItem::fromJson(const QJsonValue& value)
{
    Json::Reader r(value);
    HistoryItem item;
    item.date = r.date(QStringLiteral("date"));
    item.expression = r.string(QStringLiteral("expression"));
    item.id = r.uuid(QStringLiteral("id"));
    item.result = r.string(QStringLiteral("result"));
    if (!r.ok())
        return std::nullopt;
    return item;
}
