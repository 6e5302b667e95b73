#include "notes/Transcriber.h"

#include "notes/AudioDecoder.h"
#include "notes/SpeechLibrary.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QStringList>
#include <algorithm>
#include <vector>

namespace Transcriber {

namespace {

constexpr int kRate = 16000;
// A minute of speech frames (100 a second).
constexpr qint64 kLongestUtterance = 6000;

QMutex& folderLock()
{
    static QMutex m;
    return m;
}

QString& folderOverride()
{
    static QString f;
    return f;
}

bool hasModel(const QString& folder)
{
    const QDir d(folder);
    return QFileInfo(d.filePath(QStringLiteral("en-us/mdef"))).isFile()
        && QFileInfo(d.filePath(QStringLiteral("en-us.lm.bin"))).isFile()
        && QFileInfo(d.filePath(QStringLiteral("cmudict-en-us.dict"))).isFile();
}

// The decoder, its configuration and the front end the note's features
// are computed with, freed together.
struct Decoder {
    const SpeechLibrary::Api& lib;
    cmd_ln_t* config = nullptr;
    ps_decoder_t* ps = nullptr;
    fe_t* fe = nullptr;
    ~Decoder()
    {
        if (fe)
            lib.fe_free(fe);
        if (ps)
            lib.ps_free(ps);
        if (config)
            lib.cmd_ln_free_r(config);
    }
};

// Turns a note into the recogniser's features block by block: the frames
// of speech the front end keeps (it drops long silences) and whether it
// hears speech at the end of each block.
class Frames {
public:
    Frames(const SpeechLibrary::Api& lib, fe_t* fe)
        : m_lib(lib)
        , m_fe(fe)
        , m_width(lib.fe_get_output_size(fe))
        , m_block(size_t(kFrames + 1) * size_t(m_width))
        , m_rows(kFrames + 1)
    {
        for (int i = 0; i <= kFrames; ++i)
            m_rows[size_t(i)] = m_block.data() + size_t(i) * size_t(m_width);
    }

    int width() const { return m_width; }
    // The front end could not take the audio.
    bool hasFailed() const { return m_failed; }
    void start() { m_lib.fe_start_utt(m_fe); }
    bool inSpeech() const { return m_lib.fe_get_vad_state(m_fe) != 0; }

    // Hands `use` the frames of `count` samples, at most kFrames at a time.
    template <typename Use>
    bool add(const qint16* samples, size_t count, const Use& use)
    {
        const int16* next = samples;
        while (count > 0) {
            int32 n = kFrames;
            const size_t before = count;
            if (m_lib.fe_process_frames(m_fe, &next, &count, m_rows.data(), &n, nullptr) < 0) {
                m_failed = true;
                return false;
            }
            // Silence the front end drops gives no frames, yet is used up.
            if (n > 0 && !use(m_rows.data(), int(n)))
                return false;
            if (n == 0 && count == before)
                break;
        }
        return true;
    }

    // The last frame the front end held back, if any.
    template <typename Use>
    bool finish(const Use& use)
    {
        int32 n = 0;
        m_lib.fe_end_utt(m_fe, m_rows[0], &n);
        return n == 0 || use(m_rows.data(), int(n));
    }

private:
    static constexpr int kFrames = 256;
    const SpeechLibrary::Api& m_lib;
    fe_t* m_fe;
    int m_width;
    std::vector<mfcc_t> m_block;
    std::vector<mfcc_t*> m_rows;
    bool m_failed = false;
};

// The cepstral mean of the whole note's speech, as the recogniser takes
// it when it is given a note in one piece: frames without energy (a
// negative first coefficient) left out, summed in the recogniser's own
// precision and order. The note is read once for this (streamed, never
// held whole) and once more for the recognition, whose features are then
// normalised exactly as in one piece, however long the note and however
// it is cut into sentences.
AudioDecoder::Result noteMean(Frames& frames, const QString& audioPath, const std::atomic<bool>& cancel,
                              std::vector<mfcc_t>& mean)
{
    mean.assign(size_t(frames.width()), mfcc_t(0));
    int32 count = 0;
    const auto add = [&](mfcc_t** rows, int n) {
        for (int f = 0; f < n; ++f) {
            if (rows[f][0] < 0)
                continue;
            for (int c = 0; c < frames.width(); ++c)
                mean[size_t(c)] += rows[f][c];
            ++count;
        }
        return !cancel;
    };
    frames.start();
    const AudioDecoder::Result read = AudioDecoder::decode(
        audioPath, kRate, [&](const qint16* s, qsizetype n) { return frames.add(s, size_t(n), add) && !cancel; });
    frames.finish(add);
    for (int c = 0; c < frames.width(); ++c)
        mean[size_t(c)] = count > 0 ? mean[size_t(c)] / mfcc_t(count) : mfcc_t(0);
    return read;
}

} // namespace

QString modelFolder()
{
    QMutexLocker lock(&folderLock());
    if (!folderOverride().isEmpty())
        return folderOverride();
    return QStringLiteral("/usr/share/pocketsphinx/model/en-us");
}

void setModelFolder(const QString& folder)
{
    QMutexLocker lock(&folderLock());
    folderOverride() = folder;
}

std::optional<Recogniser> recogniserFor(const QLocale& locale)
{
    // Only the US-English model exists for pocketsphinx here; every other
    // language falls back to it.
    Q_UNUSED(locale);
    const QString folder = modelFolder();
    if (!hasModel(folder))
        return std::nullopt;
    return Recogniser{QStringLiteral("en-US"), folder, true};
}

QString sentence(const QString& words)
{
    QString s = words.simplified();
    if (s.isEmpty())
        return s;
    s[0] = s[0].toUpper();
    return s + QLatin1Char('.');
}

Result recognise(const Recogniser& recogniser, const QString& audioPath, const std::atomic<bool>& cancel)
{
    QString libraryError;
    const SpeechLibrary::Api* lib = SpeechLibrary::load(&libraryError);
    if (!lib)
        return Result{false, false, {},
                      QStringLiteral("Speech recognition is not installed on this computer (%1).").arg(libraryError)};

    const QDir d(recogniser.modelFolder);
    const QByteArray hmm = QFile::encodeName(d.filePath(QStringLiteral("en-us")));
    const QByteArray lm = QFile::encodeName(d.filePath(QStringLiteral("en-us.lm.bin")));
    const QByteArray dict = QFile::encodeName(d.filePath(QStringLiteral("cmudict-en-us.dict")));
    Decoder decoder{*lib};
    // The features come normalised by the note's own mean (below), so the
    // decoder normalises nothing itself.
    decoder.config = lib->cmd_ln_init(nullptr, lib->ps_args(), TRUE, "-hmm", hmm.constData(), "-lm", lm.constData(),
                                      "-dict", dict.constData(), "-samprate", "16000", "-cmn", "none", nullptr);
    if (decoder.config)
        decoder.ps = lib->ps_init(decoder.config);
    // The decoder has read its model's front-end settings into the
    // configuration: the same front end, our own.
    if (decoder.ps)
        decoder.fe = lib->fe_init_auto_r(decoder.config);
    // The model's own settings ask the decoder to normalise (its
    // configuration file wins over ours): told here not to.
    feat_t* feat = decoder.ps ? lib->ps_get_feat(decoder.ps) : nullptr;
    if (feat)
        feat->cmn = CMN_NONE;
    if (!decoder.ps || !decoder.fe || !feat)
        return Result{false, false, {}, QStringLiteral("The speech model for %1 could not be loaded.").arg(recogniser.locale)};
    if (cancel)
        return Result{false, true, {}, {}};

    Frames frames(*lib, decoder.fe);
    std::vector<mfcc_t> mean;
    const AudioDecoder::Result measured = noteMean(frames, audioPath, cancel, mean);
    if (cancel)
        return Result{false, true, {}, {}};
    if (frames.hasFailed())
        return Result{false, false, {}, QStringLiteral("The recording could not be prepared for transcription.")};
    if (measured.outcome == AudioDecoder::Outcome::failed)
        return Result{false, false, {}, measured.error};

    QStringList sentences;
    bool inUtterance = false;
    bool heardSpeech = false;
    qint64 utteranceFrames = 0;
    // The last frame given: the decoder, which reads a few frames ahead for
    // each feature, is given it again that many times at the end of a
    // stretch, so that its last frames are read, as in one piece.
    std::vector<mfcc_t> last(size_t(frames.width()), mfcc_t(0));
    auto closeUtterance = [&] {
        if (utteranceFrames > 0) {
            std::vector<mfcc_t*> rows(size_t(feat_window_size(feat)), last.data());
            lib->ps_process_cep(decoder.ps, rows.data(), int32(rows.size()), FALSE, FALSE);
        }
        lib->ps_end_utt(decoder.ps);
        int32 score = 0;
        if (const char* hyp = lib->ps_get_hyp(decoder.ps, &score)) {
            const QString s = sentence(QString::fromUtf8(hyp));
            if (!s.isEmpty())
                sentences.append(s);
        }
        inUtterance = false;
        heardSpeech = false;
        utteranceFrames = 0;
    };
    const auto search = [&](mfcc_t** rows, int n) {
        for (int f = 0; f < n; ++f)
            for (int c = 0; c < frames.width(); ++c)
                rows[f][c] -= mean[size_t(c)];
        if (!inUtterance)
            inUtterance = lib->ps_start_utt(decoder.ps) >= 0;
        lib->ps_process_cep(decoder.ps, rows, n, FALSE, FALSE);
        std::copy(rows[n - 1], rows[n - 1] + frames.width(), last.begin());
        utteranceFrames += n;
        return !cancel;
    };
    frames.start();
    const AudioDecoder::Result decoded = AudioDecoder::decode(audioPath, kRate, [&](const qint16* s, qsizetype n) {
        // Fed in quarter seconds: pauses are found and a stop is noticed quickly.
        while (n > 0) {
            if (cancel)
                return false;
            const qsizetype block = std::min<qsizetype>(n, kRate / 4);
            if (!frames.add(s, size_t(block), search))
                return false;
            if (frames.inSpeech()) {
                heardSpeech = true;
            } else if (heardSpeech && inUtterance && utteranceFrames >= kLongestUtterance) {
                // A long stretch is closed at its next pause, which keeps
                // the search's memory bounded. Shorter ones run on: each
                // sentence closed on its own would lose the words around
                // it, and with them the recogniser's context.
                closeUtterance();
            }
            s += block;
            n -= block;
        }
        return !cancel;
    });
    if (cancel)
        return Result{false, true, {}, {}};
    if (frames.hasFailed())
        return Result{false, false, {}, QStringLiteral("The recording could not be prepared for transcription.")};
    if (decoded.outcome == AudioDecoder::Outcome::failed)
        return Result{false, false, {}, decoded.error};
    frames.finish(search);
    if (inUtterance)
        closeUtterance();
    return Result{true, false, sentences.join(QLatin1Char(' ')), {}};
}

} // namespace Transcriber
