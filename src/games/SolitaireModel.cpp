#include "games/SolitaireModel.h"

SolitaireModel::SolitaireModel(QObject* parent)
    : QObject(parent)
    , m_stats(GameStats::load())
{
}

void SolitaireModel::setStats(const QMap<QString, qint64>& counters)
{
    GameStats current = GameStats::load();
    current.solitaire = counters;
    m_stats = current;
    m_stats.save();
    Q_EMIT statsChanged();
}
