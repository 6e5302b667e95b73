#pragma once

#include <QString>

// Which paths the word processor may read or start a panel in. The kernel's
// folders (/proc, /sys, /dev) hold files that never end or block a reader
// (/proc/kmsg, a terminal), and a pipe or device blocks whoever opens it:
// none of them is a document, and none is read on the interface thread.
// Each answer comes from the path and one stat; nothing here opens a file.
namespace WPPaths {

// The path, or where a link in it leads, lies in /proc, /sys or /dev.
bool isSystemPath(const QString& path);
// A regular file (a link to one included) outside the system folders.
bool isPlainFile(const QString& path);
// A folder outside the system folders.
bool isUsableFolder(const QString& path);
// Why `path` is not opened as a document (a folder only counts as a package
// when `packageAllowed`), or an empty text when it may be read (or does not
// exist, which its reader reports).
QString readProblem(const QString& path, bool packageAllowed = true);
// Why nothing is written to `path` (a system folder, or a pipe or device
// there, which would block the writer), or an empty text.
QString writeProblem(const QString& path);

} // namespace WPPaths
