#pragma once

// How common each English word is: the unigram probabilities of the
// speech recogniser's US English language model (a Debian package the
// program already installs for transcription), kept as log10 values by
// lower-case word. Without the model the list is empty and every word reads
// as unknown. Read-only once built, so any thread may ask.

#include <QHash>
#include <QString>

#include <optional>

class WordFrequency {
public:
    WordFrequency() = default;
    // A list of its own (log10 probability by word, any case).
    explicit WordFrequency(const QHash<QString, float>& logFrequencies);

    // The list of the installed language model, read once (thread-safe;
    // some tens of milliseconds the first time).
    static const WordFrequency& english();
    // Where that model is looked for.
    static QString modelPath();

    bool isEmpty() const { return m_log.isEmpty(); }
    qsizetype size() const { return m_log.size(); }
    // log10 of how often `word` occurs in running English text; nothing
    // for a word the list does not have.
    std::optional<double> logFrequency(const QString& word) const;
    // Below every word the list has: what a word missing from it counts as.
    double floor() const { return m_floor; }

private:
    static WordFrequency load(const QString& path);
    QHash<QString, float> m_log;
    double m_floor = -8.0;
};
