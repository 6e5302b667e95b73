#include "calc/Course.h"

#include "core/Json.h"

Course Course::make(const QString& name, double credits, const QString& grade)
{
    return Course{QUuid::createUuid(), name, credits, grade};
}

QJsonValue Course::toJson() const
{
    return QJsonObject{
        {QStringLiteral("id"), Json::fromUuid(id)},
        {QStringLiteral("name"), name},
        {QStringLiteral("credits"), credits},
        {QStringLiteral("grade"), grade},
    };
}

std::optional<Course> Course::fromJson(const QJsonValue& value)
{
    Json::Reader r(value);
    Course c;
    c.id = r.uuid(QStringLiteral("id"));
    c.name = r.string(QStringLiteral("name"));
    c.credits = r.number(QStringLiteral("credits"));
    c.grade = r.string(QStringLiteral("grade"));
    if (!r.ok())
        return std::nullopt;
    return c;
}
