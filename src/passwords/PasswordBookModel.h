#pragma once

#include "passwords/PasswordEntry.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>

class QTimer;

// The one password book of the process. While it is open it holds the key
// and the decrypted entries in memory; locking drops both. The book locks
// itself when the system is about to sleep, when the session is locked and
// when the screen saver starts, and it records the user's key, mouse-button
// and wheel activity for the idle lock.
class PasswordBookModel : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool locked READ isLocked NOTIFY lockedChanged)
    Q_PROPERTY(QString message READ message NOTIFY messageChanged)
    Q_PROPERTY(QDateTime lastActivity READ lastActivity NOTIFY activityRecorded)

public:
    // Made on first use; lives for the whole process.
    static PasswordBookModel& shared();

    bool isLocked() const { return m_locked; }
    bool hasKey() const { return !m_key.isEmpty(); }
    const QList<PasswordEntry>& entries() const { return m_entries; }
    QString message() const { return m_message; }
    QDateTime lastActivity() const { return m_lastActivity; }
    bool observersInstalled() const { return m_observersInstalled; }
    bool hasIdleTimer() const { return m_idleTimer != nullptr; }

    // Drops the decrypted entries and the key from memory, marks the book
    // locked, stops the idle timer and says "Locked.". Does nothing when the
    // book is locked already and holds no key.
    void lock();

    // Once per process (later calls do nothing): locks the book on system
    // sleep and session lock (logind, system bus) and when the screen saver
    // starts (session bus), and watches the application's input for the idle
    // lock. A missing bus is no error: that observer is simply absent.
    void installAutoLockObservers();

public Q_SLOTS:
    // The D-Bus signals the observers listen to.
    void onPrepareForSleep(bool start);
    void onSessionLock();
    void onScreenSaverActiveChanged(bool active);

    // Notes that the user is at the computer now.
    void recordActivity();

Q_SIGNALS:
    void lockedChanged();
    void entriesChanged();
    void messageChanged();
    void activityRecorded();

protected:
    explicit PasswordBookModel(QObject* parent = nullptr);

    bool eventFilter(QObject* watched, QEvent* event) override;

    // The state an unlock leaves behind: the key, the decrypted entries and
    // the running idle timer (the book takes it over).
    void setOpenState(const QByteArray& key, const QList<PasswordEntry>& entries, QTimer* idleTimer);

private:
    void watchOwnSession();

    QList<PasswordEntry> m_entries;
    QByteArray m_key;
    bool m_locked = true;
    QTimer* m_idleTimer = nullptr;
    QString m_message;
    QDateTime m_lastActivity;
    bool m_observersInstalled = false;
};
