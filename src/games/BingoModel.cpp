#include "games/BingoModel.h"

BingoModel::BingoModel(QObject* parent)
    : QObject(parent)
    , m_stats(GameStats::load())
{
}

void BingoModel::setStats(const QMap<QString, qint64>& counters)
{
    GameStats current = GameStats::load();
    current.bingo = counters;
    m_stats = current;
    m_stats.save();
    Q_EMIT statsChanged();
}
