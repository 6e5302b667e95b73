#include "passwords/PasswordBookModel.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QEvent>
#include <QTimer>

namespace {

const QString kLogin1Service = QStringLiteral("org.freedesktop.login1");
const QString kLogin1Path = QStringLiteral("/org/freedesktop/login1");
const QString kLogin1Manager = QStringLiteral("org.freedesktop.login1.Manager");
const QString kLogin1Session = QStringLiteral("org.freedesktop.login1.Session");
const QString kScreenSaver = QStringLiteral("org.freedesktop.ScreenSaver");

} // namespace

PasswordBookModel& PasswordBookModel::shared()
{
    static PasswordBookModel* const book = new PasswordBookModel;
    return *book;
}

PasswordBookModel::PasswordBookModel(QObject* parent)
    : QObject(parent)
    , m_lastActivity(QDateTime::currentDateTimeUtc())
{
}

void PasswordBookModel::lock()
{
    if (m_locked && m_key.isEmpty())
        return;
    const bool hadEntries = !m_entries.isEmpty();
    const bool wasLocked = m_locked;
    m_entries.clear();
    // Overwrite the key bytes before letting go of them.
    m_key.fill('\0');
    m_key.clear();
    m_locked = true;
    if (m_idleTimer) {
        // The idle check itself may be what locks: release the timer once
        // its signal has returned.
        m_idleTimer->stop();
        m_idleTimer->disconnect();
        m_idleTimer->deleteLater();
        m_idleTimer = nullptr;
    }
    const bool messageDiffers = m_message != QLatin1String("Locked.");
    m_message = QStringLiteral("Locked.");
    if (hadEntries)
        Q_EMIT entriesChanged();
    if (!wasLocked)
        Q_EMIT lockedChanged();
    if (messageDiffers)
        Q_EMIT messageChanged();
}

void PasswordBookModel::installAutoLockObservers()
{
    if (m_observersInstalled)
        return;
    m_observersInstalled = true;

    if (QCoreApplication* app = QCoreApplication::instance())
        app->installEventFilter(this);

    // A bus that is not there makes connect() fail quietly; nothing to do.
    QDBusConnection system = QDBusConnection::systemBus();
    if (system.isConnected()) {
        system.connect(kLogin1Service, kLogin1Path, kLogin1Manager, QStringLiteral("PrepareForSleep"), this,
                       SLOT(onPrepareForSleep(bool)));
        watchOwnSession();
    }
    QDBusConnection session = QDBusConnection::sessionBus();
    if (session.isConnected()) {
        session.connect(QString(), QString(), kScreenSaver, QStringLiteral("ActiveChanged"), this,
                        SLOT(onScreenSaverActiveChanged(bool)));
    }
}

void PasswordBookModel::watchOwnSession()
{
    // logind sends Lock from the object of the session being locked; ask it
    // which session this process belongs to. Outside any session, listen to
    // every session's Lock: locking too often is safe, too rarely is not.
    QDBusMessage call = QDBusMessage::createMethodCall(kLogin1Service, kLogin1Path, kLogin1Manager,
                                                       QStringLiteral("GetSessionByPID"));
    call << quint32(QCoreApplication::applicationPid());
    auto* watcher = new QDBusPendingCallWatcher(QDBusConnection::systemBus().asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        const QDBusPendingReply<QDBusObjectPath> reply = *w;
        const QString path = reply.isValid() ? reply.value().path() : QString();
        QDBusConnection::systemBus().connect(kLogin1Service, path, kLogin1Session, QStringLiteral("Lock"), this,
                                             SLOT(onSessionLock()));
    });
}

void PasswordBookModel::onPrepareForSleep(bool start)
{
    if (start)
        lock();
}

void PasswordBookModel::onSessionLock()
{
    lock();
}

void PasswordBookModel::onScreenSaverActiveChanged(bool active)
{
    if (active)
        lock();
}

void PasswordBookModel::recordActivity()
{
    m_lastActivity = QDateTime::currentDateTimeUtc();
    Q_EMIT activityRecorded();
}

bool PasswordBookModel::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::Wheel:
        recordActivity();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void PasswordBookModel::setOpenState(const QByteArray& key, const QList<PasswordEntry>& entries, QTimer* idleTimer)
{
    if (m_idleTimer && m_idleTimer != idleTimer)
        m_idleTimer->deleteLater();
    m_key = key;
    m_entries = entries;
    m_idleTimer = idleTimer;
    if (m_idleTimer)
        m_idleTimer->setParent(this);
    const bool wasLocked = m_locked;
    m_locked = false;
    Q_EMIT entriesChanged();
    if (wasLocked)
        Q_EMIT lockedChanged();
}
