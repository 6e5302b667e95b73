#pragma once

// Whether a sentence parses with the link grammar of English, and if not,
// what seems wrong. A sentence is flagged only when the parse really fails:
// words the grammar dictionary does not know (names, new words) are first
// stood in for by known words of a fitting kind, and a short fragment that
// reads well after "It is" ("Sorry for the late reply.") is left alone.
// When changing one verb or noun between singular and plural makes the
// sentence parse, that is what is reported ("“go” may not agree with its
// subject; perhaps “goes”."); otherwise the words that link to nothing.
//
// The dictionary is shared by every thread; each thread checks with its own
// options (makeOptions()), and parses run one at a time.

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
    explicit GrammarParser(Dictionary dict);
    bool parses(const QString& sentence, Parse_Options options) const;
    // The words of a parse that allows unlinked words, unlinked ones only.
    QStringList unlinkedWords(const QString& sentence, Parse_Options options) const;
    bool isKnown(const QString& word) const;
    QString withStandIns(const QString& sentence) const;
    QStringList otherNumber(const QString& word) const;

    Dictionary m_dict;
};
