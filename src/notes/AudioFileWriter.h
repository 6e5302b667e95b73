#pragma once

#include <QString>
#include <QtGlobal>
#include <memory>
#include <optional>
#include <vector>

// Writes 16-bit mono samples at 44,100 Hz as AAC-LC in an MPEG-4 audio file
// (".m4a"). While recording the file is fragmented and flushed after every
// packet, so whatever reached the disk before a crash still plays; finish()
// turns it into a plain MPEG-4 file with a complete index.
class AudioFileWriter {
public:
    static constexpr int kSampleRate = 44100;
    static constexpr int kBitRate = 96000;

    AudioFileWriter();
    ~AudioFileWriter(); // finishes an open file
    AudioFileWriter(const AudioFileWriter&) = delete;
    AudioFileWriter& operator=(const AudioFileWriter&) = delete;

    // Creates the file (replacing nothing: an existing file is an error) and
    // writes its header. On failure `error` says why and no file is left.
    bool open(const QString& path, QString* error = nullptr);
    bool isOpen() const;
    // Encodes samples; false once writing has failed (the disk is full, …).
    bool write(const qint16* samples, qsizetype count);
    // Flushes the encoder, closes the file and rewrites it with a full index.
    // Returns false when the file could not be closed cleanly; what was
    // written stays playable either way.
    bool finish(QString* error = nullptr);

    qint64 samplesWritten() const { return m_samples; }
    QString path() const { return m_path; }

    // True for a file still in its recording form (fragmented: never
    // finished, as after a crash).
    static bool isUnfinished(const QString& path);
    // The length of an audio file in seconds, or nothing when it does not read.
    static std::optional<double> duration(const QString& path);

    // Rewrites a fragmented file as a plain one (packets copied, not
    // re-encoded) through a temporary file in the same folder and a rename.
    static bool compact(const QString& path, QString* error = nullptr);

private:
    struct Av;
    bool encodeFrame(bool flush);
    bool drain();
    void close();

    std::unique_ptr<Av> m_av;
    std::vector<float> m_pending;
    qint64 m_samples = 0;
    qint64 m_encoded = 0;
    QString m_path;
    bool m_failed = false;
};
