#pragma once

#include "core/Tool.h"

#include <QList>
#include <QString>

// The six note colours and their names, in the order of the colour dots.
namespace StickyPalette {

constexpr int count = 6;

const QList<Rgb>& colors();
const QStringList& names();

// The palette position a note with `colorIndex` is painted in: negative
// indexes show colour 0, indexes of six or more wrap round. The stored index
// itself is never changed.
int shownIndex(qint64 colorIndex);
Rgb color(qint64 colorIndex);

} // namespace StickyPalette
