#include "notes/StickyPalette.h"

#include <QStringList>

namespace StickyPalette {

const QList<Rgb>& colors()
{
    static const QList<Rgb> list{{1.0, 0.95, 0.55}, {0.7, 0.93, 0.86}, {1.0, 0.78, 0.82},
                                 {0.74, 0.87, 1.0}, {0.86, 0.8, 0.98}, {1.0, 0.82, 0.62}};
    return list;
}

const QStringList& names()
{
    static const QStringList list{QStringLiteral("Lemon"), QStringLiteral("Seafoam"),
                                  QStringLiteral("Cherry Pink"), QStringLiteral("Sky"),
                                  QStringLiteral("Lilac"), QStringLiteral("Tangerine")};
    return list;
}

int shownIndex(qint64 colorIndex)
{
    return int(std::max<qint64>(colorIndex, 0) % count);
}

Rgb color(qint64 colorIndex)
{
    return colors().at(shownIndex(colorIndex));
}

} // namespace StickyPalette
