#pragma once

#include <QString>
#include <functional>

// Shows a file or folder in the desktop's file browser, selected inside its
// enclosing folder.
namespace FileReveal {

// Tests replace the desktop with a handler; returns the previous handler
// (empty: the desktop).
using Handler = std::function<void(const QString& path)>;
Handler setHandler(Handler handler);

// Asks the file manager over D-Bus (org.freedesktop.FileManager1.ShowItems)
// to show `path` selected; where no file manager answers, opens the folder
// that holds `path` instead. Returns at once.
void reveal(const QString& path);

} // namespace FileReveal
