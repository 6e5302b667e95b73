#pragma once

#include <QColor>

class QFont;
class QLabel;
class QString;
class QWidget;

// A plain-text label in `font`, its text in `color` (the palette's own text
// colour when `color` is invalid).
QLabel* styledLabel(const QString& text, const QFont& font, const QColor& color = QColor(), QWidget* parent = nullptr);
