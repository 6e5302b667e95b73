// Self-test suites of the notes recorder: the voice-note record, the names
// and clock it makes, the level meter and a round trip through the audio
// encoder. The snapshot mode writes no recordings: the recorder's picture
// shows its empty window.
#include "notes/AudioDecoder.h"
#include "notes/AudioFileWriter.h"
#include "notes/AudioMeter.h"
#include "notes/RecorderModel.h"
#include "notes/RecorderNaming.h"
#include "notes/VoiceNote.h"
#include "selftest/SelfTest.h"

#include <QJsonObject>
#include <QTemporaryDir>
#include <cmath>
#include <vector>

namespace {

std::vector<qint16> tone(double seconds, double amplitude)
{
    std::vector<qint16> s(size_t(seconds * AudioFileWriter::kSampleRate));
    for (size_t i = 0; i < s.size(); ++i)
        s[i] = qint16(std::lround(amplitude * std::sin(2 * M_PI * 330 * double(i) / AudioFileWriter::kSampleRate)));
    return s;
}

bool writeTone(const QString& path, double seconds)
{
    AudioFileWriter w;
    const std::vector<qint16> s = tone(seconds, 4000);
    return w.open(path) && w.write(s.data(), qsizetype(s.size())) && w.finish();
}

SelfTest::Suite recorderSuite("Recorder", [](SelfTest::Check& c) {
    c.equal(RecorderNaming::time(0), QStringLiteral("0:00"), QStringLiteral("time of 0 s"));
    c.equal(RecorderNaming::time(65.9), QStringLiteral("1:05"), QStringLiteral("time of 65.9 s"));
    c.equal(RecorderNaming::time(3725), QStringLiteral("62:05"), QStringLiteral("time of 3725 s"));
    c.equal(RecorderNaming::exportName(QStringLiteral("Talk 10:30 a/b")), QStringLiteral("Talk 10-30 a-b.m4a"),
            QStringLiteral("proposed export name"));
    const QDateTime start(QDate(2026, 3, 14), QTime(9, 5, 0));
    const QString first = RecorderNaming::fileName(start, [](const QString&) { return false; });
    c.equal(first, QStringLiteral("Voice Note 2026-03-14 090500.m4a"), QStringLiteral("file name"));
    c.equal(RecorderNaming::fileName(start, [&first](const QString& n) { return n == first; }),
            QStringLiteral("Voice Note 2026-03-14 090500 2.m4a"), QStringLiteral("a second name in the same second"));
    c.near(AudioMeter::level(-27.5), 0.5, 1e-6, QStringLiteral("meter at -27.5 dBFS"));
    c.near(AudioMeter::level(-80), 0, 0, QStringLiteral("meter below the floor"));

    VoiceNote n;
    n.id = QUuid::createUuid();
    n.title = QStringLiteral("Lecture");
    n.fileName = QStringLiteral("a.m4a");
    n.created = QDateTime(QDate(2026, 3, 14), QTime(9, 5), Qt::UTC);
    n.duration = 12.4;
    const std::optional<VoiceNote> back = VoiceNote::fromJson(n.toJson());
    c.that(back && *back == n, QStringLiteral("voice note read back"));
    QJsonObject missing = n.toJson().toObject();
    missing.remove(QStringLiteral("transcript"));
    c.that(!VoiceNote::fromJson(missing), QStringLiteral("a voice note without its transcript does not read"));

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("tone.m4a"));
    c.that(writeTone(path, 1.0), QStringLiteral("encoder writes an .m4a"));
    const std::vector<qint16> decoded = AudioDecoder::decodeAll(path, AudioFileWriter::kSampleRate);
    c.that(std::abs(double(decoded.size()) - AudioFileWriter::kSampleRate) < 2048,
           QStringLiteral("the .m4a decodes to its length"), QStringLiteral("44100"), QString::number(decoded.size()));
});

} // namespace
