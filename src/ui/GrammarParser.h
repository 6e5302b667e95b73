#pragma once

// Whether a sentence reads as English by the link grammar, and if not,
// what seems wrong. A sentence is flagged only when the parse really fails:
// words the grammar dictionary does not know (names, new words) are first
// stood in for by known words of a fitting kind, a short fragment that
// reads well after "It is" ("Sorry for the late reply.") is left alone, and
// so is a word the dictionary knows in another sense only. A verb that
// does not agree with its subject is named, with the form that would
// ("“go” may not agree with its subject; perhaps “goes”."), also when the
// grammar finds only a strained reading that the other form makes plain
// ("The flowers needs more water."); otherwise the words that link to
// nothing are. Looking for the reason takes at most about two seconds;
// a sentence whose reading cannot be settled by then is left alone.
//
// The dictionary is shared by every thread; each thread checks with its own
// options (makeOptions()), and parses run one at a time.

#include <QDeadlineTimer>
#include <QString>
#include <QStringList>

#include <link-grammar/link-includes.h>

#include <memory>

class GrammarParser {
public:
    struct Verdict {
        bool ok = true;
        QString reason; // what seems wrong; empty when ok
    };

    // The English dictionary; null when the library or it is missing.
    static std::unique_ptr<GrammarParser> load();
    // The process's parser, read by whichever thread asks first (the
    // others wait); null when it cannot be had. It lives for the process.
    static const GrammarParser* shared();
    // Whether shared() has been tried / has a parser (never waits).
    static bool isSharedDone();
    static bool isSharedReady();
    ~GrammarParser();
    GrammarParser(const GrammarParser&) = delete;
    GrammarParser& operator=(const GrammarParser&) = delete;

    // Options for one thread's parses (delete with deleteOptions()).
    static Parse_Options makeOptions();
    static void deleteOptions(Parse_Options options);
    // Quiets the library's messages on the calling thread.
    static void quietThread();

    Verdict check(const QString& sentence, Parse_Options options) const;

private:
    // The best reading of a sentence: whether it parses (a parse that ran
    // out of time counts as one: it says nothing about the sentence), how
    // strained it is, and its words as the library gives them ("go.v",
    // unlinked ones in brackets when `allowUnlinked`: "[he]").
    struct Reading {
        bool parsed = false;
        double cost = 0.0;
        QStringList words;
    };
    Reading read(const QString& sentence, Parse_Options options, bool allowUnlinked = false) const;
    bool parses(const QString& sentence, Parse_Options options) const;
    bool isKnown(const QString& word) const;
    QString withStandIns(const QString& sentence) const;
    QStringList otherNumber(const QString& word) const;
    // A verb (or unlinked word) of `reading` that parses in its other
    // number read as a verb, at a cost below `fixedBelow`: the reason to
    // give; empty when there is none.
    // Each gives up, with nothing, once `deadline` has passed.
    QString disagreement(const QString& sentence, const Reading& reading, double fixedBelow,
                         const QDeadlineTimer& deadline, Parse_Options options) const;
    // "this"/"these", "that"/"those" in the other number giving a plain
    // reading: the reason to give; empty when none does.
    QString determinerDisagreement(const QString& sentence, const QDeadlineTimer& deadline,
                                   Parse_Options options) const;

    explicit GrammarParser(Dictionary dict);
    Dictionary m_dict;
};
