#include "notes/RecorderModel.h"

#include "core/RepeatedIds.h"
#include "core/SafeFile.h"
#include "core/Store.h"
#include "notes/AudioCapture.h"
#include "notes/AudioFileWriter.h"
#include "notes/AudioMeter.h"
#include "notes/RecorderNaming.h"
#include "notes/TranscriptionTask.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>
#include <QUrl>
#include <algorithm>
#include <dirent.h>
#include <sys/stat.h>

namespace {

QList<RecorderModel*>& liveModels()
{
    static QList<RecorderModel*> list;
    return list;
}

// The desktop's sound settings, whichever is installed.
bool openSoundSettings()
{
    const QList<QStringList> candidates{
        {QStringLiteral("gnome-control-center"), QStringLiteral("sound")},
        {QStringLiteral("kcmshell6"), QStringLiteral("kcm_pulseaudio")},
        {QStringLiteral("kcmshell5"), QStringLiteral("kcm_pulseaudio")},
        {QStringLiteral("pavucontrol"), QStringLiteral("--tab=4")},
    };
    for (const QStringList& c : candidates) {
        const QString exe = QStandardPaths::findExecutable(c.first());
        if (!exe.isEmpty() && QProcess::startDetached(exe, c.mid(1)))
            return true;
    }
    return false;
}

// The audio files in `folder`: the plain files (or links to one) whose
// names end in ".m4a" in any case, hidden ones left out. Only the folder's
// entries are read: a folder of a thousand recordings is listed in a moment,
// and a file is looked at only when its entry does not say what it is.
QStringList audioFileNames(const QString& folder)
{
    QStringList names;
    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return names;
    const int fd = ::dirfd(dir);
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray raw(entry->d_name);
        if (raw.startsWith('.') || raw.size() < 5 || qstricmp(raw.right(4).constData(), ".m4a") != 0)
            continue;
        bool file = entry->d_type == DT_REG;
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            struct stat info {};
            file = ::fstatat(fd, entry->d_name, &info, 0) == 0 && S_ISREG(info.st_mode);
        }
        if (file)
            names.append(QFile::decodeName(raw));
    }
    ::closedir(dir);
    return names;
}

// The audio files no note lists.
QStringList unlisted(const QList<VoiceNote>& notes, const QStringList& audioFiles)
{
    QSet<QString> listed;
    listed.reserve(notes.size());
    for (const VoiceNote& n : notes)
        listed.insert(n.fileName);
    QStringList out;
    for (const QString& name : audioFiles) {
        if (!listed.contains(name))
            out.append(name);
    }
    return out;
}

// What reading the notes finds, apart from the window: the list as the
// file holds it, its repeated ids mended (nothing when the file is missing,
// damaged or over a limit: the store then reads it again its own way,
// keeping it aside and offering the backup), and the audio files in the
// recordings folder. Touches nothing but those files, so it may run on any
// thread.
RecorderModel::Reading readNotes(const QString& listPath, const QString& folder)
{
    RecorderModel::Reading r;
    const SafeFile::ReadResult file = SafeFile::readRegular(listPath, Store::kMaxStateFileSize);
    if (file.status == SafeFile::ReadResult::Status::ok) {
        if (const std::optional<QJsonValue> value = Store::parse(file.data))
            r.notes = Json::toList<VoiceNote>(*value);
    }
    r.audioFiles = audioFileNames(folder);
    if (r.notes) {
        r.repaired = RepeatedIds::repair(*r.notes);
        r.unlisted = unlisted(*r.notes, r.audioFiles);
    }
    return r;
}

} // namespace

RecorderModel::RecorderModel(QObject* parent, Load load)
    : QObject(parent)
{
    m_platform.microphoneAccess = [] { return MicrophoneAccess::authorized; };
    m_platform.requestMicrophone = [](std::function<void(bool)> answer) { answer(true); };
    m_platform.openMicrophoneSettings = openSoundSettings;
    m_platform.speechAuthorized = [] { return true; };

    m_meterTimer.setInterval(kMeterInterval);
    m_progressTimer.setInterval(kProgressInterval);
    connect(&m_meterTimer, &QTimer::timeout, this, &RecorderModel::meterStep);
    connect(&m_progressTimer, &QTimer::timeout, this, &RecorderModel::progressStep);
    liveModels().append(this);
    m_reading = std::async(load == Load::background ? std::launch::async : std::launch::deferred, readNotes,
                           Store::path(fileName()), folder());
    if (load == Load::now)
        ensureLoaded();
}

RecorderModel::~RecorderModel()
{
    liveModels().removeAll(this);
    finish();
}

QString RecorderModel::folder()
{
    const QString dir = Store::path(QStringLiteral("Recordings"));
    QDir().mkpath(dir);
    return dir;
}

QString RecorderModel::pathOf(const VoiceNote& note)
{
    return folder() + QLatin1Char('/') + note.fileName;
}

QString RecorderModel::time(double seconds)
{
    return RecorderNaming::time(seconds);
}

const QList<VoiceNote>& RecorderModel::notes() const
{
    ensureLoaded();
    return m_notes;
}

QList<VoiceNote>& RecorderModel::list()
{
    ensureLoaded();
    return m_notes;
}

void RecorderModel::ensureLoaded() const
{
    // Taking the reading's result leaves it empty: whatever the loading
    // itself asks of the list below finds it loaded.
    if (m_reading.valid())
        const_cast<RecorderModel*>(this)->load(m_reading.get());
}

void RecorderModel::load(Reading reading)
{
    // An unreadable file is kept aside by the store before anything can be
    // written over it; the list then starts empty. Notes whose audio is
    // missing stay: the file may be back (an unmounted disk, a sync).
    bool listLost = false;
    if (reading.notes) {
        m_notes = std::move(*reading.notes);
    } else {
        const QFileInfo listFile(Store::path(fileName()));
        const bool existed = listFile.exists() || listFile.isSymLink();
        const std::optional<QList<VoiceNote>> read = Store::loadList<VoiceNote>(fileName());
        m_notes = read.value_or(QList<VoiceNote>());
        // A list that is there but cannot be read (and no backup was put
        // back) would leave every recording out of reach: their files are
        // listed again below.
        listLost = existed && !read;
        reading.repaired = RepeatedIds::repair(m_notes);
        reading.unlisted = unlisted(m_notes, reading.audioFiles);
    }
    // The list and its rows are keyed by id: a repeated one was mended in
    // memory; the file follows at the next change.
    RepeatedIds::report(fileName(), reading.repaired);
    recoverInterrupted(reading.unlisted, listLost);
}

void RecorderModel::recoverInterrupted(const QStringList& files, bool finishedToo)
{
    // A recording cut off by a crash or a power cut left its file (playable
    // up to the last second written) but no note: finish the file and list
    // it, so nothing recorded is ever out of reach. `files` are the audio
    // files no note lists.
    const QDir dir(folder());
    QList<VoiceNote> recovered;
    for (const QString& name : std::as_const(files)) {
        if (fileInUse(name, false))
            continue;
        const QString path = dir.filePath(name);
        if (AudioFileWriter::isUnfinished(path))
            AudioFileWriter::compact(path);
        else if (!finishedToo)
            continue;
        const QDateTime when = QFileInfo(path).lastModified();
        VoiceNote n;
        n.id = QUuid::createUuid();
        n.title = RecorderNaming::title(when);
        n.fileName = name;
        n.created = when.toUTC().addMSecs(-when.time().msec());
        n.duration = AudioFileWriter::duration(path).value_or(0);
        recovered.append(n);
    }
    if (recovered.isEmpty())
        return;
    // Each goes where its date puts it in the newest-first list.
    for (const VoiceNote& n : std::as_const(recovered)) {
        const auto at = std::find_if(m_notes.begin(), m_notes.end(),
                                     [&n](const VoiceNote& o) { return o.created < n.created; });
        m_notes.insert(at, n);
    }
    save();
}

bool RecorderModel::save()
{
    return Store::save(Json::fromList(list()), fileName());
}

std::optional<VoiceNote> RecorderModel::note(const QUuid& id) const
{
    for (const VoiceNote& n : notes()) {
        if (n.id == id)
            return n;
    }
    return std::nullopt;
}

bool RecorderModel::isAvailable(const VoiceNote& note) const
{
    return QFileInfo(pathOf(note)).isFile();
}

bool RecorderModel::fileInUse(const QString& name, bool onDisk) const
{
    if (onDisk && QFileInfo::exists(folder() + QLatin1Char('/') + name))
        return true;
    // A file another recorder of this process is writing right now.
    for (const RecorderModel* m : liveModels()) {
        if (m->m_recording && m->m_currentFile == name)
            return true;
    }
    const QList<VoiceNote>& all = notes();
    return std::any_of(all.cbegin(), all.cend(), [&name](const VoiceNote& n) { return n.fileName == name; });
}

void RecorderModel::setStatus(const QString& status)
{
    m_status = status;
    Q_EMIT statusChanged();
}

void RecorderModel::setLevel(float level)
{
    if (m_level == level)
        return;
    m_level = level;
    Q_EMIT levelChanged();
}

void RecorderModel::setElapsed(double elapsed)
{
    if (m_elapsed == elapsed)
        return;
    m_elapsed = elapsed;
    Q_EMIT elapsedChanged();
}

void RecorderModel::setPlayProgress(double progress)
{
    if (m_playProgress == progress)
        return;
    m_playProgress = progress;
    Q_EMIT playProgressChanged();
}

void RecorderModel::setTranscribingID(const QUuid& id)
{
    if (m_transcribingID == id)
        return;
    m_transcribingID = id;
    Q_EMIT transcribingIDChanged();
}

int RecorderModel::ask(const QString& title, const QString& text, AlertStyle style, const QStringList& buttons)
{
    if (m_platform.alert)
        return m_platform.alert(title, text, style, buttons);
    return alertFirstButton + int(buttons.size()) - 1;
}

// Recording -------------------------------------------------------------

void RecorderModel::requestAndRecord()
{
    if (m_recording)
        return;
    const MicrophoneAccess access = m_platform.microphoneAccess ? m_platform.microphoneAccess()
                                                                : MicrophoneAccess::authorized;
    switch (access) {
    case MicrophoneAccess::notDetermined: {
        QPointer<RecorderModel> self(this);
        m_platform.requestMicrophone([self](bool granted) {
            // The answer may come on any thread; the model is touched on its own.
            QMetaObject::invokeMethod(
                QCoreApplication::instance(),
                [self, granted] {
                    if (!self)
                        return;
                    if (granted)
                        self->startRecording();
                    else
                        self->denied();
                },
                Qt::QueuedConnection);
        });
        return;
    }
    case MicrophoneAccess::authorized:
        startRecording();
        return;
    case MicrophoneAccess::denied:
    case MicrophoneAccess::restricted:
        denied();
        return;
    }
}

void RecorderModel::denied()
{
    setStatus(QStringLiteral("Microphone access is off. Turn it on in System Settings › Privacy & Security › "
                             "Microphone › Brindleworks."));
    const int answer = ask(QStringLiteral("Microphone access needed"),
                           QStringLiteral("Brindleworks needs the microphone to record voice notes. Open Privacy settings?"),
                           AlertStyle::Informational, {QStringLiteral("Open Settings"), QStringLiteral("Cancel")});
    if (answer == alertFirstButton && m_platform.openMicrophoneSettings)
        m_platform.openMicrophoneSettings();
}

void RecorderModel::startRecording()
{
    if (m_recording)
        return;
    stopPlayback();
    const QDateTime start = QDateTime::currentDateTime();
    // One second is the names' resolution: a second recording within the
    // same second gets " 2", so no file is ever written over.
    m_currentFile = RecorderNaming::fileName(start, [this](const QString& n) { return fileInUse(n); });
    auto capture = std::make_unique<AudioCapture>();
    QString error;
    switch (capture->start(folder() + QLatin1Char('/') + m_currentFile, &error)) {
    case AudioCapture::Start::createFailed:
        setStatus(QStringLiteral("Recording failed: ") + error);
        return;
    case AudioCapture::Start::recordFailed:
        setStatus(QStringLiteral("Couldn’t start recording — check that a microphone is connected."));
        return;
    case AudioCapture::Start::started:
        break;
    }
    connect(capture.get(), &AudioCapture::capturing, this, &RecorderModel::capturing);
    connect(capture.get(), &AudioCapture::failed, this, [this](const QString& why) {
        // Keep what reached the disk as a note, then say what happened.
        stopRecording();
        setStatus(QStringLiteral("Recording failed: ") + why);
    });
    m_capture = std::move(capture);
    m_recording = true;
    Q_EMIT recordingChanged();
    setElapsed(0);
    setStatus(QStringLiteral("Recording…"));
    m_meterTimer.start();
}

void RecorderModel::meterStep()
{
    if (!m_capture)
        return;
    setLevel(AudioMeter::level(m_capture->averagePower()));
    setElapsed(m_capture->currentTime());
}

void RecorderModel::stopRecording()
{
    if (!m_capture)
        return;
    const double duration = m_capture->stop();
    const QString finishError = m_capture->finishError();
    const bool nothing = m_capture->samplesCaptured() == 0;
    m_capture.reset();
    m_meterTimer.stop();
    m_recording = false;
    Q_EMIT recordingChanged();
    setLevel(0);
    setElapsed(duration);
    if (nothing) {
        // Stopped before the first sound arrived: no empty note, no file.
        QFile::remove(folder() + QLatin1Char('/') + m_currentFile);
        setStatus(QStringLiteral("Nothing was recorded — no sound arrived from the microphone."));
        return;
    }

    // Whole seconds, as the file keeps them, so the note reads back equal.
    QDateTime now = QDateTime::currentDateTime();
    now = now.addMSecs(-now.time().msec());
    VoiceNote n;
    n.id = QUuid::createUuid();
    n.title = RecorderNaming::title(now);
    n.fileName = m_currentFile;
    n.created = now.toUTC();
    n.duration = duration;
    list().prepend(n);
    Q_EMIT notesChanged();
    save();
    // The note keeps what reached the disk, but a file that could not be
    // finished is not reported as saved.
    if (!finishError.isEmpty())
        setStatus(QStringLiteral("Recording failed: ") + finishError);
    else
        setStatus(QStringLiteral("Saved ") + n.title);
}

// Playback --------------------------------------------------------------

void RecorderModel::togglePlay(const VoiceNote& note)
{
    if (!m_playingID.isNull() && m_playingID == note.id) {
        stopPlayback();
        return;
    }
    stopPlayback();
    const QString path = pathOf(note);
    if (!QFileInfo(path).isFile()) {
        setStatus(QStringLiteral("Can’t play: The file “%1” couldn’t be opened because there is no such file.")
                      .arg(note.fileName));
        return;
    }
    MediaModule::Services* media = MediaModule::services();
    if (!media) {
        setStatus(QStringLiteral("Can’t play: Sound output is not available."));
        return;
    }
    m_player = media->makePlayer();
    const quint64 serial = ++m_playSerial;
    m_player->onFinished = [this, serial] { playerFinished(serial); };
    m_player->onError = [this, serial](const QString& text) {
        playerFinished(serial);
        setStatus(QStringLiteral("Can’t play: ") + text);
    };
    m_player->play(QUrl::fromLocalFile(path));
    m_playingID = note.id;
    Q_EMIT playingIDChanged();
    m_progressTimer.start();
}

void RecorderModel::progressStep()
{
    if (!m_player)
        return;
    const qint64 duration = m_player->duration();
    if (duration > 0)
        setPlayProgress(std::clamp(double(m_player->position()) / double(duration), 0.0, 1.0));
}

void RecorderModel::playerFinished(quint64 serial)
{
    // The player's own signal may be on its way out: stop a moment later,
    // and only if that player still plays.
    QMetaObject::invokeMethod(
        this,
        [this, serial] {
            if (m_player && serial == m_playSerial)
                stopPlayback();
        },
        Qt::QueuedConnection);
}

void RecorderModel::stopPlayback()
{
    if (m_player) {
        m_player->stop();
        m_player.reset();
    }
    // Only the progress timer: a running recording keeps its meter.
    m_progressTimer.stop();
    if (!m_playingID.isNull()) {
        m_playingID = QUuid();
        Q_EMIT playingIDChanged();
    }
    setPlayProgress(0);
}

// Editing ---------------------------------------------------------------

void RecorderModel::rename(const QUuid& id, const QString& title)
{
    for (VoiceNote& n : list()) {
        if (n.id == id) {
            if (n.title == title)
                return; // nothing changed: nothing to write
            n.title = title;
            Q_EMIT notesChanged();
            save();
            return;
        }
    }
}

void RecorderModel::setTranscript(const QUuid& id, const QString& text)
{
    for (VoiceNote& n : list()) {
        if (n.id == id) {
            if (n.transcript == text)
                return;
            n.transcript = text;
            Q_EMIT notesChanged();
            save();
            return;
        }
    }
}

void RecorderModel::finish()
{
    stopRecording();
    stopPlayback();
    const QList<TranscriptionTask*> tasks = m_tasks.values();
    m_tasks.clear();
    for (TranscriptionTask* t : tasks)
        delete t; // cancels and waits for its thread
    setTranscribingID(QUuid());
}

void RecorderModel::finishAll()
{
    const QList<RecorderModel*> models = liveModels();
    for (RecorderModel* m : models)
        m->finish();
}
