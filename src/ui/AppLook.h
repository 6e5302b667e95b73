#pragma once

// The application's one appearance: Fusion style, a fixed light palette and
// the system font, whatever the desktop theme says.

#include <QPalette>
#include <QString>

class QApplication;

namespace AppLook {

// The light colours for a window and what it holds. The selection colours
// are left to the application, so that the widgets showing a selection keep
// their inactive grey under a window given this palette.
QPalette lightPalette();
// The application's palette: the light one with its selection colours, the
// same in active and inactive windows.
QPalette applicationPalette();
// For widgets that show a selection: grey while their window is inactive.
QPalette selectionPalette();
// Applies style, palette and default font to the running application.
void apply(QApplication& app);
// The name of the style the application's look is built on ("fusion"), for
// QStyleFactory.
QString styleName();

} // namespace AppLook
