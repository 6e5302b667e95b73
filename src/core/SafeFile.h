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
