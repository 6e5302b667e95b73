#include "ui/WordFrequency.h"

#include "ui/SpellLibraries.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cmath>

namespace {

// Entries of the model that are not words: sentence marks, noise tokens.
bool isWord(const QString& w)
{
    if (w.isEmpty() || w.startsWith(QLatin1Char('<')) || w.startsWith(QLatin1Char('[')))
        return false;
    return std::all_of(w.cbegin(), w.cend(), [](QChar c) {
        return c.isLetter() || c == QLatin1Char('\'') || c == QLatin1Char('-') || c == QLatin1Char('.');
    });
}

} // namespace

WordFrequency::WordFrequency(const QHash<QString, float>& logFrequencies)
{
    float lowest = 0.0f;
    for (auto it = logFrequencies.cbegin(); it != logFrequencies.cend(); ++it) {
        m_log.insert(it.key().toLower(), it.value());
        lowest = std::min(lowest, it.value());
    }
    m_floor = double(lowest) - 1.0;
}

QString WordFrequency::modelPath()
{
    return QStringLiteral("/usr/share/pocketsphinx/model/en-us/en-us.lm.bin");
}

const WordFrequency& WordFrequency::english()
{
    static const WordFrequency list = load(modelPath()); // thread-safe once
    return list;
}

WordFrequency WordFrequency::load(const QString& path)
{
    const SpellLibraries::LanguageModel* lm = SpellLibraries::languageModel();
    if (!lm || !QFileInfo(path).isFile())
        return {};
    lm->setLogFile(nullptr); // the library reports its progress otherwise
    logmath_t* logMath = lm->initLogMath(1.0001, 0, 0);
    if (!logMath)
        return {};
    QHash<QString, float> table;
    if (ngram_model_t* model = lm->read(nullptr, QFile::encodeName(path).constData(), NGRAM_AUTO, logMath)) {
        const uint32* counts = lm->counts(model);
        const int unigrams = counts ? int(std::min<uint32>(counts[0], 1000000)) : 0;
        table.reserve(unigrams);
        const double toLog10 = 1.0 / std::log(10.0);
        for (int id = 0; id < unigrams; ++id) {
            const char* text = lm->word(model, id);
            if (!text)
                continue;
            const QString w = QString::fromUtf8(text);
            if (!isWord(w))
                continue;
            const char* const words[1] = {text};
            const double value = lm->logToLn(logMath, lm->prob(model, words, 1)) * toLog10;
            if (std::isfinite(value) && value > -30.0)
                table.insert(w, float(value));
        }
        lm->free(model);
    }
    lm->freeLogMath(logMath);
    return WordFrequency(table);
}

std::optional<double> WordFrequency::logFrequency(const QString& word) const
{
    if (auto it = m_log.constFind(word.toLower()); it != m_log.constEnd())
        return double(*it);
    return std::nullopt;
}
