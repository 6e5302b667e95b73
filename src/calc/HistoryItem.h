#pragma once

#include <QDateTime>
#include <QJsonValue>
#include <QString>
#include <QUuid>
#include <optional>

// One finished calculation of the scientific calculator.
struct HistoryItem {
    QUuid id;
    QString expression;   // as it stood in the field, untrimmed
    QString result;       // the displayed result text
    QDateTime date;

    // A new entry with a fresh id, dated now.
    static HistoryItem make(const QString& expression, const QString& result);

    QJsonValue toJson() const;
    // Strict: every key ("date", "expression", "id", "result") is required.
    static std::optional<HistoryItem> fromJson(const QJsonValue& value);

    friend bool operator==(const HistoryItem&, const HistoryItem&) = default;
};
