#include "notes/Transcriber.h"

#include "notes/AudioDecoder.h"
#include "notes/SpeechLibrary.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QStringList>
#include <vector>

namespace Transcriber {

namespace {

constexpr int kRate = 16000;

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

// The decoder and its configuration, freed together.
struct Decoder {
    const SpeechLibrary::Api& lib;
    cmd_ln_t* config = nullptr;
    ps_decoder_t* ps = nullptr;
    ~Decoder()
    {
        if (ps)
            lib.ps_free(ps);
        if (config)
            lib.cmd_ln_free_r(config);
    }
};

// Sets the decoder's cepstral mean to that of the whole note before the
// note is fed to it: fed in blocks, the recogniser would otherwise start
// from a mean of its own and learn the speaker's only as the note goes on,
// which costs short notes most of their words. The note is read once for
// this (streamed, never held whole) and once more for the recognition.
AudioDecoder::Result primeCepstralMean(const SpeechLibrary::Api& lib, ps_decoder_t* ps, const QString& audioPath,
                                       const std::atomic<bool>& cancel)
{
    fe_t* fe = lib.ps_get_fe(ps);
    feat_t* feat = lib.ps_get_feat(ps);
    if (!fe || !feat || !feat->cmn_struct)
        return {AudioDecoder::Outcome::finished, {}};
    const int width = lib.fe_get_output_size(fe);
    constexpr int kFrames = 256;
    std::vector<mfcc_t> block(size_t(kFrames + 1) * size_t(width));
    std::vector<mfcc_t*> rows(kFrames + 1);
    for (int i = 0; i <= kFrames; ++i)
        rows[size_t(i)] = block.data() + size_t(i) * size_t(width);
    std::vector<double> sum(size_t(width), 0.0);
    qint64 frames = 0;
    auto add = [&](int count) {
        for (int f = 0; f < count; ++f)
            for (int c = 0; c < width; ++c)
                sum[size_t(c)] += double(rows[size_t(f)][c]);
        frames += count;
    };
    lib.fe_start_utt(fe);
    const AudioDecoder::Result read = AudioDecoder::decode(audioPath, kRate, [&](const qint16* s, qsizetype n) {
        const int16* next = s;
        size_t left = size_t(n);
        while (left > 0) {
            if (cancel)
                return false;
            int32 count = kFrames;
            if (lib.fe_process_frames(fe, &next, &left, rows.data(), &count, nullptr) < 0 || count == 0)
                break;
            add(count);
        }
        return !cancel;
    });
    int32 last = 0;
    lib.fe_end_utt(fe, rows[0], &last);
    add(last);
    // A second of audio gives a steady mean; less is left to the recogniser.
    if (read.outcome == AudioDecoder::Outcome::finished && frames >= 100) {
        std::vector<mfcc_t> mean(static_cast<size_t>(width));
        for (int c = 0; c < width; ++c)
            mean[size_t(c)] = mfcc_t(sum[size_t(c)] / double(frames));
        lib.cmn_live_set(feat->cmn_struct, mean.data());
    }
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
    // Fed in blocks, the cepstral mean is kept live (primed below).
    decoder.config = lib->cmd_ln_init(nullptr, lib->ps_args(), TRUE, "-hmm", hmm.constData(), "-lm", lm.constData(),
                                      "-dict", dict.constData(), "-samprate", "16000", "-cmn", "live", nullptr);
    if (decoder.config)
        decoder.ps = lib->ps_init(decoder.config);
    if (!decoder.ps)
        return Result{false, false, {}, QStringLiteral("The speech model for %1 could not be loaded.").arg(recogniser.locale)};
    if (cancel)
        return Result{false, true, {}, {}};

    // The whole note first: its cepstral mean is known before decoding.
    const AudioDecoder::Result primed = primeCepstralMean(*lib, decoder.ps, audioPath, cancel);
    if (primed.outcome == AudioDecoder::Outcome::cancelled || cancel)
        return Result{false, true, {}, {}};
    if (primed.outcome == AudioDecoder::Outcome::failed)
        return Result{false, false, {}, primed.error};

    QStringList sentences;
    bool inUtterance = false;
    bool heardSpeech = false;
    auto closeUtterance = [&] {
        lib->ps_end_utt(decoder.ps);
        int32 score = 0;
        if (const char* hyp = lib->ps_get_hyp(decoder.ps, &score)) {
            const QString s = sentence(QString::fromUtf8(hyp));
            if (!s.isEmpty())
                sentences.append(s);
        }
    };
    const AudioDecoder::Result decoded = AudioDecoder::decode(audioPath, kRate, [&](const qint16* s, qsizetype n) {
        // Fed in quarter seconds: pauses are found and a stop is noticed quickly.
        while (n > 0) {
            if (cancel)
                return false;
            const qsizetype block = std::min<qsizetype>(n, kRate / 4);
            if (!inUtterance)
                inUtterance = lib->ps_start_utt(decoder.ps) >= 0;
            lib->ps_process_raw(decoder.ps, s, size_t(block), FALSE, FALSE);
            if (lib->ps_get_in_speech(decoder.ps)) {
                heardSpeech = true;
            } else if (heardSpeech) {
                // A pause after speech ends a sentence.
                closeUtterance();
                inUtterance = false;
                heardSpeech = false;
            }
            s += block;
            n -= block;
        }
        return !cancel;
    });
    if (decoded.outcome == AudioDecoder::Outcome::cancelled || cancel)
        return Result{false, true, {}, {}};
    if (decoded.outcome == AudioDecoder::Outcome::failed)
        return Result{false, false, {}, decoded.error};
    if (inUtterance)
        closeUtterance();
    return Result{true, false, sentences.join(QLatin1Char(' ')), {}};
}

} // namespace Transcriber
