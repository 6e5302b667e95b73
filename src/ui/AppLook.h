#pragma once

// The application's one appearance: Fusion style, a fixed light palette and
// the system font, whatever the desktop theme says.

#include <QPalette>

class QApplication;

namespace AppLook {

QPalette lightPalette();
// Applies style, palette and default font to the running application.
void apply(QApplication& app);

} // namespace AppLook
