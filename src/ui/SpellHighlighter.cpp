#include "ui/SpellHighlighter.h"

#include "ui/SpellChecker.h"

#include <QTextDocument>

#include <limits>

namespace {

const int kGrammarDelayMs = 400;
// Sentences handed to the grammar thread at a time: more wait here, in the
// order they were found, so the ones on screen are parsed first.
const int kInFlight = 4;
// One idle slice of checking on the interface thread.
const qint64 kSliceNs = 6'000'000;
// The word list is loaded this long after a text is first checked: building
// it keeps a core and the process's memory busy for a while, and the window
// that shows the text draws its first frame in the meantime.
const int kWordListDelayMs = 250;
// A paragraph waiting for the grammar of several sentences shows what is
// known at most this often, else once everything is in.
const qint64 kPartialGrammarMs = 1000;
// How long the idle slices wait for the editor to lay out more text.
const int kWaitForLayoutMs = 20;

} // namespace

SpellHighlighter::SpellHighlighter(QTextDocument* document)
    : QSyntaxHighlighter(static_cast<QObject*>(document))
{
    m_clock.start();
    m_grammarTimer.setSingleShot(true);
    connect(&m_grammarTimer, &QTimer::timeout, this, &SpellHighlighter::requestPending);
    m_sliceTimer.setSingleShot(true);
    m_sliceTimer.setInterval(0);
    connect(&m_sliceTimer, &QTimer::timeout, this, [this] { runSlice(kSliceNs); });
    // Told of an edit before the highlighting of it starts (connected first).
    if (document)
        connect(document, &QTextDocument::contentsChange, this, &SpellHighlighter::onContentsChange);
    setDocument(document);
    connect(&SpellChecker::shared(), &SpellChecker::grammarChecked, this, &SpellHighlighter::onGrammarChecked);
    connect(&SpellChecker::shared(), &SpellChecker::dictionaryChanged, this, &SpellHighlighter::invalidateAll);
    // The word list is built in the background; underlines follow when it is.
    SpellChecker& checker = SpellChecker::shared();
    if (!checker.isSpellingReady()) {
        connect(&checker, &SpellChecker::spellingReady, this, &SpellHighlighter::invalidateAll);
        QTimer::singleShot(kWordListDelayMs, &checker, &SpellChecker::prepareSpelling);
    }
    invalidateAll();
}

SpellHighlighter::~SpellHighlighter()
{
    // Letting go of the document clears its formats, which reports an edit:
    // by then only the base class is left to hear of it.
    if (QTextDocument* d = document())
        disconnect(d, &QTextDocument::contentsChange, this, &SpellHighlighter::onContentsChange);
}

void SpellHighlighter::setVisibleRange(std::function<std::pair<int, int>()> visible)
{
    m_visible = std::move(visible);
}

void SpellHighlighter::setLaidOutTest(std::function<bool(const QTextBlock&)> laidOut)
{
    m_laidOut = std::move(laidOut);
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

bool SpellHighlighter::hasPendingGrammar() const
{
    return !m_pending.isEmpty() || !m_awaiting.isEmpty() || m_sliceTimer.isActive();
}

bool SpellHighlighter::isSettled() const
{
    return !m_sliceTimer.isActive() && m_awaiting.isEmpty() && (m_grammarHeld || m_pending.isEmpty());
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
    Q_EMIT underlinesChanged(0, std::numeric_limits<int>::max());
    if (on)
        invalidateAll();
}

void SpellHighlighter::setGrammarEnabled(bool on)
{
    if (m_grammar == on)
        return;
    m_grammar = on;
    if (!on) {
        m_pending.clear();
        m_pendingOrder.clear();
        m_awaiting.clear();
    }
    invalidateAll();
}

void SpellHighlighter::setTextColor(const QColor& color)
{
    if (m_textColor == color)
        return;
    m_textColor = color;
    rehighlight();
}

SpellHighlighter::Results* SpellHighlighter::resultsOf(const QTextBlock& block)
{
    auto it = m_results.find(block.fragmentIndex());
    return it == m_results.end() ? nullptr : &*it;
}

const SpellHighlighter::Results* SpellHighlighter::resultsOf(const QTextBlock& block) const
{
    auto it = m_results.constFind(block.fragmentIndex());
    return it == m_results.constEnd() ? nullptr : &*it;
}

bool SpellHighlighter::needsCheck(const QTextBlock& block)
{
    Results* r = resultsOf(block);
    if (!r || r->generation != m_generation || r->text.size() != block.length() - 1)
        return true;
    // The text is read only when the block was edited since.
    if (r->revision != block.revision()) {
        if (r->text != block.text())
            return true;
        r->revision = block.revision();
    }
    if (r->waiting.isEmpty())
        return false;
    // Grammar came back for some of its sentences: shown once all are in,
    // or now and then while many are still being parsed.
    const SpellChecker& checker = SpellChecker::shared();
    int known = 0;
    for (const Results::Waiting& w : r->waiting)
        known += checker.cachedGrammar(w.sentence).has_value() ? 1 : 0;
    return known == r->waiting.size() || (known > 0 && m_clock.elapsed() - r->shownAt >= kPartialGrammarMs);
}

void SpellHighlighter::wantGrammar(const QString& sentence)
{
    if (m_awaiting.contains(sentence))
        return;
    // What was just typed or is on screen goes first.
    if (m_urgent)
        m_pendingOrder.prepend(sentence);
    else if (!m_pending.contains(sentence))
        m_pendingOrder.append(sentence);
    m_pending.insert(sentence);
}

bool SpellHighlighter::takeGrammar(Results* results)
{
    // The grammar that came back for the paragraph's sentences; true when
    // its underlines change.
    const SpellChecker& checker = SpellChecker::shared();
    bool changed = false;
    for (qsizetype i = results->waiting.size() - 1; i >= 0; --i) {
        const Results::Waiting w = results->waiting.at(i);
        const std::optional<bool> known = checker.cachedGrammar(w.sentence);
        if (!known) {
            if (!m_pending.contains(w.sentence))
                wantGrammar(w.sentence); // dropped as stale by another paragraph
            continue;
        }
        results->waiting.removeAt(i);
        const std::pair<int, int> range{w.start, w.length};
        const qsizetype shown = results->badGrammar.indexOf(range);
        if (!*known && shown < 0) {
            results->badGrammar.append(range);
            changed = true;
        } else if (*known && shown >= 0) {
            results->badGrammar.removeAt(shown);
            changed = true;
        }
    }
    results->shownAt = m_clock.elapsed();
    return changed;
}

namespace {

// Where each position of `now` was in `before`, for one edit: the common
// start and end stay, the changed middle maps to where it began.
struct EditMap {
    qsizetype prefix = 0;
    qsizetype suffix = 0;
    qsizetype delta = 0;
    EditMap(const QString& before, const QString& now)
    {
        const qsizetype n = std::min(before.size(), now.size());
        while (prefix < n && before.at(prefix) == now.at(prefix))
            ++prefix;
        while (suffix < n - prefix && before.at(before.size() - 1 - suffix) == now.at(now.size() - 1 - suffix))
            ++suffix;
        delta = before.size() - now.size();
    }
    qsizetype toBefore(qsizetype at, qsizetype nowSize) const
    {
        if (at < prefix)
            return at;
        if (at >= nowSize - suffix)
            return at + delta;
        return prefix;
    }
};

} // namespace

void SpellHighlighter::check(Results* results, const QString& text)
{
    SpellChecker& checker = SpellChecker::shared();
    // A sentence being edited keeps the grammar underline it had until its
    // new text has been parsed: no flicker, no extra layout while typing.
    const QList<std::pair<int, int>> wasBad = results->generation == m_generation ? results->badGrammar
                                                                                  : QList<std::pair<int, int>>();
    const EditMap map(wasBad.isEmpty() ? text : results->text, text);
    auto wasBadAt = [&](int start, int length) {
        const qsizetype from = map.toBefore(start, text.size());
        const qsizetype to = map.toBefore(start + length, text.size());
        for (const auto& [s, l] : wasBad) {
            if (s < to && s + l > from)
                return true;
        }
        return false;
    };
    // Sentences no longer in the paragraph need no parse.
    for (const Results::Waiting& w : std::as_const(results->waiting)) {
        if (m_pending.remove(w.sentence))
            m_pendingOrder.removeOne(w.sentence);
    }
    results->text = text;
    results->generation = m_generation;
    results->misspelt.clear();
    results->badGrammar.clear();
    results->waiting.clear();
    // Sentence by sentence: results of unchanged sentences come from the
    // checker's memory, so only the sentence just typed in costs anything.
    for (const SpellChecker::Range& r : SpellChecker::sentences(text)) {
        const QString sentence = text.mid(r.start, r.length);
        if (m_grammar) {
            // A sentence already checked was checkable; the cache answers
            // both questions for the unchanged sentences of the paragraph.
            const std::optional<bool> known = checker.cachedGrammar(sentence);
            if (known && !*known) {
                results->badGrammar.append({r.start, r.length});
            } else if (!known && checker.checkableSentence(sentence)) {
                if (!wasBad.isEmpty() && wasBadAt(r.start, r.length))
                    results->badGrammar.append({r.start, r.length});
                results->waiting.append({sentence, r.start, r.length});
                wantGrammar(sentence);
            }
        }
        for (const SpellChecker::Range& w : checker.sentenceMisspellings(sentence))
            results->misspelt.append({r.start + w.start, w.length});
    }
    results->shownAt = m_clock.elapsed();
    if (!m_pending.isEmpty() && !m_grammarHeld && !m_grammarTimer.isActive() && m_awaiting.isEmpty())
        m_grammarTimer.start(kGrammarDelayMs);
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

    const QTextBlock block = currentBlock();
    if (m_drawnByEditor) {
        // An edit: found now, drawn with the edited paragraph.
        if (m_editFrom >= 0 && block.position() <= m_editTo && block.position() + block.length() > m_editFrom) {
            const bool wasUrgent = std::exchange(m_urgent, true);
            Results* results = resultsOf(block);
            if (!results)
                results = &m_results[block.fragmentIndex()];
            if (results->text != text || results->generation != m_generation)
                check(results, text);
            results->revision = block.revision();
            m_urgent = wasUrgent;
        } else if (needsCheck(block)) {
            scheduleSlice();
        }
        return;
    }
    Results* results = resultsOf(block);
    const bool edited = m_editFrom >= 0 && block.position() <= m_editTo
        && block.position() + block.length() > m_editFrom;
    if (m_checkNow || edited) {
        const bool wasUrgent = std::exchange(m_urgent, m_urgent || edited);
        if (!results)
            results = &m_results[block.fragmentIndex()];
        if (results->text != text || results->generation != m_generation)
            check(results, text);
        results->revision = block.revision();
        m_urgent = wasUrgent;
    } else if (!results || results->text != text || results->generation != m_generation) {
        // Checked in an idle slice; until then what was found for the same
        // text still shows.
        scheduleSlice();
        if (!results || results->text != text)
            return;
    }

    QTextCharFormat bad = base;
    bad.setUnderlineStyle(QTextCharFormat::WaveUnderline);
    bad.setUnderlineColor(grammarColor());
    QTextCharFormat misspelt = base;
    misspelt.setUnderlineStyle(QTextCharFormat::WaveUnderline);
    misspelt.setUnderlineColor(spellingColor());
    for (const auto& [start, length] : std::as_const(results->badGrammar))
        setFormat(start, length, bad);
    for (const auto& [start, length] : std::as_const(results->misspelt))
        setFormat(start, length, misspelt);
}

void SpellHighlighter::onContentsChange(int from, int removed, int added)
{
    Q_UNUSED(removed);
    // The highlighting of this change follows at once (QSyntaxHighlighter
    // is connected after us); the paragraphs it touches are checked then.
    m_editFrom = from;
    m_editTo = from + added;
    QMetaObject::invokeMethod(this, [this] { m_editFrom = m_editTo = -1; }, Qt::QueuedConnection);
}

void SpellHighlighter::setDrawnByEditor(bool on)
{
    if (m_drawnByEditor == on)
        return;
    m_drawnByEditor = on;
    rehighlight(); // the formats go (or come back)
    Q_EMIT underlinesChanged(0, std::numeric_limits<int>::max());
}

QList<SpellHighlighter::Underline> SpellHighlighter::underlines(const QTextBlock& block) const
{
    const Results* r = resultsOf(block);
    if (!m_spelling || !r || r->text.size() != block.length() - 1
        || (r->revision != block.revision() && r->text != block.text()))
        return {};
    QList<Underline> out;
    for (const auto& [start, length] : r->badGrammar)
        out.append({start, length, grammarColor()});
    for (const auto& [start, length] : r->misspelt)
        out.append({start, length, spellingColor()});
    return out;
}

void SpellHighlighter::recheckBlock(const QTextBlock& block)
{
    if (m_drawnByEditor) {
        // No formats: the editor draws the paragraph again when its
        // underlines changed.
        Results* results = resultsOf(block);
        if (!results)
            results = &m_results[block.fragmentIndex()];
        const auto before = std::make_pair(results->misspelt, results->badGrammar);
        const QString text = block.text();
        if (results->text != text || results->generation != m_generation)
            check(results, text);
        else if (!results->waiting.isEmpty())
            takeGrammar(results);
        results->revision = block.revision();
        if (before != std::make_pair(results->misspelt, results->badGrammar))
            Q_EMIT underlinesChanged(block.position(), block.length());
        return;
    }
    // Only grammar came back: the paragraph is drawn again only if that
    // changes an underline.
    Results* results = resultsOf(block);
    if (results && results->generation == m_generation && !results->waiting.isEmpty() && results->text == block.text()
        && !takeGrammar(results))
        return;
    const bool was = m_checkNow;
    m_checkNow = true;
    rehighlightBlock(block); // draws it again only when its underlines changed
    m_checkNow = was;
}

void SpellHighlighter::invalidateAll()
{
    ++m_generation;
    if (document())
        m_sweepLeft = document()->blockCount();
    scheduleSlice();
}

void SpellHighlighter::scheduleSlice()
{
    if (!document() || !m_spelling)
        return;
    if (m_sweepLeft <= 0)
        m_sweepLeft = document()->blockCount();
    if (!m_sliceTimer.isActive())
        m_sliceTimer.start(0);
}

void SpellHighlighter::runSlice(qint64 budgetNs)
{
    QTextDocument* doc = document();
    if (!doc || !m_spelling) {
        m_sweepLeft = 0;
        return;
    }
    QElapsedTimer t;
    t.start();
    auto overBudget = [&] { return budgetNs > 0 && t.nsecsElapsed() >= budgetNs; };
    // The paragraphs on screen first (where that is is asked only now and
    // then: it costs a hit test).
    if (m_visible) {
        if (m_seenAt < 0 || m_clock.elapsed() - m_seenAt > 100 || budgetNs <= 0) {
            m_seen = m_visible();
            m_seenAt = m_clock.elapsed();
        }
        const auto [from, to] = m_seen;
        for (QTextBlock b = doc->findBlock(std::max(0, from)); b.isValid() && b.position() <= to; b = b.next()) {
            if (overBudget()) {
                m_sliceTimer.start(0);
                return;
            }
            if (m_laidOut && !m_drawnByEditor && budgetNs > 0 && !m_laidOut(b)) {
                m_sliceTimer.start(kWaitForLayoutMs); // the editor's layout goes first
                return;
            }
            if (needsCheck(b)) {
                m_urgent = true;
                recheckBlock(b);
                m_urgent = false;
            }
        }
    }
    // Then the rest, in order, going on where the last slice stopped.
    const int count = doc->blockCount();
    QTextBlock b = doc->findBlockByNumber(m_sweepBlock < count ? m_sweepBlock : 0);
    while (m_sweepLeft > 0) {
        if (overBudget()) {
            m_sliceTimer.start(0);
            return;
        }
        if (!b.isValid())
            b = doc->begin();
        if (m_laidOut && !m_drawnByEditor && budgetNs > 0 && !m_laidOut(b)) {
            m_sliceTimer.start(kWaitForLayoutMs); // the editor's layout goes first
            return;
        }
        if (needsCheck(b))
            recheckBlock(b);
        b = b.next();
        m_sweepBlock = b.isValid() ? b.blockNumber() : 0;
        --m_sweepLeft;
    }
    forgetRemovedBlocks();
}

void SpellHighlighter::forgetRemovedBlocks()
{
    QTextDocument* doc = document();
    if (!doc || m_results.size() <= 2 * doc->blockCount() + 64)
        return;
    QHash<int, Results> kept;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        if (Results* r = resultsOf(b))
            kept.insert(b.fragmentIndex(), std::move(*r));
    }
    m_results = std::move(kept);
}

void SpellHighlighter::requestPending()
{
    if (m_grammarHeld)
        return;
    while (m_awaiting.size() < kInFlight && !m_pendingOrder.isEmpty()) {
        const QString s = m_pendingOrder.takeFirst();
        if (!m_pending.remove(s))
            continue;
        m_awaiting.insert(s);
        SpellChecker::shared().requestGrammar(s); // may answer at once from the cache
    }
}

void SpellHighlighter::onGrammarChecked(const QString& sentence, bool ok)
{
    Q_UNUSED(ok);
    if (!m_awaiting.remove(sentence))
        return;
    if (m_awaiting.isEmpty() && !m_pendingOrder.isEmpty())
        QMetaObject::invokeMethod(this, &SpellHighlighter::requestPending, Qt::QueuedConnection);
    if (m_grammar && m_spelling)
        scheduleSlice(); // the paragraphs waiting for it look again, together
}

void SpellHighlighter::flushGrammar()
{
    m_grammarTimer.stop();
    SpellChecker& checker = SpellChecker::shared();
    // Every paragraph looked at, every sentence parsed, every result shown.
    for (int round = 0; round < 2; ++round) {
        m_sweepLeft = document() ? document()->blockCount() : 0;
        runSlice(0);
        const QSet<QString> all = std::exchange(m_pending, {}) + std::exchange(m_awaiting, {});
        m_pendingOrder.clear();
        for (const QString& s : all)
            checker.grammarOK(s);
    }
    m_sliceTimer.stop();
}
