#pragma once

#include <QObject>
#include <QString>
#include <functional>

// The fixed receiver of the "Export My Data…" items of the menus, which are
// built outside any window.
class VEXOBWMenuTarget : public QObject {
    Q_OBJECT
public:
    static VEXOBWMenuTarget& shared();

public Q_SLOTS:
    // Runs VEXOBWExport::chooseAndExport().
    void exportData();

private:
    VEXOBWMenuTarget() = default;
};

namespace VEXOBWExport {

// Asks for a folder, copies the data folder into a new dated folder inside
// it, shows that folder in the file browser and reports what was copied.
// Nothing happens when the user cancels.
void chooseAndExport();

// The folder chooser: returns the chosen folder, or an empty text when the
// user cancelled. Tests replace it; returns the previous chooser (empty: the
// real dialog).
using FolderChooser = std::function<QString()>;
FolderChooser setFolderChooser(FolderChooser chooser);

// The folder a folder dialog's answer names: the path in its name field when
// that names a folder (absolute, "~/…", or relative to the folder the dialog
// shows), else the first selected folder, else the folder it shows.
QString chosenFolder(const QString& typed, const QString& shown, const QStringList& selected);

} // namespace VEXOBWExport
