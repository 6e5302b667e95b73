#pragma once

// Underlines, as the user types, misspelt words (red, wavy) and complete
// sentences that do not parse (green, wavy) of a QTextDocument.
//
// Results are kept with each paragraph, for the text they were found in.
// An edited paragraph is looked at again at once, and only its changed
// sentences cost anything (the checker remembers the others). Paragraphs
// not yet checked (a document just opened, a word just learned) are
// checked in short slices while the interface is idle, those on screen
// first; a paragraph is drawn again only when its underlines changed.
// Grammar is parsed on the checker's own thread, a few sentences at a
// time, once typing pauses; its results reach a paragraph together.

#include "ui/TextCheckingSwitches.h"

#include <QColor>
#include <QElapsedTimer>
#include <QHash>
#include <QStringList>
#include <QList>
#include <QSet>
#include <QSyntaxHighlighter>
#include <QTextBlock>
#include <QTimer>

#include <functional>
#include <utility>

class SpellHighlighter : public QSyntaxHighlighter {
    Q_OBJECT
public:
    explicit SpellHighlighter(QTextDocument* document);
    ~SpellHighlighter() override;

    void setSpellingEnabled(bool on);
    bool spellingEnabled() const { return m_spelling; }
    void setGrammarEnabled(bool on);
    bool grammarEnabled() const { return m_grammar; }
    // A colour every character is drawn in (display only; invalid = none).
    void setTextColor(const QColor& color);

    // The document positions on screen, asked before each idle slice:
    // paragraphs there are checked first.
    void setVisibleRange(std::function<std::pair<int, int>()> visible);
    // Whether the editor has laid `block` out. The idle slices wait at the
    // first paragraph that is not: underlining it would lay out the text
    // ahead of the editor, all in one go.
    void setLaidOutTest(std::function<bool(const QTextBlock&)> laidOut);

    // While held, sentences wait here instead of being sent for checking
    // (an editor holds them until the user first changes its text, so a
    // text only looked at never loads the grammar dictionary).
    void setGrammarHeld(bool held);
    bool isGrammarHeld() const { return m_grammarHeld; }

    // Runs every check still to do now (tests, "check now").
    void flushGrammar();
    // Whether anything is left to check or to draw: sentences waiting for
    // grammar or being checked, paragraphs not yet looked at.
    bool hasPendingGrammar() const;
    // Nothing left to do until the text changes or grammar is let go.
    bool isSettled() const;

    static QColor spellingColor();
    static QColor grammarColor();

    // An editor that draws the underlines itself (over its text, from
    // underlines()) spares every paragraph a new layout whenever its
    // underlines change: they are then no character formats.
    void setDrawnByEditor(bool on);
    bool isDrawnByEditor() const { return m_drawnByEditor; }
    struct Underline {
        int start = 0; // in the paragraph
        int length = 0;
        QColor color;
    };
    // The underlines of one paragraph, for its current text.
    QList<Underline> underlines(const QTextBlock& block) const;

Q_SIGNALS:
    // The underlines of the paragraphs from `position` on for `length`
    // characters changed (editors that draw them).
    void underlinesChanged(int position, int length);

protected:
    void highlightBlock(const QString& text) override;

private:
    // What was found in one paragraph, for the text it was found in.
    struct Results {
        QString text;
        int revision = -1;                     // the block's revision when `text` was read
        int generation = -1;
        QList<std::pair<int, int>> misspelt;   // start, length in the paragraph
        QList<std::pair<int, int>> badGrammar;
        struct Waiting {
            QString sentence;
            int start = 0;
            int length = 0;
        };
        QList<Waiting> waiting;                // sentences whose grammar is not known yet
        qint64 shownAt = 0;                    // when its underlines were last drawn (ms)
    };
    // Paragraphs are told apart by their place in the document's block
    // table, which stays theirs while they exist (the text is compared too).
    Results* resultsOf(const QTextBlock& block);
    const Results* resultsOf(const QTextBlock& block) const;
    bool needsCheck(const QTextBlock& block);
    void check(Results* results, const QString& text);
    void forgetRemovedBlocks();
    bool takeGrammar(Results* results);
    void wantGrammar(const QString& sentence);
    void recheckBlock(const QTextBlock& block);
    void scheduleSlice();
    void runSlice(qint64 budgetNs);
    void requestPending();
    void onGrammarChecked(const QString& sentence, bool ok);
    void onContentsChange(int from, int removed, int added);
    void invalidateAll();

    bool m_spelling = true;
    bool m_grammar = true;
    bool m_grammarHeld = false;
    QColor m_textColor;
    int m_generation = 0;             // bumped when every result must be found again
    bool m_checkNow = false;
    bool m_urgent = false;
    bool m_drawnByEditor = false;            // sentences found now are parsed before the others
    int m_editFrom = -1, m_editTo = -1; // the change being highlighted
    std::function<std::pair<int, int>()> m_visible;
    std::function<bool(const QTextBlock&)> m_laidOut;
    std::pair<int, int> m_seen{0, -1};  // m_visible(), asked now and then
    qint64 m_seenAt = -1;
    int m_sweepBlock = 0;             // where the idle slices go on
    int m_sweepLeft = 0;              // blocks to look at before the slices stop
    QTimer m_sliceTimer;
    QHash<int, Results> m_results;
    QElapsedTimer m_clock;
    QList<QString> m_pendingOrder;    // waiting for typing to pause, first asked first
    QSet<QString> m_pending;
    QSet<QString> m_awaiting;         // being checked
    QTimer m_grammarTimer;
};
