#pragma once

#include "games/GameStats.h"

#include <QMap>
#include <QObject>
#include <QString>

// The bingo window's model. It reads the shared statistics record when
// it is made.
class BingoModel : public QObject {
    Q_OBJECT

public:
    explicit BingoModel(QObject* parent = nullptr);

    const QMap<QString, qint64>& stats() const { return m_stats.bingo; }

    // Replaces the bingo counters and writes "games.json". The solitaire
    // counters come from the file as it is now, so a change the solitaire
    // window saved meanwhile is kept.
    void setStats(const QMap<QString, qint64>& counters);

Q_SIGNALS:
    void statsChanged();

private:
    GameStats m_stats;
};
