#pragma once

#include "ui/StyledLabel.h"

#include <QColor>
#include <QFont>
#include <QString>

class ConverterCombo;
class QLabel;
class QWidget;

// Fonts, colours and small builders shared by the two tabs of the Unit
// Converter window.
namespace ConverterStyle {

// The system font's rounded design.
QFont rounded(qreal size, QFont::Weight weight = QFont::Normal);
QFont caption();
// Secondary text on the light window and panels.
QColor secondary();

// A picker with its label in front, as one row of `width` (0: free width).
QWidget* labelledPicker(const QString& label, ConverterCombo* combo, int width, QWidget* parent);
// Lets the user select `label`'s text with the mouse. A selectable label
// keeps a text document of its own, dear to build and to draw for every
// figure of the window: the label turns selectable when the pointer first
// comes over it, before any press can reach it.
void selectableOnHover(QLabel* label);
// Menu texts show "&" literally.
QString menuText(const QString& text);

} // namespace ConverterStyle
