#pragma once

#include <QDateTime>
#include <QHash>
#include <QJsonValue>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <optional>

class QTimer;
class WPDocument;

// Copies of the open documents' unsaved changes, so that a crash or a kill
// loses at most the last half minute of typing. Every watched document with
// unsaved changes is written at most kDelayMs after a change, and at quit
// when nobody decided about it, to one file in the "Recovered Documents"
// folder of the data folder (written like every other file: a complete new
// file or the previous one). Saving the document, reverting it or closing
// it by the user's decision removes its copy. The copies found at the next
// start are the ones a crash left behind.
class WPRecovery : public QObject {
    Q_OBJECT
public:
    static constexpr int kDelayMs = 30 * 1000;
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

        QJsonValue toJson() const;
        static std::optional<Copy> fromJson(const QJsonValue& value);
    };

    // `delayMs`: how long after a change its copy is written.
    explicit WPRecovery(QObject* parent = nullptr, int delayMs = kDelayMs);

    // The folder of the copies.
    static QString folder();
    // The copies on disk that read whole, oldest first; unreadable ones are
    // kept aside once and left out.
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
    // Writes the copy of `document` now when it has unsaved changes.
    bool writeNow(WPDocument* document);
    // At quit without a decision: every edited document is written, and
    // from then on no copy is removed.
    void writeAll();

    QString idOf(const WPDocument* document) const { return m_ids.value(document); }
    static QString pathFor(const QString& id);

private:
    void changed(WPDocument* document);
    void removeCopy(const QString& id);

    QHash<const WPDocument*, QString> m_ids;
    QHash<const WPDocument*, QTimer*> m_timers;
    QHash<const WPDocument*, std::pair<QString, QString>> m_origins; // name, file
    QHash<QString, QString> m_failed; // copy id → owner of its reported failure
    int m_delayMs = kDelayMs;
    bool m_quitting = false;
};
