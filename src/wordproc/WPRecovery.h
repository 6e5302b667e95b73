#pragma once

#include "wordproc/WPDocAttributes.h"
#include "wordproc/WPTextModel.h"

#include <QDateTime>
#include <QHash>
#include <QJsonValue>
#include <QList>
#include <QObject>
#include <QString>
#include <QThreadPool>
#include <optional>

class QTimer;
class WPDocument;

// Copies of the open documents' unsaved changes, so that a crash or a kill
// loses seconds of typing at most. A watched document with unsaved changes
// is copied kPauseMs after typing pauses, and at least every kMaxWaitMs
// while typing goes on: the interface thread only walks the text into
// values (WPTextModel's paragraphs), a worker turns them into the copy and
// writes it. At quit,
// when nobody decided about a document, its copy is written at once. Each
// copy is one file in the "Recovered Documents" folder of the data folder
// (written like every other file: a complete new file or the previous one);
// when the data folder cannot take it at quit, the copy goes to the
// temporary folder instead (lastResortFolder()). Saving the document,
// reverting it or closing it by the user's decision removes its copy. The
// copies found at the next start are the ones a crash left behind.
class WPRecovery : public QObject {
    Q_OBJECT
public:
    static constexpr int kPauseMs = 2 * 1000;
    static constexpr int kMaxWaitMs = 5 * 1000;
    // Copies larger than this are not read back.
    static constexpr qint64 kMaxCopyBytes = 400 * 1024 * 1024;

    // One recovery copy: the document's text as DOCX and what the window
    // needs to offer it back.
    struct Copy {
        QString id;       // also the file name, without ".json"
        QString name;     // the document's name when it was written
        QString filePath; // its file then; empty while untitled
        QString fileType;
        QDateTime saved;
        QByteArray docx;
        QString storedAt; // where it was read from (not part of the copy)

        QJsonValue toJson() const;
        static std::optional<Copy> fromJson(const QJsonValue& value);
        // True when it was found in the temporary folder, not the data folder.
        bool isInTemporaryFolder() const;
    };

    // `pauseMs`: how long after the last change a copy is written;
    // `maxWaitMs`: how long after the first change it is written at the
    // latest, however long the typing goes on.
    explicit WPRecovery(QObject* parent = nullptr, int pauseMs = kPauseMs, int maxWaitMs = kMaxWaitMs);
    ~WPRecovery() override;

    // The folder of the copies.
    static QString folder();
    // Where copies go that the data folder could not take at quit.
    static QString lastResortFolder();
    // The copies on disk that read whole, oldest first; unreadable ones are
    // kept aside once and left out. What writes cut short left in the
    // folder goes.
    static QList<Copy> leftBehind();
    // A copy that cannot be offered: moved aside (as an ".unreadable-" copy),
    // never lost and never offered again.
    static void setAside(const QString& path);
    // Puts a copy's text, page setup and header and footer into `document`.
    static bool restore(const Copy& copy, WPDocument* document, QString* error);

    // Starts writing copies of `document` (`id` continues an existing copy;
    // `recovered`, the copy it was opened from, keeps the name and file it
    // came from while it stays untitled).
    void watch(WPDocument* document, const QString& id = QString(), const Copy* recovered = nullptr);
    // The document was closed by the user's decision: its copy goes, and
    // it is watched no longer.
    void forget(WPDocument* document);
    // Writes the copy of `document` now, on this thread, when it has
    // unsaved changes.
    bool writeNow(WPDocument* document);
    // Takes a snapshot of `document` now and has it written by the worker.
    void writeSoon(WPDocument* document);
    // Waits for the copies the worker is writing.
    void waitForWrites();
    // At quit without a decision: every edited document whose latest
    // changes are not in its copy is written, in the temporary folder when
    // the data folder cannot take it; from then on no copy is removed.
    // Returns the names of the documents of which no copy could be kept.
    QStringList writeAll();

    QString idOf(const WPDocument* document) const;
    static QString pathFor(const QString& id);

private:
    // What the worker writes: taken on the interface thread.
    struct Snapshot {
        Copy copy; // all but the DOCX
        QList<WPTextModel::Paragraph> paragraphs;
        WPDocAttributes attributes;
        quint64 revision = 0;
    };
    struct Watch {
        QString id;
        QTimer* timer = nullptr;
        qint64 firstChangeMs = -1; // of the changes not yet copied
        quint64 revision = 0;      // counts the changes
        quint64 written = 0;       // the revision the copy on disk holds
        bool writing = false;
        QString originName;
        QString originFile;
    };

    void changed(WPDocument* document);
    std::optional<Snapshot> snapshot(WPDocument* document) const;
    // Runs on any thread: the copy as the text of its file.
    static std::optional<QByteArray> encode(const Snapshot& snapshot, QString* error);
    bool store(const QString& path, const std::optional<QByteArray>& text, QString* error) const;
    void finished(WPDocument* document, const QString& id, const QString& name, quint64 revision, bool ok,
                  const QString& error);
    void reportFailure(const QString& id, const QString& name, const QString& error);
    void clearFailure(const QString& id);
    void removeCopy(const QString& id);

    QHash<const WPDocument*, Watch> m_watched;
    QHash<QString, QString> m_failed; // copy id → owner of its reported failure
    QThreadPool m_writer;
    int m_pauseMs = kPauseMs;
    int m_maxWaitMs = kMaxWaitMs;
    bool m_quitting = false;
};
