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

} // namespace VEXOBWExport
