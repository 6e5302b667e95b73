#include "notes/views/RecorderLook.h"

#include <QPalette>
#include <QWidget>

namespace RecorderLook {

QColor secondary()
{
    return QColor::fromRgbF(0, 0, 0, 0.5f);
}

void setTextColor(QWidget* widget, const QColor& color)
{
    QPalette p = widget->palette();
    p.setColor(QPalette::WindowText, color);
    p.setColor(QPalette::Text, color);
    widget->setPalette(p);
}

} // namespace RecorderLook
