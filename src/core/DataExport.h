#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringList>

// Copying the whole data folder into a dated folder the user picked, as a
// backup or to move everything to another computer. The interactive command
// (folder chooser, reveal, alert) lives with the menu target in app/views.
namespace VEXOBWExport {

// The running program's lock file in the data folder (and its helpers,
// which share the prefix); never exported.
inline constexpr char kLockFileName[] = ".brindleworks.lock";

// "Brindleworks Export " + the local date and time as "yyyy-MM-dd HHmm".
QString folderName(const QDateTime& when, const QLocale& locale = QLocale::system());

// What one copy run did.
struct Result {
    enum class Problem {
        none,
        // The export folder could not be made (a file in the way, no rights).
        destination,
        // The data folder could not be listed.
        source,
        // The export folder is the data folder or holds it; copying would
        // replace the data with itself.
        overlap,
        // The export folder is the data folder or lies inside it; nothing
        // was made.
        insideData,
    };

    Problem problem = Problem::none;
    // Items of the data folder copied whole (a folder with all it holds).
    int copied = 0;
    // Names of the data folder's items that could not be copied whole.
    QStringList failed;
    // The export folder did not exist before this run.
    bool createdDestination = false;
};

// Copies every item of `source` but the lock file (hidden ones too, folders with everything in
// them, symbolic links as links) into `destination`, which is created with
// any missing parents. An item already at the target is replaced. A
// destination that is `source` or lies inside it is refused (insideData).
// Files that are neither regular files, folders nor links (sockets, pipes)
// count as failed.
Result copyAll(const QString& source, const QString& destination);

// copyAll() from the data folder (Store::folder()); the number of items
// copied.
int exportAll(const QString& destination);

// The alert that ends an export.
struct Report {
    enum class Kind { success, partial, failure };
    Kind kind = Kind::success;
    QString title;
    QString text;
    // Whether the export folder is worth showing in the file browser.
    bool reveal = true;
};

// "Exported N item" / "Exported N items".
QString countTitle(int count);

// The alert for `result` of an export into `exportFolder`. `dataFolder` is
// named when it could not be read.
Report report(const Result& result, const QString& exportFolder, const QString& dataFolder);

} // namespace VEXOBWExport
