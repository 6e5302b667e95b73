#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

// The windowed program as main() starts it, and the windows the snapshot
// mode captures.
namespace Shell {

// Starts the windowed mode on the running QApplication (before exec()).
void launch();

struct SnapshotWindow {
    QString key;
    std::function<QWidget*()> open;
};

// Every window the program can make, keyed by tool raw value or by
// "settings", "help", "about", "floating-menu-v", "floating-menu-h".
QList<SnapshotWindow> snapshotWindows();

} // namespace Shell
