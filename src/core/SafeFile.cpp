#include "core/SafeFile.h"

#include <QFile>
#include <QMutex>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace SafeFile {

namespace {

// Writes run on workers too (the word processor's recovery copies): the
// hook is read and replaced under a lock.
QMutex& faultLock()
{
    static QMutex lock;
    return lock;
}

std::function<QString(const QString&)>& faultHook()
{
    static std::function<QString(const QString&)> hook;
    return hook;
}

std::function<QString(const QString&)> fault()
{
    const QMutexLocker locker(&faultLock());
    return faultHook();
}

QString systemError(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

bool fail(QString* error, const QString& why)
{
    if (error)
        *error = why.isEmpty() ? QStringLiteral("the file could not be written") : why;
    return false;
}

// Why a write failed: Qt's words, unless it has none to offer (a short
// write or a failed flush often leaves "Unknown error").
QString reasonFor(const QFileDevice& file)
{
    const QString qt = file.errorString();
    if (file.error() == QFileDevice::NoError || qt.isEmpty() || qt == QLatin1String("Unknown error"))
        return QStringLiteral("not all of it could be written; the disk may be full");
    return qt;
}

bool giveUp(QSaveFile& file, QString* error, const QString& why)
{
    file.cancelWriting();
    return fail(error, why);
}

} // namespace

bool write(const QString& path, const std::function<bool(QIODevice&)>& fill, QString* error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(error, file.errorString());
    if (!fill(file) || file.error() != QFileDevice::NoError)
        return giveUp(file, error, reasonFor(file));
    const qint64 expected = file.pos();
    // The last buffered bytes may fail to reach the disk, which commit()
    // would not tell: flush, sync and look at the size actually written.
    if (!file.flush())
        return giveUp(file, error, reasonFor(file));
    if (::fsync(file.handle()) != 0) {
        const int code = errno;
        if (code != EINVAL && code != EROFS)
            return giveUp(file, error, systemError(code));
    }
    struct stat st = {};
    if (::fstat(file.handle(), &st) != 0)
        return giveUp(file, error, systemError(errno));
    if (st.st_size != expected) {
        return giveUp(file, error,
                      QStringLiteral("only %1 of %2 bytes could be written; the disk may be full")
                          .arg(qint64(st.st_size))
                          .arg(expected));
    }
    if (const auto hook = fault()) {
        const QString why = hook(path);
        if (!why.isEmpty())
            return giveUp(file, error, why);
    }
    if (!file.commit())
        return fail(error, file.errorString());
    return true;
}

bool write(const QString& path, const QByteArray& data, QString* error)
{
    return write(path, [&data](QIODevice& out) { return out.write(data) == data.size(); }, error);
}

bool copy(const QString& from, const QString& to, QString* error)
{
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly))
        return fail(error, in.errorString());
    const bool ok = write(to, [&in](QIODevice& out) {
        QByteArray chunk;
        while (!(chunk = in.read(1 << 20)).isEmpty()) {
            if (out.write(chunk) != chunk.size())
                return false;
        }
        return in.error() == QFileDevice::NoError;
    }, error);
    if (ok)
        QFile::setPermissions(to, in.permissions());
    return ok;
}

void setFault(std::function<QString(const QString&)> hook)
{
    const QMutexLocker locker(&faultLock());
    faultHook() = std::move(hook);
}

ReadResult readRegular(const QString& path, qint64 maxSize)
{
    ReadResult r;
    // O_NONBLOCK: opening a pipe with no writer must not wait for one.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        const int code = errno;
        r.status = code == ENOENT ? ReadResult::Status::missing
            : code == ELOOP       ? ReadResult::Status::link
                                  : ReadResult::Status::failed;
        r.error = systemError(code);
        return r;
    }
    struct stat st = {};
    if (::fstat(fd, &st) != 0) {
        r.error = systemError(errno);
    } else if (!S_ISREG(st.st_mode)) {
        r.status = ReadResult::Status::notRegular;
    } else if (st.st_size > maxSize) {
        r.status = ReadResult::Status::tooLarge;
        r.size = st.st_size;
    } else {
        r.size = st.st_size;
        QByteArray data;
        char buffer[65536];
        for (;;) {
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                r.error = systemError(errno);
                break;
            }
            if (n == 0) {
                r.status = ReadResult::Status::ok;
                r.data = std::move(data);
                break;
            }
            if (data.size() + n > maxSize) { // grew while being read
                r.status = ReadResult::Status::tooLarge;
                r.size = data.size() + n;
                break;
            }
            data.append(buffer, n);
        }
    }
    ::close(fd);
    return r;
}

} // namespace SafeFile
