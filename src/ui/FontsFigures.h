#pragma once

// Figures of the rounded face. Its bold cut spaces the "4" far wider than
// the other figures, so "44" or "1609344" look as if they held a space. The
// program draws bold rounded text with a copy of that cut whose "4" has the
// side bearings of its neighbours, registered under a family of its own.

#include <QByteArray>
#include <QFont>
#include <QString>

namespace Fonts {

// The family for rounded text at `weight`: the mended copy for the weights
// that use the bold cut, when it could be made, else the rounded face.
QString roundedFamily(QFont::Weight weight);

// Gives every figure whose side bearings together exceed `limit` times their
// median over the ten figures the mean bearings of the other figures. `font` is a TrueType
// file; `family` replaces the family name it carries (same length, so the
// tables keep their sizes). Returns the changed file, or an empty array when
// the data does not read as expected or nothing needed mending.
QByteArray mendFigures(const QByteArray& font, const QByteArray& family, qreal limit);

} // namespace Fonts
