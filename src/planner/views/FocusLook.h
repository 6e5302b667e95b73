#pragma once

#include <QColor>

namespace FocusLook {

// Secondary text of the light look: black at half strength.
inline QColor secondaryText() { return QColor(0, 0, 0, 128); }

} // namespace FocusLook
