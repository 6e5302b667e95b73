#include "PrivatePulse.h"
#include "TestEnvironment.h"
#include "notes/AudioDecoder.h"
#include "notes/AudioFileWriter.h"
#include "notes/SpeechLibrary.h"
#include "notes/Transcriber.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <thread>

namespace {

const QString kTestData = QStringLiteral("/usr/share/pocketsphinx/test/data/");

// A recording of the recogniser's test data (a WAV, or 16 kHz raw samples),
// brought to the recorder's form: 44.1 kHz AAC in an .m4a, as if it had
// been recorded here.
QString roundTrip(const QString& raw, const QTemporaryDir& dir)
{
    QString wav = raw;
    if (!raw.endsWith(QLatin1String(".wav"))) {
        QFile f(raw);
        if (!f.open(QIODevice::ReadOnly))
            return {};
        const QByteArray bytes = f.readAll();
        wav = dir.filePath(QStringLiteral("speech.wav"));
        if (!PrivatePulse::writeWav(wav, reinterpret_cast<const qint16*>(bytes.constData()), bytes.size() / 2, 16000))
            return {};
    }
    const std::vector<qint16> at44 = AudioDecoder::decodeAll(wav, 44100);
    const QString m4a = dir.filePath(QStringLiteral("speech.m4a"));
    AudioFileWriter w;
    if (at44.empty() || !w.open(m4a) || !w.write(at44.data(), qsizetype(at44.size())) || !w.finish())
        return {};
    return m4a;
}

// The recogniser's best: the whole file decoded in one pass.
QString inOnePass(const QString& audio)
{
    const SpeechLibrary::Api* lib = SpeechLibrary::load();
    const std::vector<qint16> samples = AudioDecoder::decodeAll(audio, 16000);
    const QString model = Transcriber::modelFolder() + QLatin1Char('/');
    const QByteArray hmm = QFile::encodeName(model + QStringLiteral("en-us"));
    const QByteArray lm = QFile::encodeName(model + QStringLiteral("en-us.lm.bin"));
    const QByteArray dict = QFile::encodeName(model + QStringLiteral("cmudict-en-us.dict"));
    cmd_ln_t* config = lib->cmd_ln_init(nullptr, lib->ps_args(), TRUE, "-hmm", hmm.constData(), "-lm", lm.constData(),
                                        "-dict", dict.constData(), "-samprate", "16000", nullptr);
    ps_decoder_t* ps = lib->ps_init(config);
    lib->ps_start_utt(ps);
    lib->ps_process_raw(ps, samples.data(), samples.size(), FALSE, TRUE);
    lib->ps_end_utt(ps);
    int32 score = 0;
    const char* hyp = lib->ps_get_hyp(ps, &score);
    const QString text = hyp ? QString::fromUtf8(hyp) : QString();
    lib->ps_free(ps);
    lib->cmd_ln_free_r(config);
    return text;
}

// Words that differ between two texts (edit distance over words).
int wordsApart(const QString& a, const QString& b)
{
    const QStringList x = a.split(QLatin1Char(' '), Qt::SkipEmptyParts), y = b.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    std::vector<int> prev(size_t(y.size()) + 1), cur(prev.size());
    for (qsizetype j = 0; j <= y.size(); ++j)
        prev[size_t(j)] = int(j);
    for (qsizetype i = 1; i <= x.size(); ++i) {
        cur[0] = int(i);
        for (qsizetype j = 1; j <= y.size(); ++j)
            cur[size_t(j)] = std::min({prev[size_t(j - 1)] + (x[i - 1] == y[j - 1] ? 0 : 1), prev[size_t(j)] + 1,
                                       cur[size_t(j - 1)] + 1});
        std::swap(prev, cur);
    }
    return prev[size_t(y.size())];
}

// Recordings of the test data ('+' joins several into one long note),
// scaled by `gain`, cut to the first `keep` of their samples and wrapped
// in `silence` seconds, stored as the recorder stores a note. Empty when
// a recording is missing.
QString storeNote(const QString& recording, double gain, double silence, double keep, const QTemporaryDir& dir)
{
    std::vector<qint16> speech;
    for (const QString& part : recording.split(QLatin1Char('+'))) {
        const std::vector<qint16> samples = AudioDecoder::decodeAll(kTestData + part, 44100);
        if (samples.empty())
            return {};
        speech.insert(speech.end(), samples.begin(), samples.end());
    }
    speech.resize(size_t(double(speech.size()) * keep));
    std::vector<qint16> note(size_t(silence * 44100), 0);
    for (qint16 s : speech)
        note.push_back(qint16(std::clamp(std::lround(s * gain), -32768L, 32767L)));
    note.resize(note.size() + size_t(silence * 44100), 0);
    const QString m4a = dir.filePath(QStringLiteral("note.m4a"));
    AudioFileWriter w;
    if (!w.open(m4a) || !w.write(note.data(), qsizetype(note.size())) || !w.finish())
        return {};
    return m4a;
}

} // namespace

class TranscriptionTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { Transcriber::setModelFolder(QString()); }

    void recognisesTheKnownRecordingAfterAnAacRoundTrip_data()
    {
        QTest::addColumn<QString>("raw");
        QTest::addColumn<QString>("words");
        QTest::newRow("go forward") << QStringLiteral("goforward.raw") << QStringLiteral("go forward ten meters");
        // Short notes depend most on the speaker's cepstral mean being known
        // from the start.
        QTest::newRow("short note") << QStringLiteral("cards/001.wav") << QStringLiteral("ten of clubs");
        QTest::newRow("phrases with pauses")
            << QStringLiteral("cards/005.wav") << QStringLiteral("eight of spades four of clubs seven of hearts");
    }
    void recognisesTheKnownRecordingAfterAnAacRoundTrip()
    {
        QFETCH(QString, raw);
        QFETCH(QString, words);
        if (!QFile::exists(kTestData + raw))
            QSKIP("the recogniser's test recordings are not installed");
        const std::optional<Transcriber::Recogniser> r = Transcriber::recogniserFor(QLocale());
        QVERIFY(r);
        QTemporaryDir dir;
        const QString m4a = roundTrip(kTestData + raw, dir);
        QVERIFY(!m4a.isEmpty());
        std::atomic<bool> cancel{false};
        const Transcriber::Result result = Transcriber::recognise(*r, m4a, cancel);
        QVERIFY2(result.ok, qPrintable(result.error));
        QCOMPARE(result.text.toLower().remove(QLatin1Char('.')).simplified(), words);
        // A sentence: capital first letter, full stop.
        QVERIFY(result.text.front().isUpper());
        QVERIFY(result.text.endsWith(QLatin1Char('.')));
    }

    void aNoteReadsAsTheWholeFileInOnePass_data()
    {
        // A note as a microphone gives it: quieter or louder than the
        // recogniser's own recordings, short or long, with silence around.
        QTest::addColumn<QString>("recording");
        QTest::addColumn<double>("gain");
        QTest::addColumn<double>("silence");
        const QString book = QStringLiteral("librivox/sense_and_sensibility_01_austen_64kb-0870.wav");
        QStringList parts;
        for (const char* n : {"0870", "0880", "0890", "0920", "0930"})
            parts.append(QStringLiteral("librivox/sense_and_sensibility_01_austen_64kb-%1.wav").arg(QLatin1String(n)));
        const QString chapter = parts.join(QLatin1Char('+'));
        QTest::newRow("as recorded") << book << 1.0 << 0.0;
        QTest::newRow("quiet microphone") << book << 0.1 << 0.0;
        QTest::newRow("a long note") << chapter << 1.0 << 0.0;
        QTest::newRow("loud, with silence around") << book << 2.5 << 1.0;
    }
    void aNoteReadsAsTheWholeFileInOnePass()
    {
        QFETCH(QString, recording);
        QFETCH(double, gain);
        QFETCH(double, silence);
        for (const QString& part : recording.split(QLatin1Char('+')))
            if (!QFile::exists(kTestData + part))
                QSKIP("the recogniser's test recordings are not installed");
        QTemporaryDir dir;
        const QString m4a = storeNote(recording, gain, silence, 1.0, dir);
        QVERIFY(!m4a.isEmpty());
        std::atomic<bool> cancel{false};
        const Transcriber::Result r = Transcriber::recognise(*Transcriber::recogniserFor(QLocale()), m4a, cancel);
        QVERIFY2(r.ok, qPrintable(r.error));
        // Read in blocks and cut into sentences at pauses, a note may differ
        // from the one pass in a word here and there, no more.
        const QString ours = r.text.toLower().remove(QLatin1Char('.')).simplified();
        const QString best = inOnePass(m4a);
        QVERIFY2(wordsApart(ours, best) * 20 <= best.count(QLatin1Char(' ')) + 1,
                 qPrintable(ours + QStringLiteral("\n") + best));
    }

    void aNoteUnderAMinuteGivesTheOnePassWordForWord_data()
    {
        // What the one pass does at the edges: frames too quiet to count
        // in the speaker's mean, and the last frames of a note that stops
        // in the middle of a word.
        QTest::addColumn<QString>("recording");
        QTest::addColumn<double>("gain");
        QTest::addColumn<double>("silence");
        QTest::addColumn<double>("keep");
        const QString book = QStringLiteral("librivox/sense_and_sensibility_01_austen_64kb-0890.wav");
        QTest::newRow("as recorded") << book << 1.0 << 0.0 << 1.0;
        QTest::newRow("quiet, long silence around") << book << 0.05 << 3.0 << 1.0;
        QTest::newRow("stops mid-word") << book << 1.0 << 0.0 << 0.63;
        QTest::newRow("phrases with pauses") << QStringLiteral("cards/005.wav") << 1.5 << 0.5 << 1.0;
        QTest::newRow("short, quiet, in silence") << QStringLiteral("cards/002.wav") << 0.2 << 2.0 << 1.0;
    }
    void aNoteUnderAMinuteGivesTheOnePassWordForWord()
    {
        QFETCH(QString, recording);
        QFETCH(double, gain);
        QFETCH(double, silence);
        QFETCH(double, keep);
        if (!QFile::exists(kTestData + recording))
            QSKIP("the recogniser's test recordings are not installed");
        QTemporaryDir dir;
        const QString m4a = storeNote(recording, gain, silence, keep, dir);
        QVERIFY(!m4a.isEmpty());
        std::atomic<bool> cancel{false};
        const Transcriber::Result r = Transcriber::recognise(*Transcriber::recogniserFor(QLocale()), m4a, cancel);
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(r.text.toLower().remove(QLatin1Char('.')).simplified(), inOnePass(m4a));
    }

    void everyLocaleFallsBackToUsEnglish_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::newRow("en_US") << QLocale(QLocale::English, QLocale::UnitedStates);
        QTest::newRow("de_DE") << QLocale(QLocale::German, QLocale::Germany);
    }
    void everyLocaleFallsBackToUsEnglish()
    {
        QFETCH(QLocale, locale);
        const std::optional<Transcriber::Recogniser> r = Transcriber::recogniserFor(locale);
        QVERIFY(r);
        QCOMPARE(r->locale, QStringLiteral("en-US"));
        QVERIFY(r->onDevice);
        // Without an installed model there is no recogniser at all.
        QTemporaryDir empty;
        Transcriber::setModelFolder(empty.path());
        QVERIFY(!Transcriber::recogniserFor(locale));
    }

    void failuresComeBackAsErrors_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("create");
        QTest::newRow("missing file") << QByteArray() << false;
        QTest::newRow("not audio") << QByteArray("hello") << true;
    }
    void failuresComeBackAsErrors()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, create);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("x.m4a"));
        if (create) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(content);
        }
        std::atomic<bool> cancel{false};
        const Transcriber::Result r = Transcriber::recognise(*Transcriber::recogniserFor(QLocale()), path, cancel);
        QVERIFY(!r.ok);
        QVERIFY(!r.cancelled);
        QVERIFY(!r.error.isEmpty());
    }

    void aCancelStopsALongTranscriptionQuickly()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("long.m4a"));
        AudioFileWriter w;
        QVERIFY(w.open(path));
        // A minute of noise in bursts, four a second: the recogniser takes it
        // for speech and searches it, which takes far longer than the wait
        // below.
        std::vector<qint16> noise(44100 * 60);
        QRandomGenerator random(26);
        for (size_t i = 0; i < noise.size(); ++i) {
            const double burst = 0.5 + 0.5 * std::sin(2 * M_PI * 4 * double(i) / 44100);
            noise[i] = qint16(burst * (int(random.bounded(16001)) - 8000));
        }
        QVERIFY(w.write(noise.data(), qsizetype(noise.size())));
        QVERIFY(w.finish());
        std::atomic<bool> cancel{false};
        Transcriber::Result r;
        std::thread worker([&] { r = Transcriber::recognise(*Transcriber::recogniserFor(QLocale()), path, cancel); });
        QTest::qWait(300);
        QElapsedTimer t;
        t.start();
        cancel = true;
        worker.join();
        QVERIFY2(r.cancelled, qPrintable(r.error));
        QVERIFY2(t.elapsed() < 5000, qPrintable(QString::number(t.elapsed())));
    }
};

QTEST_GUILESS_MAIN(TranscriptionTest)
#include "tst_transcription.moc"
