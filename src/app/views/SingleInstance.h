#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>

class QLocalServer;
class QLockFile;

// One running program per user and data folder. The first start becomes the
// primary and listens on a local socket; a later start finds the primary,
// hands it the documents named on its command line (or, with none, asks it
// to reopen: it then shows the floating menu) and ends.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    enum class Role {
        primary,   // this process runs the program
        handedOver, // the running program was asked to reopen; end with status 0
        noAnswer,  // another process holds the program but did not answer
    };

    // `name` identifies the program instance; see defaultName().
    explicit SingleInstance(const QString& name, QObject* parent = nullptr);
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
    QString lockPath() const;

Q_SIGNALS:
    // A later start asked the running program to reopen.
    void reopenRequested();
    // A later start named these documents.
    void openFilesRequested(const QStringList& paths);

private:
    bool listen();
    Role handOver(int timeoutMs);
    void acceptConnections();

    QString m_name;
    QStringList m_files;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer* m_server = nullptr;
};
