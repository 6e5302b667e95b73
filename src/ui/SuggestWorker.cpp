#include "ui/SuggestWorker.h"

#include "ui/Autocorrect.h"
#include "ui/SpellChecker.h"
#include "ui/Speller.h"
#include "ui/WordFrequency.h"

SuggestWorker::SuggestWorker(QStringList learned) : m_learned(std::move(learned)) {}

SuggestWorker::~SuggestWorker() = default;

void SuggestWorker::suggest(const QString& word)
{
    if (!m_loaded) {
        m_loaded = true;
        m_speller = Speller::load();
        if (m_speller) {
            for (const QString& w : std::as_const(m_learned))
                m_speller->add(w);
        }
    }
    QString plain = word;
    plain.replace(QChar(0x2019), QLatin1Char('\''));
    // A word that another English spelling knows is right as it stands.
    QString fix;
    if (m_speller && !m_speller->anyEnglishSpells(plain))
        fix = Autocorrect::choose(word, m_speller->correctionGuesses(plain, SpellChecker::kCorrectionGuesses),
                                  WordFrequency::english());
    Q_EMIT corrected(word, fix); // under the word as asked
}
