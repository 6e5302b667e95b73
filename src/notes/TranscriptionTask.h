#pragma once

#include "notes/Transcriber.h"

#include <QObject>
#include <QString>
#include <QUuid>
#include <atomic>
#include <thread>

// One transcription running on a worker thread. The result comes back as a
// signal on the thread that made the task. Destroying the task (its note was
// deleted, its window's model went away, the program quits) cancels the
// work and waits for the thread, so no result can reach anything that no
// longer exists.
class TranscriptionTask : public QObject {
    Q_OBJECT
public:
    TranscriptionTask(const QUuid& noteId, const Transcriber::Recogniser& recogniser, const QString& audioPath,
                      QObject* parent = nullptr);
    ~TranscriptionTask() override;

    QUuid noteId() const { return m_noteId; }
    void cancel() { m_cancel = true; }
    bool isCancelled() const { return m_cancel; }

Q_SIGNALS:
    void finished(const QUuid& noteId, const Transcriber::Result& result);

private:
    QUuid m_noteId;
    std::atomic<bool> m_cancel{false};
    std::thread m_thread;
};
