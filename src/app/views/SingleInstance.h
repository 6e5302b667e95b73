#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>

class QSocketNotifier;

// One running program per data folder. The first start takes the lock file
// inside the data folder, becomes the primary and listens on a local socket;
// a later start finds the primary, hands it the documents named on its
// command line (or, with none, asks it to reopen: it then shows the floating
// menu) and ends. The lock lives with the data, so copies with different
// temporary folders, or on two machines sharing a home, still see each
// other; one that holds the lock but cannot be reached leaves the later start
// with `noAnswer` (the shell then opens the data read-only).
// The channel is a Unix-domain socket in the temporary folder, served from
// the event loop through a socket notifier, and only this user's processes
// are answered.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    enum class Role {
        primary,   // this process runs the program
        handedOver, // the running program was asked to reopen; end with status 0
        noAnswer,  // another process holds the program but did not answer
    };

    // `name` identifies the program instance (the local socket); see
    // defaultName(). The lock is taken in Store::folder().
    explicit SingleInstance(const QString& name, QObject* parent = nullptr);
    // The same with the lock taken in `lockFolder`.
    SingleInstance(const QString& name, const QString& lockFolder, QObject* parent = nullptr);
    ~SingleInstance() override;

    // "brindleworks-" + the user id + "-" + a short hash of the data folder,
    // so that separate data folders (tests, a user's second profile) run
    // separately.
    static QString defaultName();

    // Decides this process's role. A primary keeps listening until it is
    // destroyed. `timeoutMs` bounds the wait for an answer from the primary.
    Role start(int timeoutMs = 5000);

    // Documents a later start hands over instead of asking to reopen
    // (absolute paths). Set before start().
    void setFilesToOpen(const QStringList& paths) { m_files = paths; }

    QString name() const { return m_name; }
    // The lock file inside the data folder.
    QString lockPath() const;
    // The socket the primary listens on.
    QString socketPath() const;
    // The lock used instead when the data folder takes no file (it is
    // read-only): in the temporary folder, as only this machine can see.
    QString fallbackLockPath() const;

    // The running copy's process id and machine as its lock file tells them,
    // for messages; empty when unknown.
    QString holderDescription() const;

    // After `noAnswer`: the store refuses every save (so no file of the
    // running copy is overwritten) and the user is told why.
    void enterReadOnly() const;

Q_SIGNALS:
    // A later start asked the running program to reopen.
    void reopenRequested();
    // A later start named these documents.
    void openFilesRequested(const QStringList& paths);

private:
    // The lock on `path`: its open file, or -1 when another process holds
    // it or (`cannotCreate`) the file cannot be made.
    static int takeLock(const QString& path, bool* cannotCreate);
    bool listen();
    Role handOver(int timeoutMs);
    void acceptConnections();
    void closeServer();

    QString m_name;
    QString m_lockFolder;
    QStringList m_files;
    int m_lockFd = -1;
    QString m_lockPath; // the file locked
    int m_serverFd = -1;
    QSocketNotifier* m_notifier = nullptr;
};
