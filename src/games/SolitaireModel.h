#pragma once

#include "games/GameStats.h"

#include <QMap>
#include <QObject>
#include <QString>

// The solitaire window's model. It reads the shared statistics record when
// it is made.
class SolitaireModel : public QObject {
    Q_OBJECT

public:
    explicit SolitaireModel(QObject* parent = nullptr);

    const QMap<QString, qint64>& stats() const { return m_stats.solitaire; }

    // Replaces the solitaire counters and writes "games.json". The bingo
    // counters come from the file as it is now, so a change the bingo
    // window saved meanwhile is kept.
    void setStats(const QMap<QString, qint64>& counters);

Q_SIGNALS:
    void statsChanged();

private:
    GameStats m_stats;
};
