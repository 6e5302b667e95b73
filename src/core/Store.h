#pragma once

#include "core/Json.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <functional>
#include <optional>

// The data folder and the one way a state file is written.
namespace Store {

// The data folder: $VEXO_BW_DATA_DIR when set and not empty (relative paths
// resolve against the working directory), else the XDG data home +
// "VEXO Brindleworks". Computed once, created on first use (errors ignored).
QString folder();

// folder() + "/" + name.
QString path(const QString& name);

// Pretty-printed JSON with sorted keys. Nothing when the value holds a
// number JSON cannot carry.
std::optional<QByteArray> encode(const QJsonValue& value);

// Writes `value` as `name` in the data folder: the previous file (if any)
// becomes name + ".bak", then the new text replaces the file atomically.
// When encoding fails nothing is touched. A file that cannot be written
// (read-only folder, full disk, read-only mode) is reported to
// StoreEvents::shared() once per tool, and the report clears with that
// tool's next successful save. The text that could not be written is tried
// again every kRetryInterval ms and once more when the application quits,
// until it goes through or a later save of the same file takes its place,
// so an edit made while the disk was full is written once there is room.
// In read-only mode nothing is tried again.
bool save(const QJsonValue& value, const QString& name);

constexpr int kRetryInterval = 5000;

// Other writers of the user's state (the preferences) join the same
// retries: `attempt` is run at each retry until it returns true; a later
// call with the same `key` replaces it. Without an application object the
// retries run only when retryFailedSaves() is called.
void retryLater(const QString& key, std::function<bool()> attempt);
// Runs every waiting retry now; returns how many still wait.
qsizetype retryFailedSaves();
// Forgets every waiting retry (tests start each case clean).
void dropRetries();

// Read-only mode: another copy of the program owns the data folder. Every
// save is refused (and reported with `reason`) until the mode is left.
void setReadOnly(bool on, const QString& reason = QString());
bool isReadOnly();

// Tests replace the final write of a save or a kept copy to simulate a full
// disk: the hook gets the target path and returns an error text to fail the
// write, or an empty text to let it go ahead. Pass nothing to restore.
void setWriteFault(std::function<QString(const QString& path)> fault);

inline bool save(const QJsonObject& value, const QString& name) { return save(QJsonValue(value), name); }
inline bool save(const QJsonArray& value, const QString& name) { return save(QJsonValue(value), name); }

template <class T>
    requires requires(const T& r) { r.toJson(); }
bool save(const T& record, const QString& name)
{
    return save(QJsonValue(record.toJson()), name);
}

// Files larger than this are not read: they count as unreadable. Inside a
// file, every array and object is held to Json::kMaxListEntries entries and
// the record readers hold texts to Json::kMaxTextLength.
constexpr qint64 kMaxStateFileSize = 16 * 1024 * 1024;

// The parsed JSON of `name`, or nothing when the file is missing, unreadable,
// too large, not JSON or holds an array or object beyond the entry limit.
// Never reads the ".bak" copy.
std::optional<QJsonValue> read(const QString& name);

// A state file that exists but cannot be read strictly is copied aside as
// "<name>.unreadable-<UTC timestamp>" in the data folder before anything can
// be written over it. A copy with the same bytes is made only once. Returns
// the path of the copy (existing or new), or an empty string when `name` does
// not exist or could not be copied.
QString keepUnreadable(const QString& name);

// The same for any file: a copy beside it as "<file>.<why>-<UTC
// timestamp>" (a link is kept as the path it names), made once per content.
// `why` says what the copy is: "unreadable", or "declined" for a backup the
// user chose not to put back. Returns the copy's path, or an empty string
// when nothing could be kept.
QString keepCopyOf(const QString& filePath, const QString& why = QStringLiteral("unreadable"));
// A fresh name for such a copy of `filePath`.
QString asideName(const QString& filePath, const QString& why = QStringLiteral("unreadable"));

// When a state file cannot be read but its ".bak" copy reads strictly, the
// user is asked (naming both files) whether to put the backup back; until
// an answer is installed nothing is ever restored. `ask` returns true for
// yes. The shell installs a question with a dialog.
void setRestoreQuestion(std::function<bool(const QString& file, const QString& backup)> ask);
// The parsed ".bak" of a state file whose last load failed, when a question
// is installed; nothing otherwise.
std::optional<QJsonValue> readBackup(const QString& name);
// Asks, and on yes copies the backup over the unreadable file (kept aside
// before); on no keeps a copy of the backup (keepCopyOf, as "declined"),
// which the next saves would otherwise replace. A file already decided
// about by askAboutBackups() is not asked about again. True when the
// backup's record is to be used: it is now the state file, or (when the
// unreadable file could not be kept or the folder cannot be written) it is
// written as soon as it can be, like a failed save.
bool restoreBackup(const QString& name);

// A state file and the check its owner reads it by: true when the JSON
// value is a record the owner takes.
struct StateFile {
    QString name;
    std::function<bool(const QJsonValue&)> reads;
};

// At start, before any tool reads its file: of the state files `files`,
// those that exist but cannot be read strictly while their ".bak" copies
// can are put to the user at once. `askMany` gets the pairs of file and
// backup (full paths) and returns true to put the backups back. On yes
// each backup replaces its file (the unreadable one kept aside first); on
// no each backup is kept as declined. Either way the loads that follow do
// not ask again. Nothing happens without a restore question, or read-only.
void askAboutBackups(const QList<StateFile>& files,
                     const std::function<bool(const QList<std::pair<QString, QString>>& files)>& askMany);

// The shared reading convention: the record decoded strictly from `name`,
// or nothing (the caller keeps its defaults). A file that exists but fails
// to decode is kept aside first (keepUnreadable; when that fails it is left
// untouched); when its backup decodes and the user agrees, the backup is
// put back (restoreBackup) and its record returned.
template <class T>
std::optional<T> load(const QString& name)
{
    std::optional<QJsonValue> v = read(name);
    std::optional<T> record = v ? T::fromJson(*v) : std::nullopt;
    if (!record) {
        keepUnreadable(name);
        const std::optional<QJsonValue> b = readBackup(name);
        std::optional<T> backup = b ? T::fromJson(*b) : std::nullopt;
        if (backup && restoreBackup(name))
            return backup;
    }
    return record;
}

// Same for a plain array of records.
template <class T>
std::optional<QList<T>> loadList(const QString& name)
{
    std::optional<QJsonValue> v = read(name);
    std::optional<QList<T>> list = v ? Json::toList<T>(*v) : std::nullopt;
    if (!list) {
        keepUnreadable(name);
        const std::optional<QJsonValue> b = readBackup(name);
        std::optional<QList<T>> backup = b ? Json::toList<T>(*b) : std::nullopt;
        if (backup && restoreBackup(name))
            return backup;
    }
    return list;
}

// Removes what writes cut short (a crash, a kill) left in the data folder:
// the temporary files of state files, of their backups and of kept copies
// (SafeFile::isLeftoverName) that have not changed for `minAgeSeconds`.
// Nothing in read-only mode. Returns how many went.
int removeLeftovers(int minAgeSeconds);
// Only one copy of the program writes in the data folder (its lock), so a
// temporary file there that has rested this long is no write in progress.
constexpr int kOwnLeftoverAgeSeconds = 10;

// Where what the data folder cannot take when the program ends is kept as
// a last resort: a folder in the temporary folder, one per data folder.
QString lastResortFolder();
// Makes `path` (lastResortFolder() or a folder inside it) for this user
// alone; false when it cannot be made, or something else (a link, another
// user's folder) is there.
bool makePrivateFolder(const QString& path);

// When the program ends with saves still failing: the text of every state
// file that waits for its retry is written to lastResortFolder() instead.
// Returns the names of those that could not be kept there either.
QStringList keepWaitingSavesElsewhere();
// At start: what the last run kept in lastResortFolder() is moved into the
// data folder as "<name>.unsaved-<UTC timestamp>" (left where it is when it
// cannot be) and told to StoreEvents. Returns where each file is now.
QStringList bringBackKeptElsewhere();

// Parses JSON text as the store reads it (shared by read() and the fuzzer):
// an object or an array within the entry limits, else nothing.
std::optional<QJsonValue> parse(const QByteArray& data);

// True when no array or object inside `value` has more than `maxEntries`
// entries.
bool withinLimits(const QJsonValue& value, qsizetype maxEntries = Json::kMaxListEntries);

} // namespace Store
