#pragma once

// The shared palette of every tool window: the colours and the top-to-bottom
// gradients of the raised chrome surfaces. Values are built once and shared.

#include "core/Tool.h"

#include <QColor>
#include <QGradientStops>
#include <QLinearGradient>
#include <QList>
#include <QRectF>

namespace Chrome {

// sRGB colour of a catalogue colour.
QColor toColor(Rgb rgb, qreal opacity = 1.0);
// A grey with red = green = blue = v.
QColor grey(qreal v, qreal opacity = 1.0);

QColor ink();
QColor cream();
QColor seafoam();
QColor cherry();
QColor turquoiseDeep();
// The plain window colour (0.93, 0.92, 0.89), the top of windowBackground.
QColor windowColor();
// Six colours; goalColor(i) indexes them modulo six (negative numbers too).
const QList<QColor>& goalColors();
QColor goalColor(int index);

// Stops of each gradient, from the top edge (0) to the bottom edge (1).
const QGradientStops& bumperStops();
const QGradientStops& bumperPressedStops();
const QGradientStops& bumperTextStops();
const QGradientStops& satinStops();
const QGradientStops& rimStops();
const QGradientStops& windowBackgroundStops();

// The gradients laid over a rectangle, top edge to bottom edge.
QLinearGradient bumper(const QRectF& rect);
QLinearGradient bumperPressed(const QRectF& rect);
QLinearGradient bumperText(const QRectF& rect);
QLinearGradient satin(const QRectF& rect);
QLinearGradient rim(const QRectF& rect);
QLinearGradient windowBackground(const QRectF& rect);
// Any stop list laid over a rectangle, top edge to bottom edge.
QLinearGradient vertical(const QGradientStops& stops, const QRectF& rect);

} // namespace Chrome
