#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QWidget;

// The windowed program as main() starts it, and the windows the snapshot
// mode captures.
namespace Shell {

// Starts the windowed mode on the running QApplication (before exec()).
// When the program already runs for this user and data folder, it is asked
// to show its floating menu instead, and the result is the exit status this
// process should end with; otherwise nothing, and main() runs the event
// loop.
// `documents` (absolute paths) open in the word processor, in the running
// program when there is one.
std::optional<int> launch(const QStringList& documents = {});

// The documents named on a command line: every argument after the program
// that is not an option ("-…"; everything after "--" counts), as absolute
// paths; file: URLs become their local paths.
QStringList documentArguments(const QStringList& arguments);

struct SnapshotWindow {
    QString key;
    std::function<QWidget*()> open;
};

// Every window the program can make, keyed by tool raw value or by
// "settings", "help", "about", "floating-menu-v", "floating-menu-h".
QList<SnapshotWindow> snapshotWindows();

} // namespace Shell
