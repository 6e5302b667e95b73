#pragma once

#include "core/MediaModule.h"
#include "core/RepeatedIds.h"
#include "notes/Transcriber.h"
#include "notes/VoiceNote.h"
#include "ui/Alert.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QUuid>
#include <functional>
#include <future>
#include <memory>

class AudioCapture;
class TranscriptionTask;

// The Notes Recorder's state: the voice notes ("recordings.json", newest
// first, their audio in the "Recordings" folder), the running recording with
// its level and clock, the note being played and how far, the note being
// transcribed, and the last status message (it stays until the next one).
// One model per recorder window.
class RecorderModel : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool recording READ recording NOTIFY recordingChanged)
    Q_PROPERTY(float level READ level NOTIFY levelChanged)
    Q_PROPERTY(double elapsed READ elapsed NOTIFY elapsedChanged)
    Q_PROPERTY(QUuid playingID READ playingID NOTIFY playingIDChanged)
    Q_PROPERTY(double playProgress READ playProgress NOTIFY playProgressChanged)
    Q_PROPERTY(QString status READ status NOTIFY statusChanged)
    Q_PROPERTY(QUuid transcribingID READ transcribingID NOTIFY transcribingIDChanged)
public:
    enum class MicrophoneAccess { notDetermined, authorized, denied, restricted };

    // What the model asks of the desktop. The window fills in the dialogs;
    // tests replace any of them.
    struct Platform {
        // Desktop Linux has no microphone permission: authorized.
        std::function<MicrophoneAccess()> microphoneAccess;
        // Asked when the access is not yet determined; calls back with the
        // answer (on any thread).
        std::function<void(std::function<void(bool granted)>)> requestMicrophone;
        // Opens the desktop's sound settings; false when none is installed.
        std::function<bool()> openMicrophoneSettings;
        std::function<bool()> speechAuthorized;
        // A modal alert; returns 1000 for the first button. Without one every
        // question is answered with its last button.
        std::function<int(const QString& title, const QString& text, AlertStyle style, const QStringList& buttons)> alert;
        // The export destination for a proposed file name; empty = cancelled.
        std::function<QString(const QString& proposedName)> chooseExportPath;
    };

    static QString fileName() { return QStringLiteral("recordings.json"); }
    static constexpr int kMeterInterval = 50;     // ms
    static constexpr int kProgressInterval = 100; // ms

    // How the notes are read: at once, or begun in the background and taken
    // when first asked for (a window reads a long list while it builds the
    // rest of itself).
    enum class Load { now, background };
    // What reading the notes found (see load()).
    struct Reading {
        std::optional<QList<VoiceNote>> notes;
        RepeatedIds::Outcome repaired;
        QStringList audioFiles;
        QStringList unlisted;
    };

    explicit RecorderModel(QObject* parent = nullptr, Load load = Load::now);
    ~RecorderModel() override;

    // The "Recordings" folder of the data folder, created when missing.
    static QString folder();
    static QString pathOf(const VoiceNote& note);
    // Minutes and seconds: 0:00, 1:05, 62:05.
    static QString time(double seconds);

    Platform& platform() { return m_platform; }

    const QList<VoiceNote>& notes() const;
    std::optional<VoiceNote> note(const QUuid& id) const;
    // False while the note's audio file is missing (the note is kept).
    bool isAvailable(const VoiceNote& note) const;
    bool recording() const { return m_recording; }
    float level() const { return m_level; }
    double elapsed() const { return m_elapsed; }
    QUuid playingID() const { return m_playingID; }
    double playProgress() const { return m_playProgress; }
    QString status() const { return m_status; }
    QUuid transcribingID() const { return m_transcribingID; }
    QString currentFile() const { return m_currentFile; }
    bool isTranscribing(const QUuid& id) const { return m_tasks.contains(id); }

    void requestAndRecord();
    void startRecording();
    void denied();
    void stopRecording();
    void togglePlay(const VoiceNote& note);
    void stopPlayback();
    void rename(const QUuid& id, const QString& title);
    void setTranscript(const QUuid& id, const QString& text);
    void deleteNote(const VoiceNote& note);
    void exportNote(const VoiceNote& note);
    void transcribe(const VoiceNote& note);

    // The end of the window or of the program: a running recording is
    // stopped and saved, playback stops, transcriptions are cancelled.
    void finish();
    // The same for every live model (the shell calls it at quit).
    static void finishAll();

    // The player, while one plays (tests).
    MediaModule::Player* player() const { return m_player.get(); }
    AudioCapture* capture() const { return m_capture.get(); }

Q_SIGNALS:
    void notesChanged();
    void recordingChanged();
    void levelChanged();
    void elapsedChanged();
    void playingIDChanged();
    void playProgressChanged();
    void statusChanged();
    void transcribingIDChanged();
    // The first samples of a recording have arrived.
    void capturing();

private:
    void ensureLoaded() const;
    void load(Reading reading);
    // The notes, for changing them.
    QList<VoiceNote>& list();
    // Lists the unlisted audio `files` that a crash cut off; with
    // `finishedToo` (the list was lost) every one of them.
    void recoverInterrupted(const QStringList& files, bool finishedToo);
    bool save();
    void setStatus(const QString& status);
    void setLevel(float level);
    void setElapsed(double elapsed);
    void setPlayProgress(double progress);
    void setTranscribingID(const QUuid& id);
    void meterStep();
    void progressStep();
    void playerFinished(quint64 serial);
    void transcriptionFinished(const QUuid& id, const Transcriber::Result& result);
    void endTask(const QUuid& id);
    int ask(const QString& title, const QString& text, AlertStyle style, const QStringList& buttons);
    bool fileInUse(const QString& fileName, bool onDisk = true) const;

    Platform m_platform;
    mutable std::future<Reading> m_reading; // until the notes are taken from it
    QList<VoiceNote> m_notes;
    bool m_recording = false;
    float m_level = 0;
    double m_elapsed = 0;
    QUuid m_playingID;
    double m_playProgress = 0;
    QString m_status;
    QUuid m_transcribingID;
    std::unique_ptr<AudioCapture> m_capture; // set exactly while recording
    std::unique_ptr<MediaModule::Player> m_player; // set exactly while playing
    quint64 m_playSerial = 0;                       // counts the players made
    QTimer m_meterTimer;    // the level meter, while recording
    QTimer m_progressTimer; // the playback progress, while playing
    QString m_currentFile;
    QHash<QUuid, TranscriptionTask*> m_tasks;
};
