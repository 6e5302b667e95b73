#pragma once

#include "core/MediaModule.h"
#include "notes/AudioFileWriter.h"
#include "notes/AudioMeter.h"

#include <QIODevice>
#include <QObject>
#include <QPointer>
#include <QString>
#include <memory>

// The recorder's capture: 16-bit mono samples at 44,100 Hz from the default
// input device (PulseAudio, through the media module), encoded into an ".m4a" file as they arrive and
// measured for the level meter.
class AudioCapture : public QObject {
    Q_OBJECT
public:
    enum class Start { started, createFailed, recordFailed };

    explicit AudioCapture(QObject* parent = nullptr);
    ~AudioCapture() override; // stops and finishes a running capture

    // createFailed: the file could not be made (`error` says why);
    // recordFailed: no input could be opened (the file is removed again).
    Start start(const QString& path, QString* error = nullptr);
    bool isCapturing() const { return m_source != nullptr; }
    // Reads what the device still holds, stops it and finishes the file.
    // Returns the seconds captured; finishError() then says why the file
    // could not be finished (empty when it was).
    double stop();
    const QString& finishError() const { return m_finishError; }

    // Seconds captured so far (samples / 44,100).
    double currentTime() const;
    // The meter's average power of the last 50 ms, in dBFS.
    double averagePower() const { return m_meter.averagePower(); }
    qint64 samplesCaptured() const { return m_writer.samplesWritten(); }

Q_SIGNALS:
    // The first samples of a capture have arrived.
    void capturing();
    // Capturing cannot go on: writing the file failed (the disk is full, …)
    // or the input went away (the sound server stopped, …). What was captured
    // is in the file.
    void failed(const QString& error);

private:
    void readAvailable();
    void fail(const QString& error);

    std::unique_ptr<MediaModule::Input> m_source;
    // The source owns its device and drops it when the input fails.
    QPointer<QIODevice> m_device;
    AudioFileWriter m_writer;
    AudioMeter m_meter;
    QByteArray m_carry; // an odd byte left between reads
    bool m_reported = false;
    bool m_failed = false;
    QString m_finishError;
};
