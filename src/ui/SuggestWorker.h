#pragma once

// Finds a word list's guesses for automatic correction on the thread it is
// moved to, with a word list of its own (one word list serves one thread at
// a time; guessing takes tens of milliseconds).

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

class Speller;

class SuggestWorker : public QObject {
    Q_OBJECT
public:
    // `learned`: the user's own words, taken as right.
    explicit SuggestWorker(QStringList learned);
    ~SuggestWorker() override;

public Q_SLOTS:
    void suggest(const QString& word);

Q_SIGNALS:
    // The correction for `word` (empty: leave it as typed).
    void corrected(const QString& word, const QString& fix);

private:
    QStringList m_learned;
    std::shared_ptr<Speller> m_speller;
    bool m_loaded = false;
};
