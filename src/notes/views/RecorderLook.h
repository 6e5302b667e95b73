#pragma once

#include <QColor>

class QWidget;

// Colours of the recorder window beyond the shared palette.
namespace RecorderLook {

// Secondary text: dimmed ink.
QColor secondary();
void setTextColor(QWidget* widget, const QColor& color);

} // namespace RecorderLook
