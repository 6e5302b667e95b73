#pragma once

#include <QColor>
#include <QFont>
#include <QRectF>
#include <QStringList>

class QPainter;

// Colours and the display background shared by the two calculator windows.
namespace CalcLook {

// Text on the dark display: (0.75, 1, 0.9).
QColor displayText();
// Error text on the dark display: (1, 0.55, 0.5).
QColor errorText();
// The badges of the scientific display.
QColor orange();
// Secondary text on the light window and panels.
QColor secondary();
// Secondary text on the dark display (a light grey that stays legible).
QColor secondaryOnDisplay();

// The display: a rounded rectangle (radius 14) filled top to bottom from
// (0.05, 0.12, 0.13) to (0.08, 0.22, 0.22), its border stroked inside with
// the rim gradient at width 3.
void paintDisplay(QPainter& painter, const QRectF& rect);

// Label size of the function pad: its labels run to five characters.
constexpr qreal padLabelSize = 15;
// The face key labels are drawn in: the bold rounded face when it has every
// character of `labels`, else the bold system face, so that no label (and no
// pad given as a whole) mixes glyphs of two faces.
QFont keyFace(const QStringList& labels);


} // namespace CalcLook
