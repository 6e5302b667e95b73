#pragma once

#include <QSettings>
#include <QString>
#include <QVariantMap>
#include <optional>

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

// A settings file larger than this is not read.
constexpr qint64 kMaxFileSize = 1024 * 1024;
// Who problems with the settings file are reported for (StoreEvents).
inline const QString kOwner = QStringLiteral("Preferences");

// Checks the settings file at `path` before it is used: one that is a link,
// beyond kMaxFileSize, damaged or of the wrong form is moved aside as
// "<name>.unreadable-<UTC timestamp>" (copied when it cannot be moved) and
// reported to StoreEvents, so that the settings start afresh without
// writing over it. Returns where it was kept; empty when the file is fine,
// missing or nothing could be kept. settings() does this before first use.
QString checkFile(const QString& path);

// The settings held in the text of a settings file (empty text: none), or
// nothing when it is damaged, not an object, too large or beyond the entry
// limit.
std::optional<QVariantMap> parse(const QByteArray& data);

// Writes pending changes now. A file that cannot be written is reported to
// StoreEvents (once, until a later write succeeds); the values stay in
// memory and are written again by the store's retries (Store::retryLater).
bool sync();

// Typed reads: the stored value when it has the wanted type, else `fallback`.
bool boolValue(const QString& key, bool fallback);
QString stringValue(const QString& key, const QString& fallback);
double doubleValue(const QString& key, double fallback);

} // namespace SettingsStore
