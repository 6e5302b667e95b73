#include "app/views/SingleInstance.h"

#include "core/DataExport.h"
#include "core/HandOverMessage.h"
#include "core/Store.h"
#include "core/StoreEvents.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QCoreApplication>
#include <QLockFile>
#include <QSysInfo>
#include <QPointer>
#include <QSocketNotifier>
#include <QScopeGuard>
#include <QThread>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {
// A request longer than this is not from a copy of the program.
constexpr qsizetype kMaxRequest = 4 << 20;

// The socket's address; false when the path does not fit.
bool addressOf(const QString& path, sockaddr_un* addr)
{
    const QByteArray name = QFile::encodeName(path);
    std::memset(addr, 0, sizeof *addr);
    addr->sun_family = AF_UNIX;
    if (name.size() >= qsizetype(sizeof addr->sun_path))
        return false;
    std::memcpy(addr->sun_path, name.constData(), size_t(name.size()));
    return true;
}

// Waits until `fd` is ready for `events` or the deadline passes.
bool waitFor(int fd, short events, const QDeadlineTimer& deadline)
{
    for (;;) {
        pollfd p{fd, events, 0};
        const int rc = ::poll(&p, 1, int(qMax<qint64>(0, deadline.remainingTime())));
        if (rc > 0)
            return true;
        if (rc == 0 || errno != EINTR)
            return false;
    }
}

// Writes all of `data` before the deadline.
bool writeAll(int fd, const QByteArray& data, const QDeadlineTimer& deadline)
{
    qsizetype done = 0;
    while (done < data.size()) {
        const ssize_t n = ::send(fd, data.constData() + done, size_t(data.size() - done), MSG_NOSIGNAL);
        if (n > 0) {
            done += n;
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (!waitFor(fd, POLLOUT, deadline))
                return false;
        } else {
            return false;
        }
    }
    return true;
}

// One later start talking to the primary.
struct Connection {
    int fd = -1;
    HandOverMessage::Reader reader;
    qsizetype received = 0;
    QPointer<QSocketNotifier> notifier;
    ~Connection()
    {
        delete notifier;
        if (fd >= 0)
            ::close(fd);
    }
};
}

SingleInstance::SingleInstance(const QString& name, QObject* parent)
    : SingleInstance(name, Store::folder(), parent)
{
}

SingleInstance::SingleInstance(const QString& name, const QString& lockFolder, QObject* parent)
    : QObject(parent)
    , m_name(name)
    , m_lockFolder(lockFolder)
{
}

SingleInstance::~SingleInstance()
{
    closeServer();
    // The file goes while still locked (as a Qt lock file would); closing
    // it ends the lock.
    if (m_lockFd >= 0) {
        ::unlink(QFile::encodeName(m_lockPath).constData());
        ::close(m_lockFd);
    }
}

void SingleInstance::closeServer()
{
    delete m_notifier;
    m_notifier = nullptr;
    if (m_serverFd >= 0) {
        ::close(m_serverFd);
        m_serverFd = -1;
        ::unlink(QFile::encodeName(socketPath()).constData());
    }
}

QString SingleInstance::defaultName()
{
    const QByteArray folder = QDir(Store::folder()).canonicalPath().toUtf8();
    const QByteArray hash = QCryptographicHash::hash(folder.isEmpty() ? Store::folder().toUtf8() : folder,
                                                     QCryptographicHash::Sha256)
                                .toHex()
                                .left(12);
    return QStringLiteral("brindleworks-%1-%2").arg(uint(::getuid())).arg(QString::fromLatin1(hash));
}

QString SingleInstance::lockPath() const
{
    return QDir(m_lockFolder).filePath(QString::fromLatin1(VEXOBWExport::kLockFileName));
}

QString SingleInstance::socketPath() const
{
    return QDir(QDir::tempPath()).filePath(m_name);
}

QString SingleInstance::fallbackLockPath() const
{
    return QDir(QDir::tempPath()).filePath(m_name + QStringLiteral(".lock"));
}

QString SingleInstance::holderDescription() const
{
    QLockFile lock(lockPath());
    qint64 pid = 0;
    QString host;
    QString app;
    if (!lock.getLockInfo(&pid, &host, &app))
        return {};
    return QStringLiteral("process %1 on \u201c%2\u201d").arg(pid).arg(host);
}

void SingleInstance::enterReadOnly() const
{
    const QString holder = holderDescription();
    Store::setReadOnly(true, QStringLiteral("another copy of Brindleworks is using the data folder"));
    StoreEvents::shared().reportProblem({StoreEvents::Problem::Kind::readOnly, QStringLiteral("Brindleworks"),
                                         m_lockFolder, holder.isEmpty() ? QStringLiteral("unknown") : holder,
                                         lockPath()});
}

SingleInstance::Role SingleInstance::start(int timeoutMs)
{
    // The lock decides who is primary, so two starts at the same moment
    // cannot both listen. It is the system's own lock on the file, which
    // ends with the process that holds it: a lock file left by a crash is
    // simply taken. A copy on another machine sharing the folder holds it
    // for as long as that copy runs.
    bool cannotCreate = false;
    m_lockPath = lockPath();
    m_lockFd = takeLock(m_lockPath, &cannotCreate);
    if (m_lockFd < 0 && cannotCreate) {
        // No lock file can be made in the data folder (it is read-only), so
        // nothing can be written there anyway: decide on this machine alone.
        m_lockPath = fallbackLockPath();
        m_lockFd = takeLock(m_lockPath, &cannotCreate);
    }
    if (m_lockFd >= 0) {
        listen();
        return Role::primary;
    }
    return handOver(timeoutMs);
}

int SingleInstance::takeLock(const QString& path, bool* cannotCreate)
{
    *cannotCreate = false;
    const QByteArray name = QFile::encodeName(path);
    // A holder removes the file as it ends: a lock taken on a file that is
    // no longer at the path is let go and taken again on the new one.
    for (int attempt = 0; attempt < 5; ++attempt) {
        const int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
        if (fd < 0) {
            *cannotCreate = true;
            return -1;
        }
        // Both kinds of lock, as Qt's lock files take them, so copies that
        // lock either way see each other.
        struct flock record {};
        record.l_type = F_WRLCK;
        record.l_whence = SEEK_SET;
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::fcntl(fd, F_SETLK, &record) != 0) {
            ::close(fd);
            return -1;
        }
        struct stat held {}, atPath {};
        if (::fstat(fd, &held) != 0 || ::stat(name.constData(), &atPath) != 0 || held.st_ino != atPath.st_ino
            || held.st_dev != atPath.st_dev) {
            ::close(fd);
            continue;
        }
        // Who holds it, for messages: process id, program, machine (the
        // lock itself needs nothing on the disk, so nothing waits for a
        // flush).
        const QByteArray who = QByteArray::number(QCoreApplication::applicationPid()) + '\n'
            + QCoreApplication::applicationName().toUtf8() + '\n' + QSysInfo::machineHostName().toUtf8() + '\n';
        if (::ftruncate(fd, 0) == 0) {
            for (qsizetype done = 0; done < who.size();) {
                const ssize_t n = ::write(fd, who.constData() + done, size_t(who.size() - done));
                if (n < 0 && errno == EINTR)
                    continue;
                if (n <= 0)
                    break;
                done += n;
            }
        }
        return fd;
    }
    return -1;
}

bool SingleInstance::listen()
{
    sockaddr_un addr;
    const QByteArray path = QFile::encodeName(socketPath());
    if (!addressOf(socketPath(), &addr))
        return false;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return false;
    // A socket file left by a crashed program would block bind(); the lock
    // says that nobody listens on it any more.
    ::unlink(path.constData());
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, 8) != 0) {
        ::close(fd);
        return false;
    }
    ::chmod(path.constData(), S_IRUSR | S_IWUSR);
    m_serverFd = fd;
    m_notifier = new QSocketNotifier(qintptr(fd), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SingleInstance::acceptConnections);
    return true;
}

void SingleInstance::acceptConnections()
{
    for (;;) {
        const int fd = ::accept4(m_serverFd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0)
            return;
        // Only this user's processes may hand documents over.
        ucred peer{};
        socklen_t length = sizeof peer;
        if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &length) != 0 || peer.uid != ::getuid()) {
            ::close(fd);
            continue;
        }
        auto connection = std::make_shared<Connection>();
        connection->fd = fd;
        connection->notifier = new QSocketNotifier(qintptr(fd), QSocketNotifier::Read, this);
        // The notifier's slot holds the connection; deleting the notifier
        // (at the end of the request, or with this object) ends it.
        connect(connection->notifier, &QSocketNotifier::activated, this, [this, connection] {
            char chunk[4096];
            bool closed = false;
            using State = HandOverMessage::Reader::State;
            State state = connection->reader.state();
            for (;;) {
                const ssize_t n = ::recv(connection->fd, chunk, sizeof chunk, 0);
                if (n > 0) {
                    connection->received += n;
                    state = connection->reader.feed(QByteArray(chunk, n));
                    continue;
                }
                if (n < 0 && errno == EINTR)
                    continue;
                closed = n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK);
                break;
            }
            if (state == State::complete) {
                // Answer first: what the request starts may wait for the user.
                writeAll(connection->fd, HandOverMessage::answer(), QDeadlineTimer(1000));
                connection->notifier->setEnabled(false);
                connection->notifier->deleteLater();
                if (connection->reader.reopen())
                    Q_EMIT reopenRequested();
                else
                    Q_EMIT openFilesRequested(connection->reader.files());
                return;
            }
            if (state == State::refused || closed || connection->received > kMaxRequest) {
                connection->notifier->setEnabled(false);
                connection->notifier->deleteLater();
            }
        });
    }
}

SingleInstance::Role SingleInstance::handOver(int timeoutMs)
{
    sockaddr_un addr;
    if (!addressOf(socketPath(), &addr))
        return Role::noAnswer;
    const QByteArray request = HandOverMessage::encode(m_files);

    // The primary may still be starting: keep trying until the deadline.
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0)
            return Role::noAnswer;
        const auto closer = qScopeGuard([fd] { ::close(fd); });
        if (::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0) {
            QThread::msleep(50);
            continue;
        }
        const timeval limit{long(qMax<qint64>(1, deadline.remainingTime()) / 1000),
                            long(qMax<qint64>(1, deadline.remainingTime()) % 1000 * 1000)};
        ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
        if (!writeAll(fd, request, deadline))
            continue;
        QByteArray answer;
        while (!answer.contains('\n') && waitFor(fd, POLLIN, deadline)) {
            char chunk[64];
            const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            answer.append(chunk, n);
        }
        if (answer.startsWith(HandOverMessage::answer()))
            return Role::handedOver;
    }
    return Role::noAnswer;
}
