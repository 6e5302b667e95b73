#include "wordproc/WPWindowPlacement.h"

#include <algorithm>

namespace WPWindowPlacement {

QRect firstFrame(QSize size, QSize minimum, const QRect& available, QSize decoration)
{
    if (!available.isValid())
        return QRect(QPoint(0, 0), size.expandedTo(minimum));
    const QSize room = (available.size() - decoration).expandedTo(QSize(0, 0));
    const QSize shown = size.boundedTo(room).expandedTo(minimum);
    const QSize outer = shown + decoration;
    // Centred; a window larger than the screen starts at its top left.
    const int x = available.x() + std::max(0, (available.width() - outer.width()) / 2);
    const int y = available.y() + std::max(0, (available.height() - outer.height()) / 2);
    return QRect(QPoint(x, y), shown);
}

} // namespace WPWindowPlacement
