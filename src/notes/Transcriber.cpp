#include "notes/Transcriber.h"

#include "notes/AudioDecoder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QStringList>
#include <mutex>

#include <pocketsphinx.h>
#include <sphinxbase/err.h>

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
    cmd_ln_t* config = nullptr;
    ps_decoder_t* ps = nullptr;
    ~Decoder()
    {
        if (ps)
            ps_free(ps);
        if (config)
            cmd_ln_free_r(config);
    }
};

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
    // The recogniser's log is process-wide: silenced once, never reopened
    // per decoder, so decoders on several threads share nothing.
    static std::once_flag quiet;
    std::call_once(quiet, [] { err_set_logfp(nullptr); });

    const QDir d(recogniser.modelFolder);
    const QByteArray hmm = QFile::encodeName(d.filePath(QStringLiteral("en-us")));
    const QByteArray lm = QFile::encodeName(d.filePath(QStringLiteral("en-us.lm.bin")));
    const QByteArray dict = QFile::encodeName(d.filePath(QStringLiteral("cmudict-en-us.dict")));
    Decoder decoder;
    decoder.config = cmd_ln_init(nullptr, ps_args(), TRUE, "-hmm", hmm.constData(), "-lm", lm.constData(), "-dict",
                                 dict.constData(), "-samprate", "16000", nullptr);
    if (decoder.config)
        decoder.ps = ps_init(decoder.config);
    if (!decoder.ps)
        return Result{false, false, {}, QStringLiteral("The speech model for %1 could not be loaded.").arg(recogniser.locale)};
    if (cancel)
        return Result{false, true, {}, {}};

    QStringList sentences;
    bool inUtterance = ps_start_utt(decoder.ps) >= 0;
    bool heardSpeech = false;
    auto closeUtterance = [&] {
        ps_end_utt(decoder.ps);
        int32 score = 0;
        if (const char* hyp = ps_get_hyp(decoder.ps, &score)) {
            const QString s = sentence(QString::fromUtf8(hyp));
            if (!s.isEmpty())
                sentences.append(s);
        }
    };
    const AudioDecoder::Result decoded = AudioDecoder::decode(audioPath, kRate, [&](const qint16* s, qsizetype n) {
        if (cancel)
            return false;
        // Fed in quarter seconds: pauses are found and a stop is noticed quickly.
        while (n > 0) {
            const qsizetype block = std::min<qsizetype>(n, kRate / 4);
            if (!inUtterance)
                inUtterance = ps_start_utt(decoder.ps) >= 0;
            ps_process_raw(decoder.ps, s, size_t(block), FALSE, FALSE);
            const bool speaking = ps_get_in_speech(decoder.ps);
            if (speaking) {
                heardSpeech = true;
            } else if (heardSpeech) {
                // A pause after speech ends a sentence.
                closeUtterance();
                inUtterance = false;
                heardSpeech = false;
            }
            s += block;
            n -= block;
            if (cancel)
                return false;
        }
        return true;
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
