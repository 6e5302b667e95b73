// Word error rate of the recorder's transcription over pocketsphinx's own
// test recordings. Each sentence goes the way a note goes: resampled to
// 44.1 kHz, stored as AAC in an .m4a file, then transcribed. Beside it, the
// recogniser's figure for the same stored audio decoded as a whole in one
// pass (the floor), and the ratio.
#include "PrivatePulse.h"
#include "RecordedNotes.h"
#include "notes/AudioDecoder.h"
#include "notes/AudioFileWriter.h"
#include "notes/SpeechLibrary.h"
#include "notes/Transcriber.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextStream>
#include <QtEndian>
#include <cstdio>
#include <vector>

namespace {

const QString kData = QStringLiteral("/usr/share/pocketsphinx/test/data/");

struct Sentence {
    QString audio; // .wav, or .raw (16 kHz 16-bit mono)
    QString words;
};

} // namespace

QStringList words(const QString& text)
{
    QString t = text.toLower();
    t.remove(QRegularExpression(QStringLiteral("[^a-z' ]")));
    return t.split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

// "<s> words </s> (id)" lines of a transcription file.
QList<Sentence> readSet(const QString& folder, const QString& transcription, const QString& pattern)
{
    QList<Sentence> set;
    QFile f(kData + folder + QLatin1Char('/') + transcription);
    if (!f.open(QIODevice::ReadOnly))
        return set;
    static const QRegularExpression line(QStringLiteral("^<s>(.*)</s>\\s*\\(([^)]+)\\)"));
    for (const QByteArray& raw : f.readAll().split('\n')) {
        const QRegularExpressionMatch m = line.match(QString::fromUtf8(raw).trimmed());
        if (m.hasMatch())
            set.append({kData + folder + QLatin1Char('/') + pattern.arg(m.captured(2)), m.captured(1).simplified()});
    }
    return set;
}

int distance(const QStringList& a, const QStringList& b)
{
    std::vector<int> prev(size_t(b.size()) + 1), cur(prev.size());
    for (qsizetype j = 0; j <= b.size(); ++j)
        prev[size_t(j)] = int(j);
    for (qsizetype i = 1; i <= a.size(); ++i) {
        cur[0] = int(i);
        for (qsizetype j = 1; j <= b.size(); ++j) {
            const int sub = prev[size_t(j - 1)] + (a[i - 1] == b[j - 1] ? 0 : 1);
            cur[size_t(j)] = std::min({sub, prev[size_t(j)] + 1, cur[size_t(j - 1)] + 1});
        }
        std::swap(prev, cur);
    }
    return prev[size_t(b.size())];
}

namespace {

// A raw recording as a WAV file libav can read.
QString asWav(const QString& raw, const QString& folder)
{
    QFile in(raw);
    if (!in.open(QIODevice::ReadOnly))
        return {};
    const QByteArray pcm = in.readAll();
    QByteArray header("RIFF....WAVEfmt ");
    auto le32 = [](quint32 v) { QByteArray b(4, 0); qToLittleEndian(v, b.data()); return b; };
    auto le16 = [](quint16 v) { QByteArray b(2, 0); qToLittleEndian(v, b.data()); return b; };
    header.replace(4, 4, le32(quint32(36 + pcm.size())));
    header += le32(16) + le16(1) + le16(1) + le32(16000) + le32(32000) + le16(2) + le16(16) + "data"
        + le32(quint32(pcm.size()));
    const QString path = folder + QLatin1Char('/') + QFileInfo(raw).completeBaseName() + QStringLiteral(".wav");
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(header + pcm) != header.size() + pcm.size())
        return {};
    return path;
}

// The sentence as the recorder would store it.
QString asNote(const QString& audio, const QString& folder)
{
    const std::vector<qint16> samples = AudioDecoder::decodeAll(audio, AudioFileWriter::kSampleRate);
    const QString path = folder + QLatin1Char('/') + QFileInfo(audio).completeBaseName() + QStringLiteral(".m4a");
    AudioFileWriter w;
    if (samples.empty() || !w.open(path) || !w.write(samples.data(), qsizetype(samples.size())) || !w.finish())
        return {};
    return path;
}

} // namespace

// The recogniser on the whole stored note in one pass.
QString wholeFile(const SpeechLibrary::Api& lib, const QString& audio16k)
{
    const std::vector<qint16> audio = AudioDecoder::decodeAll(audio16k, 16000);
    const QDir d(Transcriber::modelFolder());
    const QByteArray hmm = QFile::encodeName(d.filePath(QStringLiteral("en-us")));
    const QByteArray lm = QFile::encodeName(d.filePath(QStringLiteral("en-us.lm.bin")));
    const QByteArray dict = QFile::encodeName(d.filePath(QStringLiteral("cmudict-en-us.dict")));
    cmd_ln_t* config = lib.cmd_ln_init(nullptr, lib.ps_args(), TRUE, "-hmm", hmm.constData(), "-lm", lm.constData(),
                                       "-dict", dict.constData(), "-samprate", "16000", nullptr);
    ps_decoder_t* ps = config ? lib.ps_init(config) : nullptr;
    QString text;
    if (ps) {
        lib.ps_start_utt(ps);
        lib.ps_process_raw(ps, audio.data(), audio.size(), FALSE, TRUE);
        lib.ps_end_utt(ps);
        int32 score = 0;
        if (const char* hyp = lib.ps_get_hyp(ps, &score))
            text = QString::fromUtf8(hyp);
        lib.ps_free(ps);
    }
    if (config)
        lib.cmd_ln_free_r(config);
    return text;
}

namespace {

// The recogniser's own test recordings, each stored as a note would be.
int storedSentences(QTextStream& out, const SpeechLibrary::Api& api, const Transcriber::Recogniser& recogniser)
{
    const SpeechLibrary::Api* lib = &api;
    QList<Sentence> set = readSet(QStringLiteral("librivox"), QStringLiteral("transcription"), QStringLiteral("%1.wav"));
    set += readSet(QStringLiteral("cards"), QStringLiteral("cards.transcription"), QStringLiteral("%1.wav"));
    set.append({kData + QStringLiteral("goforward.raw"), QStringLiteral("go forward ten meters")});
    QTemporaryDir dir;
    int reference = 0, ours = 0, floor = 0;
    double seconds = 0;
    const std::atomic<bool> cancel{false};
    out << "transcription of " << set.size() << " recorded sentences (pocketsphinx test data), as notes\n";
    for (const Sentence& s : std::as_const(set)) {
        const QString audio = s.audio.endsWith(QLatin1String(".raw")) ? asWav(s.audio, dir.path()) : s.audio;
        const QString note = asNote(audio, dir.path());
        if (note.isEmpty()) {
            out << "  " << QFileInfo(s.audio).fileName() << ": could not be stored as a note\n";
            continue;
        }
        const QStringList truth = words(s.words);
        QElapsedTimer t;
        t.start();
        const Transcriber::Result r = Transcriber::recognise(recogniser, note, cancel);
        seconds += double(t.nsecsElapsed()) / 1e9;
        const int e = distance(words(r.text), truth);
        const int f = distance(words(wholeFile(*lib, note)), truth);
        reference += int(truth.size());
        ours += e;
        floor += f;
        out << "  " << QFileInfo(s.audio).completeBaseName().leftJustified(44) << " words " << truth.size()
            << ", errors " << e << " (whole file in one pass: " << f << ")\n";
        out.flush();
    }
    if (reference == 0)
        return 1;
    const double wer = 100.0 * ours / reference, floorWer = 100.0 * floor / reference;
    out << QStringLiteral("  word error rate: %1 %, floor (the recogniser on each whole file in one pass) %2 %, ratio %3\n")
               .arg(wer, 0, 'f', 1)
               .arg(floorWer, 0, 'f', 1)
               .arg(floorWer > 0 ? wer / floorWer : 0.0, 0, 'f', 2);
    out << QStringLiteral("  transcription time: %1 s for %2 words\n").arg(seconds, 0, 'f', 2).arg(reference);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir data;
    qputenv("VEXO_BW_DATA_DIR", data.path().toLocal8Bit());
    // Before anything opens an audio device: the recorder hears what the
    // bench plays into this server.
    PrivatePulse pulse;
    const QString pulseError = pulse.start();
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const SpeechLibrary::Api* lib = SpeechLibrary::load();
    const std::optional<Transcriber::Recogniser> recogniser = Transcriber::recogniserFor(QLocale());
    if (!lib || !recogniser) {
        out << "the recogniser or its US-English model is not installed\n";
        return 1;
    }
    const bool recordedOnly = app.arguments().contains(QStringLiteral("--recorded-only"));
    int status = recordedOnly ? 0 : storedSentences(out, *lib, *recogniser);
    if (pulseError.isEmpty())
        status |= recordedNotes(out, *lib, *recogniser, pulse);
    else
        out << "recorded notes skipped: no private sound server (" << pulseError << ")\n";
    return status;
}
