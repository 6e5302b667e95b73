#include "ui/SpellHighlighter.h"

#include "ui/SpellChecker.h"

#include <QTextDocument>

namespace {

const int kGrammarDelayMs = 400;

} // namespace

SpellHighlighter::SpellHighlighter(QTextDocument* document) : QSyntaxHighlighter(document)
{
    m_grammarTimer.setSingleShot(true);
    connect(&m_grammarTimer, &QTimer::timeout, this, &SpellHighlighter::requestPending);
    connect(&SpellChecker::shared(), &SpellChecker::grammarChecked, this, &SpellHighlighter::onGrammarChecked);
    connect(&SpellChecker::shared(), &SpellChecker::dictionaryChanged, this, &SpellHighlighter::rehighlight);
    // The word list is built in the background; underlines follow when it is.
    SpellChecker& checker = SpellChecker::shared();
    if (!checker.isSpellingReady()) {
        connect(&checker, &SpellChecker::spellingReady, this, [this] {
            if (m_spelling)
                rehighlight();
        });
        checker.prepareSpelling();
    }
}

void SpellHighlighter::setGrammarHeld(bool held)
{
    if (m_grammarHeld == held)
        return;
    m_grammarHeld = held;
    if (held)
        m_grammarTimer.stop();
    else if (!m_pending.isEmpty())
        m_grammarTimer.start(kGrammarDelayMs);
}

QColor SpellHighlighter::spellingColor()
{
    return QColor(230, 30, 30);
}

QColor SpellHighlighter::grammarColor()
{
    return QColor(30, 160, 60);
}

void SpellHighlighter::setSpellingEnabled(bool on)
{
    if (m_spelling == on)
        return;
    m_spelling = on;
    rehighlight();
}

void SpellHighlighter::setGrammarEnabled(bool on)
{
    if (m_grammar == on)
        return;
    m_grammar = on;
    if (!on) {
        m_pending.clear();
        m_awaiting.clear();
    }
    rehighlight();
}

void SpellHighlighter::setTextColor(const QColor& color)
{
    if (m_textColor == color)
        return;
    m_textColor = color;
    rehighlight();
}

void SpellHighlighter::highlightBlock(const QString& text)
{
    QTextCharFormat base;
    if (m_textColor.isValid()) {
        base.setForeground(m_textColor);
        setFormat(0, int(text.size()), base);
    }
    if (!m_spelling)
        return; // grammar is checked together with spelling
    SpellChecker& checker = SpellChecker::shared();

    QTextCharFormat bad = base;
    bad.setUnderlineStyle(QTextCharFormat::WaveUnderline);
    bad.setUnderlineColor(grammarColor());
    QTextCharFormat misspelt = base;
    misspelt.setUnderlineStyle(QTextCharFormat::WaveUnderline);
    misspelt.setUnderlineColor(spellingColor());

    // Sentence by sentence: results of unchanged sentences come from the
    // checker's memory, so a keystroke in a long paragraph stays cheap.
    const QList<SpellChecker::Range> sentences = SpellChecker::sentences(text);
    QList<SpellChecker::Range> wrongWords;
    for (const SpellChecker::Range& r : sentences) {
        const QString sentence = text.mid(r.start, r.length);
        if (m_grammar) {
            // A sentence already checked was checkable; the cache answers
            // both questions for the unchanged sentences of the block.
            const std::optional<bool> known = checker.cachedGrammar(sentence);
            if (known && !*known)
                setFormat(r.start, r.length, bad);
            else if (!known && checker.checkableSentence(sentence))
                m_pending.insert(sentence);
        }
        for (const SpellChecker::Range& w : checker.sentenceMisspellings(sentence))
            wrongWords.append({r.start + w.start, w.length});
    }
    for (const SpellChecker::Range& w : std::as_const(wrongWords))
        setFormat(w.start, w.length, misspelt);
    if (!m_pending.isEmpty() && !m_grammarHeld && !m_grammarTimer.isActive())
        m_grammarTimer.start(kGrammarDelayMs);
}

void SpellHighlighter::requestPending()
{
    const QSet<QString> pending = std::exchange(m_pending, {});
    for (const QString& s : pending) {
        m_awaiting.insert(s);
        SpellChecker::shared().requestGrammar(s);
    }
}

void SpellHighlighter::onGrammarChecked(const QString& sentence, bool ok)
{
    if (!m_awaiting.remove(sentence) || ok || !document() || !m_grammar || !m_spelling)
        return;
    // Only the blocks holding the sentence need drawing again.
    for (QTextBlock b = document()->begin(); b.isValid(); b = b.next()) {
        if (b.text().contains(sentence))
            rehighlightBlock(b);
    }
}

void SpellHighlighter::flushGrammar()
{
    m_grammarTimer.stop();
    const QSet<QString> pending = std::exchange(m_pending, {}) + std::exchange(m_awaiting, {});
    if (pending.isEmpty())
        return;
    SpellChecker& checker = SpellChecker::shared();
    bool anyBad = false;
    for (const QString& s : pending)
        anyBad = !checker.grammarOK(s) || anyBad;
    if (anyBad)
        rehighlight();
}
