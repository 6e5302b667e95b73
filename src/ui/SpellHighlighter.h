#pragma once

// Underlines, as the user types, misspelt words (red, wavy) and complete
// sentences that do not parse (green, wavy) of a QTextDocument. Spelling is
// checked at once; grammar of new sentences a moment after typing pauses, a
// few sentences at a time, so typing stays smooth in long texts. Only the
// blocks that changed are looked at again. Grammar is parsed on the
// checker's own thread.

#include "ui/TextCheckingSwitches.h"

#include <QColor>
#include <QSet>
#include <QSyntaxHighlighter>
#include <QTimer>

class SpellHighlighter : public QSyntaxHighlighter {
    Q_OBJECT
public:
    explicit SpellHighlighter(QTextDocument* document);

    void setSpellingEnabled(bool on);
    bool spellingEnabled() const { return m_spelling; }
    void setGrammarEnabled(bool on);
    bool grammarEnabled() const { return m_grammar; }
    // A colour every character is drawn in (display only; invalid = none).
    void setTextColor(const QColor& color);

    // While held, sentences wait here instead of being sent for checking
    // (an editor holds them until the user first changes its text, so a
    // text only looked at never loads the grammar dictionary).
    void setGrammarHeld(bool held);
    bool isGrammarHeld() const { return m_grammarHeld; }

    // Runs the pending grammar checks now (tests, "check now").
    void flushGrammar();
    bool hasPendingGrammar() const { return !m_pending.isEmpty() || !m_awaiting.isEmpty(); }

    static QColor spellingColor();
    static QColor grammarColor();

protected:
    void highlightBlock(const QString& text) override;

private:
    void requestPending();
    void onGrammarChecked(const QString& sentence, bool ok);

    bool m_spelling = true;
    bool m_grammar = true;
    bool m_grammarHeld = false;
    QColor m_textColor;
    QSet<QString> m_pending;  // waiting for typing to pause
    QSet<QString> m_awaiting; // being checked
    QTimer m_grammarTimer;
};
