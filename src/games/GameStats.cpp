#include "games/GameStats.h"

#include "core/Json.h"
#include "core/Store.h"

#include <cmath>

namespace {

QJsonObject countersToJson(const QMap<QString, qint64>& counters)
{
    QJsonObject o;
    for (auto it = counters.begin(); it != counters.end(); ++it)
        o.insert(it.key(), it.value());
    return o;
}

// Every counter must be a whole number that fits 64 bits.
std::optional<QMap<QString, qint64>> countersFromJson(const QJsonObject& o)
{
    QMap<QString, qint64> out;
    for (auto it = o.begin(); it != o.end(); ++it) {
        const QJsonValue v = it.value();
        if (!v.isDouble())
            return std::nullopt;
        const double d = v.toDouble();
        if (!std::isfinite(d) || std::trunc(d) != d || d < -9223372036854775808.0 || d >= 9223372036854775808.0)
            return std::nullopt;
        out.insert(it.key(), v.toInteger(qint64(d)));
    }
    return out;
}

} // namespace

QJsonValue GameStats::toJson() const
{
    return QJsonObject{{QStringLiteral("solitaire"), countersToJson(solitaire)},
                       {QStringLiteral("bingo"), countersToJson(bingo)}};
}

std::optional<GameStats> GameStats::fromJson(const QJsonValue& value)
{
    Json::Reader r(value);
    const QJsonObject s = r.obj(QStringLiteral("solitaire"));
    const QJsonObject b = r.obj(QStringLiteral("bingo"));
    if (!r.ok())
        return std::nullopt;
    std::optional<QMap<QString, qint64>> sc = countersFromJson(s);
    std::optional<QMap<QString, qint64>> bc = countersFromJson(b);
    if (!sc || !bc)
        return std::nullopt;
    return GameStats{*sc, *bc};
}

GameStats GameStats::load()
{
    return Store::load<GameStats>(QString::fromLatin1(fileName)).value_or(GameStats{});
}

bool GameStats::save() const
{
    return Store::save(*this, QString::fromLatin1(fileName));
}
