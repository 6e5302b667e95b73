#pragma once

#include <QJsonValue>
#include <QMap>
#include <QString>
#include <optional>

// The statistics of the card games, one record for both games, kept in
// "games.json": for each game its counters by name.
struct GameStats {
    static constexpr const char* fileName = "games.json";

    QMap<QString, qint64> solitaire;
    QMap<QString, qint64> bingo;

    QJsonValue toJson() const;
    static std::optional<GameStats> fromJson(const QJsonValue& value);

    // The record in "games.json", or an empty one when the file is missing
    // or damaged.
    static GameStats load();
    bool save() const;

    friend bool operator==(const GameStats&, const GameStats&) = default;
};
