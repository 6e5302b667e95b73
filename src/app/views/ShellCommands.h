#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// The application commands that several places offer (the menu bar, the
// tray menu, the floating menu's "More" menu), done the same way from each.
namespace ShellCommands {

// The extra windows, opened or fronted with their fixed key, title, size
// and resizability; each returns its window.
QWidget* openSettings();
QWidget* openHelp();
QWidget* openAbout();

// Opens the maker's web site in the default browser.
void visitWebsite();
// "Export My Data…": the folder chooser, the copy, the report.
void exportData();
// Ends the program (the termination steps run on the way out). Every
// unsaved document is asked about; then, when some changes still cannot be
// saved (unsavedAtQuit), the user is told which and may stay.
void quit();
// The owners ("Scientific Calculator", "Preferences") of the changes that
// could not be saved even after one more try: they would be lost at quit.
QStringList unsavedAtQuit();

} // namespace ShellCommands
