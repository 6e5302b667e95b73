// What the recorder does with a saved note besides playing it: delete,
// export and transcribe.
#include "notes/RecorderModel.h"

#include "notes/RecorderNaming.h"
#include "notes/TranscriptionTask.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUuid>
#include <cstdio>

namespace {

QString noSuchFile(const QString& name)
{
    return QStringLiteral("The file “%1” couldn’t be opened because there is no such file.").arg(name);
}

// The canonical form of a path that may not exist yet: its folder's
// canonical path and its name.
QString canonicalTarget(const QString& path)
{
    const QFileInfo info(path);
    if (info.exists())
        return info.canonicalFilePath();
    const QString dir = QFileInfo(info.absolutePath()).canonicalFilePath();
    return dir.isEmpty() ? info.absoluteFilePath() : dir + QLatin1Char('/') + info.fileName();
}

// Copies `source` over `target` without ever leaving `target` half written:
// the copy goes to a temporary file beside it, then replaces it in one step.
bool copyReplacing(const QString& source, const QString& target, QString* error)
{
    if (!QFileInfo(source).isFile()) {
        *error = noSuchFile(QFileInfo(source).fileName());
        return false;
    }
    const QFileInfo info(target);
    const QString temp = info.absolutePath() + QStringLiteral("/.") + info.fileName() + QLatin1Char('-')
        + QUuid::createUuid().toString(QUuid::WithoutBraces).left(8) + QStringLiteral(".part");
    QFile in(source);
    if (!in.copy(temp)) {
        *error = in.errorString();
        QFile::remove(temp);
        return false;
    }
    if (info.isDir()) {
        QFile::remove(temp);
        *error = QStringLiteral("“%1” is a folder.").arg(info.fileName());
        return false;
    }
    if (std::rename(QFile::encodeName(temp).constData(), QFile::encodeName(target).constData()) != 0) {
        *error = QString::fromLocal8Bit(std::strerror(errno));
        QFile::remove(temp);
        return false;
    }
    return true;
}

} // namespace

void RecorderModel::deleteNote(const VoiceNote& note)
{
    const int answer = ask(QStringLiteral("Delete “") + note.title + QStringLiteral("”?"),
                           QStringLiteral("The recording will be moved to the Trash."), AlertStyle::Warning,
                           {QStringLiteral("Delete"), QStringLiteral("Cancel")});
    if (answer != alertFirstButton)
        return;
    if (!m_playingID.isNull() && m_playingID == note.id)
        stopPlayback();
    if (m_tasks.contains(note.id)) {
        endTask(note.id);
        // The job is cancelled with its note; the status says so instead of
        // going on reading "Transcribing…".
        setStatus(QStringLiteral("Transcription stopped: the note was deleted."));
    }
    // Notes written by older versions may share one file: the audio goes to
    // the Trash only with the last note that uses it.
    const QList<VoiceNote>& all = notes();
    const bool shared = std::any_of(all.cbegin(), all.cend(), [&note](const VoiceNote& n) {
        return n.id != note.id && n.fileName == note.fileName;
    });
    if (!shared) {
        // The desktop trash lives in the data home; Qt cannot set it up when
        // that folder is missing (and may then drop the file elsewhere).
        QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
        QFile::moveToTrash(pathOf(note));
    }
    list().removeIf([&note](const VoiceNote& n) { return n.id == note.id; });
    Q_EMIT notesChanged();
    save();
}

void RecorderModel::exportNote(const VoiceNote& note)
{
    if (!m_platform.chooseExportPath)
        return;
    const QString target = m_platform.chooseExportPath(RecorderNaming::exportName(note.title));
    if (target.isEmpty())
        return;
    const QString source = pathOf(note);
    const QString name = QFileInfo(target).fileName();
    if (QFileInfo(source).isFile() && canonicalTarget(source) == canonicalTarget(target)) {
        // The chosen place is the note's own file: it is already there.
        setStatus(QStringLiteral("Exported to ") + name);
        return;
    }
    QString error;
    if (!copyReplacing(source, target, &error)) {
        setStatus(QStringLiteral("Export failed: ") + error);
        return;
    }
    setStatus(QStringLiteral("Exported to ") + name);
}

void RecorderModel::transcribe(const VoiceNote& note)
{
    if (m_platform.speechAuthorized && !m_platform.speechAuthorized()) {
        setStatus(QStringLiteral("Speech recognition is off. Turn it on in System Settings › Privacy & Security › "
                                 "Speech Recognition."));
        return;
    }
    const std::optional<Transcriber::Recogniser> recogniser = Transcriber::recogniserFor(QLocale());
    if (!recogniser) {
        setStatus(QStringLiteral("Speech recognition isn’t available for your language."));
        return;
    }
    if (!recogniser->onDevice) {
        setStatus(QStringLiteral("On-device transcription isn’t available on this computer for ") + recogniser->locale
                  + QStringLiteral(". Download the language in System Settings › Keyboard › Dictation, then try "
                                   "again. (Brindleworks never sends your audio online.)"));
        return;
    }
    // A note already being transcribed keeps its one task.
    if (m_tasks.contains(note.id)) {
        setTranscribingID(note.id);
        return;
    }
    auto* task = new TranscriptionTask(note.id, *recogniser, pathOf(note), this);
    connect(task, &TranscriptionTask::finished, this, &RecorderModel::transcriptionFinished);
    m_tasks.insert(note.id, task);
    setTranscribingID(note.id);
    setStatus(QStringLiteral("Transcribing on this computer…"));
}

void RecorderModel::endTask(const QUuid& id)
{
    if (TranscriptionTask* task = m_tasks.take(id)) {
        task->cancel();
        task->deleteLater();
    }
    if (m_transcribingID == id)
        setTranscribingID(m_tasks.isEmpty() ? QUuid() : m_tasks.constBegin().key());
}

void RecorderModel::transcriptionFinished(const QUuid& id, const Transcriber::Result& result)
{
    endTask(id);
    if (result.cancelled || !note(id))
        return; // nothing to report to a note that is gone
    if (!result.ok) {
        setStatus(QStringLiteral("Transcription stopped: ") + result.error);
        return;
    }
    if (result.text.isEmpty()) {
        // Nothing recognised: whatever the user typed stays.
        setStatus(QStringLiteral("Transcription stopped: No speech was recognised."));
        return;
    }
    setTranscript(id, result.text);
    setStatus(QStringLiteral("Transcript ready."));
}
