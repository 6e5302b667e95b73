#include "wordproc/WPWindowPlacement.h"

#include <algorithm>

namespace WPWindowPlacement {

QRect firstFrame(QSize size, const QRect& available, QSize decoration)
{
    if (!available.isValid())
        return QRect(QPoint(0, 0), size);
    const QSize outer = size + decoration;
    const int x = available.x() + std::max(0, (available.width() - outer.width()) / 2);
    const int y = available.y() + std::max(0, (available.height() - outer.height()) / 2);
    return QRect(QPoint(x, y), size);
}

} // namespace WPWindowPlacement
