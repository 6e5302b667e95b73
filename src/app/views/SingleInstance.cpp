#include "app/views/SingleInstance.h"

#include "core/DataExport.h"
#include "core/HandOverMessage.h"
#include "core/Store.h"
#include "core/StoreEvents.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QThread>
#include <memory>
#include <unistd.h>


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
    if (m_server)
        m_server->close();
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
    // cannot both listen. A lock left by a crashed program on this machine
    // is stale and taken over; one from another machine is never assumed
    // stale (no time limit), as that program may still be writing.
    auto lock = std::make_unique<QLockFile>(lockPath());
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0) && lock->error() != QLockFile::LockFailedError) {
        // No lock file can be made in the data folder (it is read-only), so
        // nothing can be written there anyway: decide on this machine alone.
        lock = std::make_unique<QLockFile>(fallbackLockPath());
        lock->setStaleLockTime(0);
        lock->tryLock(0);
    }
    if (lock->isLocked()) {
        m_lock = std::move(lock);
        listen();
        return Role::primary;
    }
    return handOver(timeoutMs);
}

bool SingleInstance::listen()
{
    // A socket file left by a crashed program would block listen().
    QLocalServer::removeServer(m_name);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::acceptConnections);
    return m_server->listen(m_name);
}

void SingleInstance::acceptConnections()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        auto reader = std::make_shared<HandOverMessage::Reader>();
        connect(socket, &QLocalSocket::readyRead, this, [this, socket, reader] {
            using State = HandOverMessage::Reader::State;
            const State state = reader->feed(socket->readAll());
            if (state == State::needMore)
                return;
            // Answer first: what the request starts may wait for the user.
            if (state == State::complete) {
                socket->write(HandOverMessage::answer());
                socket->flush();
            }
            socket->disconnectFromServer();
            if (state != State::complete)
                return;
            if (reader->reopen())
                Q_EMIT reopenRequested();
            else
                Q_EMIT openFilesRequested(reader->files());
        });
    }
}

SingleInstance::Role SingleInstance::handOver(int timeoutMs)
{
    // The primary may still be starting: keep trying until the deadline.
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        QLocalSocket socket;
        socket.connectToServer(m_name);
        if (socket.waitForConnected(int(qMax<qint64>(1, deadline.remainingTime())))) {
            socket.write(HandOverMessage::encode(m_files));
            if (!socket.waitForBytesWritten(int(qMax<qint64>(1, deadline.remainingTime()))))
                continue;
            while (!socket.canReadLine() && socket.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())))) {
            }
            if (socket.canReadLine() && socket.readLine() == HandOverMessage::answer())
                return Role::handedOver;
            continue;
        }
        QThread::msleep(50);
    }
    return Role::noAnswer;
}
