#pragma once

#include <QString>

// Launch at login through an XDG autostart entry
// (~/.config/autostart/brindleworks.desktop).
namespace LoginItem {

enum class Status { notRegistered, enabled };

QString entryPath();
Status status();
// Writes the entry; false with a readable reason on failure.
bool registerItem(QString* error);
// Removes the entry; removing an absent entry succeeds.
bool unregisterItem(QString* error);

} // namespace LoginItem
