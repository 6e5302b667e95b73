#pragma once

// One thread's handle on the hunspell word lists: the word list of the
// user's locale, with every other English word list installed, so that a
// word any of them knows is never corrected automatically. One Speller
// serves one thread at a time.

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

struct Hunhandle;

namespace SpellLibraries {
struct Hunspell;
}

class Speller {
public:
    // The word lists for the current locale; null when hunspell or its
    // English word list is not installed.
    static std::shared_ptr<Speller> load();
    // Where the word lists are installed.
    static QString dictionaryFolder();

    Speller(const SpellLibraries::Hunspell* api, Hunhandle* handle, QList<Hunhandle*> others);
    ~Speller();
    Speller(const Speller&) = delete;
    Speller& operator=(const Speller&) = delete;

    bool spell(const QString& word) const;
    bool anyEnglishSpells(const QString& word) const;
    void add(const QString& word);
    QStringList suggest(const QString& word, int max) const;
    // suggest() for automatic correction: also the words the list knows
    // with a letter doubled or undoubled in one or two places
    // ("dissapear" → "disappear"), which its own guesses can miss.
    QStringList correctionGuesses(const QString& word, int max) const;

private:
    const SpellLibraries::Hunspell* m_api;
    Hunhandle* m_handle;
    QList<Hunhandle*> m_others;
};
