#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

class QIODevice;

// The one way a file is written and a state file is read. A write goes to a
// temporary file beside the target, is flushed and synced, and its size on
// disk is compared with what was written before it replaces the target, so
// a full disk or a short write leaves the previous version in place and
// reports the failure instead of a cut file.
namespace SafeFile {

// Writes `data` to `path` atomically. On failure the target is as it was
// and `error` (when given) says why in words for the user.
bool write(const QString& path, const QByteArray& data, QString* error = nullptr);

// The same with the contents produced by `fill`, which writes to the device
// and returns false to give up (nothing is then replaced).
bool write(const QString& path, const std::function<bool(QIODevice& out)>& fill, QString* error = nullptr);

// Copies the regular file `from` to `to` through write(), keeping its
// permissions.
bool copy(const QString& from, const QString& to, QString* error = nullptr);

// What a write leaves behind when the process ends in the middle of it:
// the temporary file beside the target, named after the target, a dot and
// six random ASCII letters ("doc.docx.XAcaVB"). Such a name is taken for
// one of ours only when the letters mix upper and lower case and do not
// read as a capitalised word, so that a user's "doc.docx.backup" or
// "doc.docx.Backup" is never taken for one (a few real leftovers stay).
// `targetName` is then the file name it was meant to become.
bool isLeftoverName(const QString& fileName, QString* targetName = nullptr);

// Removes, in `folder`, the leftovers of the files whose names `ours`
// accepts (all of them when it is empty). Only regular files of this user
// whose last change is at least `minAgeSeconds` old go: a write that is
// still running keeps changing its file. Returns how many were removed.
int removeLeftovers(const QString& folder, const std::function<bool(const QString& targetName)>& ours,
                    int minAgeSeconds);
// The leftovers of the one file `path`.
int removeLeftoversOf(const QString& path, int minAgeSeconds);

// A leftover this old is no write in progress, whoever made it.
constexpr int kLeftoverAgeSeconds = 120;

// Tests replace the last step before a file is committed to simulate a
// full disk: the hook gets the target path and returns an error text to
// fail the write, or an empty text to let it go ahead. Pass nothing to
// restore.
void setFault(std::function<QString(const QString& path)> fault);

// Reading a file that may be anything: never blocks on a pipe or a device,
// never follows a link, never reads more than a limit.
struct ReadResult {
    enum class Status { ok, missing, link, notRegular, tooLarge, failed };
    Status status = Status::failed;
    QByteArray data; // ok only
    qint64 size = 0; // the size found (tooLarge too)
    QString error;   // failed: the system's words
};
ReadResult readRegular(const QString& path, qint64 maxSize);

} // namespace SafeFile
