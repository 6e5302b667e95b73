#include "app/views/SingleInstance.h"

#include "core/Store.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QThread>
#include <unistd.h>

namespace {
constexpr char kReopen[] = "reopen\n";
constexpr char kDone[] = "ok\n";
// "open " + the percent-encoded UTF-8 path, one line per document, then:
constexpr char kOpen[] = "open ";
constexpr char kEnd[] = "end\n";
const char kPendingFiles[] = "bwPendingFiles";
}

SingleInstance::SingleInstance(const QString& name, QObject* parent)
    : QObject(parent)
    , m_name(name)
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
    return QDir(QDir::tempPath()).filePath(m_name + QStringLiteral(".lock"));
}

SingleInstance::Role SingleInstance::start(int timeoutMs)
{
    // The lock decides who is primary, so two starts at the same moment
    // cannot both listen; a lock left by a crashed program is stale and
    // taken over.
    auto lock = std::make_unique<QLockFile>(lockPath());
    lock->setStaleLockTime(0);
    if (lock->tryLock(0)) {
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
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            while (socket->canReadLine()) {
                const QByteArray line = socket->readLine();
                if (line.startsWith(kOpen)) {
                    QStringList files = socket->property(kPendingFiles).toStringList();
                    files.append(QString::fromUtf8(QByteArray::fromPercentEncoding(line.mid(5).trimmed())));
                    socket->setProperty(kPendingFiles, files);
                    continue;
                }
                // Answer first: what the request starts may wait for the user.
                const QStringList files = socket->property(kPendingFiles).toStringList();
                socket->write(kDone);
                socket->flush();
                socket->disconnectFromServer();
                if (line == kReopen)
                    Q_EMIT reopenRequested();
                else if (line == kEnd)
                    Q_EMIT openFilesRequested(files);
                return;
            }
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
            QByteArray request;
            for (const QString& f : std::as_const(m_files))
                request += kOpen + f.toUtf8().toPercentEncoding() + '\n';
            request += m_files.isEmpty() ? kReopen : kEnd;
            socket.write(request);
            if (!socket.waitForBytesWritten(int(qMax<qint64>(1, deadline.remainingTime()))))
                continue;
            while (!socket.canReadLine() && socket.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())))) {
            }
            if (socket.canReadLine() && socket.readLine() == kDone)
                return Role::handedOver;
            continue;
        }
        QThread::msleep(50);
    }
    return Role::noAnswer;
}
