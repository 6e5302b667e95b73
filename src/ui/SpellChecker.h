#pragma once

// The spelling and grammar checker behind every text input: hunspell (the
// locale's English word list, else en_US) for words, link-grammar (English)
// for sentences. Results are cached, so
// re-checking unchanged text is cheap. Main thread only.
//
// Neither dictionary is read at start. The word list is built on a worker
// thread the first time a text asks for it (prepareSpelling(); the
// as-you-type paths never wait for it and look again on spellingReady()).
// The grammar dictionary is read, also off the interface thread, only when
// a sentence is first sent for checking. The calls documented as checking
// "now" wait for what they need.

#include <QHash>
#include <QLocale>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

class SpellChecker : public QObject {
    Q_OBJECT
public:
    struct Range {
        int start = 0;
        int length = 0;
        friend bool operator==(const Range&, const Range&) = default;
    };

    // The process-wide checker (made on first use).
    static SpellChecker& shared();

    // Whether the dictionaries could be opened; without them nothing is
    // reported as wrong.
    bool hasSpelling() const;
    bool hasGrammar() const;
    // Whether the grammar dictionary has finished loading (never waits).
    bool isGrammarReady() const;
    // Whether the word list is built (never waits).
    bool isSpellingReady() const;
    // Starts building the word list on a worker thread (once); spellingReady()
    // follows on the interface thread.
    void prepareSpelling();

    // One word (letters and apostrophes).
    bool isCorrect(const QString& word);
    QStringList suggestions(const QString& word, int max = 8);
    // The correction automatic spelling correction would make, or empty:
    // nothing for a word any installed English word list accepts.
    QString correction(const QString& word);
    // The word list checking uses for `locale`: its own English one where
    // installed ("en_GB"), else "en_US".
    static QString dictionaryName(const QLocale& locale);
    // How many of the word list's guesses automatic correction weighs.
    static constexpr int kCorrectionGuesses = 15;
    // Whether automatic correction looks for a correction of `word` at all
    // (a misspelt word of three letters or more, not all capitals, and not
    // a mixed-case or letters-and-digits name such as "HiDPI" or "XYZmid").
    bool needsCorrection(const QString& word);
    // correction() of a word when already found; nothing when not yet.
    std::optional<QString> cachedCorrection(const QString& word) const;
    // Finds correction() on a worker thread with a word list of its own
    // (suggestions take the word list tens of milliseconds);
    // correctionFound() follows.
    void requestCorrection(const QString& word);

    // Words of `text` that are misspelt (positions in `text`).
    QList<Range> misspellings(const QString& text);
    // misspellings() of one sentence, remembered: re-checking a long text
    // whose sentences mostly did not change costs little. Never waits:
    // nothing while the word list is still being built.
    QList<Range> sentenceMisspellings(const QString& sentence);
    // isCheckableSentence(), remembered.
    bool checkableSentence(const QString& sentence);
    // Each word of `text` that spelling looks at.
    static QList<Range> words(const QString& text);

    // Sentences of `text`, split at . ! ? and line ends.
    static QList<Range> sentences(const QString& text);
    // Whether a sentence is worth a grammar check: complete (ends in . ! ?),
    // at least three words, not too long for an interactive parse.
    static bool isCheckableSentence(const QString& sentence);
    // Result of a sentence already checked; nothing when not yet known.
    std::optional<bool> cachedGrammar(const QString& sentence) const;
    // Checks one sentence now (may take some milliseconds); true = parses.
    bool grammarOK(const QString& sentence);
    // Checks one sentence on the checker's own thread; grammarChecked()
    // reports the result (at once from the cache when already known).
    void requestGrammar(const QString& sentence);
    // A sentence of a text found not to parse, with what seems wrong.
    struct GrammarIssue {
        Range range;      // in the text
        QString sentence;
        QString problem;  // "Possible grammar problem: …"
    };
    // The issue of the sentence of `text` around `position`, when that
    // sentence is known not to parse (never checks).
    std::optional<GrammarIssue> grammarIssueAt(const QString& text, int position) const;
    // Misspelt words and, with `grammar`, sentences that do not parse, in
    // the order of `text` (sentences not yet known are checked now).
    QList<Range> problems(const QString& text, bool grammar);

    // What seems wrong with a sentence checked and found not to parse
    // ("Possible grammar problem: …"); empty when it parses or is not
    // checked yet.
    QString grammarProblem(const QString& sentence) const;
    // Takes a sentence as correct for the session (its underline goes).
    void ignoreGrammar(const QString& sentence);
    // Complete sentences of `text` that do not parse (checks them now).
    QList<Range> grammarProblems(const QString& text);

    // The session's ignored words and the user's learned words.
    void ignoreWord(const QString& word);
    void learnWord(const QString& word);
    bool isLearned(const QString& word) const;
    // The file of learned words (next to the settings file).
    static QString learnedWordsPath();

Q_SIGNALS:
    // A word was ignored or learned: highlighting should be redone.
    void dictionaryChanged();
    // The word list is built: underlines can be drawn.
    void spellingReady();
    // A sentence asked for with requestGrammar() has been checked.
    void grammarChecked(const QString& sentence, bool ok);
    // The correction asked for with requestCorrection() (empty: none).
    void correctionFound(const QString& word, const QString& fix);

private:
    void stopWorker();
    void startGrammarThread();
    void startSuggestThread();
    SpellChecker();
    ~SpellChecker() override;
    struct Impl;
    std::unique_ptr<Impl> d;
};
