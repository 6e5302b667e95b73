#pragma once

#include <QJsonValue>
#include <QString>
#include <QUuid>
#include <optional>

// One course of the GPA tab. JSON: {"id", "name", "credits", "grade"}, all
// four keys required.
struct Course {
    QUuid id;
    QString name;
    double credits = 0;
    QString grade;

    // A course with a fresh random id.
    static Course make(const QString& name, double credits, const QString& grade);

    QJsonValue toJson() const;
    static std::optional<Course> fromJson(const QJsonValue& value);

    friend bool operator==(const Course&, const Course&) = default;
};
