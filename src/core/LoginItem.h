#pragma once

#include <QString>

// Launch at login through an XDG autostart entry
// (~/.config/autostart/brindleworks.desktop).
namespace LoginItem {

enum class Status { notRegistered, enabled };

QString entryPath();
// The Exec value that starts `program` with no arguments, quoted and
// escaped so that any path (blanks, quotes, "$", "%", backslashes, line
// breaks) comes back to the launcher exactly as given.
QString execValue(const QString& program);
Status status();
// Writes the entry; false with a readable reason on failure.
bool registerItem(QString* error);
// Removes the entry; removing an absent entry succeeds.
bool unregisterItem(QString* error);

} // namespace LoginItem
