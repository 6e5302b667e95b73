#pragma once

#include <QSettings>
#include <QString>

// The user-preferences store: a QSettings file in a JSON format of our own,
// so a stored value keeps its type (a text stored under a Boolean key stays
// a text and reads as the default).
namespace SettingsStore {

// The process-wide settings object. Normally
// $XDG_CONFIG_HOME/VEXO/Brindleworks.json.
QSettings& settings();

// Points the store at another file (the test modes and the test harness do
// this at start). Pending changes of the file in use are written first; a
// reference from settings() taken before does not survive the call, and
// objects that read the settings once (AppSettings) keep what they read.
void redirectTo(const QString& filePath);

QString filePath();

// Typed reads: the stored value when it has the wanted type, else `fallback`.
bool boolValue(const QString& key, bool fallback);
QString stringValue(const QString& key, const QString& fallback);
double doubleValue(const QString& key, double fallback);

} // namespace SettingsStore
