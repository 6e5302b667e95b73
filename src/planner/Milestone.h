#pragma once

#include <QDateTime>
#include <QJsonValue>
#include <QString>
#include <QUuid>
#include <optional>

// A step on the way to a study goal: what is to be reached, by when, and
// whether it has been.
struct Milestone {
    QUuid id;
    QString title;
    QDateTime date;
    bool done = false;

    // A new milestone with a fresh id.
    static Milestone make(const QString& title, const QDateTime& date, bool done = false);

    QJsonValue toJson() const;
    // Strict: "date", "done", "id" and "title" are all required.
    static std::optional<Milestone> fromJson(const QJsonValue& value);

    friend bool operator==(const Milestone&, const Milestone&) = default;
};
