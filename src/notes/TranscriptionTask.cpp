#include "notes/TranscriptionTask.h"

#include <QMetaObject>

TranscriptionTask::TranscriptionTask(const QUuid& noteId, const Transcriber::Recogniser& recogniser,
                                     const QString& audioPath, QObject* parent)
    : QObject(parent)
    , m_noteId(noteId)
{
    m_thread = std::thread([this, recogniser, audioPath] {
        const Transcriber::Result result = Transcriber::recognise(recogniser, audioPath, m_cancel);
        // Queued to the task's own thread: if the task is destroyed first,
        // Qt drops the call with it.
        QMetaObject::invokeMethod(
            this,
            [this, result] {
                if (!m_cancel)
                    Q_EMIT finished(m_noteId, result);
            },
            Qt::QueuedConnection);
    });
}

TranscriptionTask::~TranscriptionTask()
{
    m_cancel = true;
    if (m_thread.joinable())
        m_thread.join();
}
