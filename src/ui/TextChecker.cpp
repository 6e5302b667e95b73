#include "ui/TextChecker.h"

#include "ui/SpellChecker.h"
#include "ui/SpellHighlighter.h"
#include "ui/SpellingPanel.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QTextLayout>

#include <memory>

namespace {


bool isWordSeparator(const QString& typed)
{
    if (typed.size() != 1)
        return false;
    const QChar c = typed.at(0);
    return c.isSpace() || (c.isPunct() && c != QLatin1Char('\'') && c != QChar(0x2019) && c != QLatin1Char('-'));
}

// Characters that join the parts of a web or mail address or a file path.
bool isAddressJoiner(QChar c)
{
    return c == QLatin1Char(':') || c == QLatin1Char('/') || c == QLatin1Char('@') || c == QLatin1Char('.');
}

// A word that is part of an address or a path ("https", "www", "example" in
// "www.example.org") is a name, not a misspelling.
bool isPartOfAddress(const QString& text, int start, const QString& word)
{
    static const QStringList prefixes{QStringLiteral("http"), QStringLiteral("https"), QStringLiteral("www"),
                                      QStringLiteral("ftp"), QStringLiteral("mailto")};
    return (start > 0 && isAddressJoiner(text.at(start - 1))) || prefixes.contains(word.toLower());
}

} // namespace

TextChecker* TextChecker::attach(QWidget* editor)
{
    if (!editor)
        return nullptr;
    if (TextChecker* existing = of(editor))
        return existing;
    if (!qobject_cast<QPlainTextEdit*>(editor) && !qobject_cast<QTextEdit*>(editor))
        return nullptr;
    return new TextChecker(editor);
}

TextChecker* TextChecker::of(const QWidget* editor)
{
    if (!editor)
        return nullptr;
    return qobject_cast<TextChecker*>(SpellingTarget::of(editor));
}

TextChecker::TextChecker(QWidget* editor) : SpellingTarget(editor), m_editor(editor)
{
    m_highlighter = new SpellHighlighter(document());
    // Text only looked at never loads the grammar dictionary: sentences wait
    // until the user first changes the text.
    m_highlighter->setGrammarHeld(true);
    if (QTextDocument* doc = document()) {
        auto held = std::make_shared<QMetaObject::Connection>();
        *held = connect(doc, &QTextDocument::contentsChange, this, [this, held](int, int removed, int added) {
            if ((removed || added) && m_editor && m_editor->hasFocus() && !isReadOnly()) {
                m_highlighter->setGrammarHeld(false);
                disconnect(*held);
            }
        });
    }
    connect(&SpellChecker::shared(), &SpellChecker::correctionFound, this, &TextChecker::onCorrectionFound);
    // What the editor shows is checked before the rest of the text.
    m_highlighter->setVisibleRange([this] { return visibleRange(); });
    // A rich text editor lays a long text out in steps from the top, and
    // changing underline formats in the part laid out would end those
    // steps early: idle checking waits until the whole text is laid out (an
    // editor that lays out its text itself tells when, by its "laidOut"
    // property). A plain text editor lays out only what it shows.
    if (qobject_cast<QTextEdit*>(editor)) {
        const bool tells = editor->metaObject()->indexOfProperty("laidOut") >= 0;
        m_highlighter->setLaidOutTest([this, tells](const QTextBlock& b) {
            if (tells)
                return !m_editor || m_editor->property("laidOut").toBool();
            return b.document()->lastBlock().layout()->lineCount() > 0;
        });
    }
    editor->installEventFilter(this);
    if (auto* area = qobject_cast<QAbstractScrollArea*>(editor))
        area->viewport()->installEventFilter(this);
    setSwitches(m_switches);
}

TextChecker::~TextChecker()
{
    // The highlighter stays with the document: it must no longer ask here.
    if (m_highlighter) {
        m_highlighter->setVisibleRange({});
        m_highlighter->setLaidOutTest({});
    }
}

SpellHighlighter* TextChecker::highlighter() const
{
    return m_highlighter;
}

QTextDocument* TextChecker::document() const
{
    if (auto* p = qobject_cast<QPlainTextEdit*>(m_editor.data()))
        return p->document();
    if (auto* t = qobject_cast<QTextEdit*>(m_editor.data()))
        return t->document();
    return nullptr;
}

QTextCursor TextChecker::editorCursor() const
{
    if (auto* p = qobject_cast<QPlainTextEdit*>(m_editor.data()))
        return p->textCursor();
    if (auto* t = qobject_cast<QTextEdit*>(m_editor.data()))
        return t->textCursor();
    return QTextCursor();
}

void TextChecker::setEditorCursor(const QTextCursor& cursor)
{
    if (auto* p = qobject_cast<QPlainTextEdit*>(m_editor.data()))
        p->setTextCursor(cursor);
    else if (auto* t = qobject_cast<QTextEdit*>(m_editor.data()))
        t->setTextCursor(cursor);
}

std::pair<int, int> TextChecker::visibleRange() const
{
    auto* area = qobject_cast<QAbstractScrollArea*>(m_editor.data());
    if (!area || !area->isVisible())
        return {0, -1};
    // The part of the viewport not hidden by what holds the editor (a view
    // inside a scroll area shows only a window of itself).
    const QRect seen = area->viewport()->visibleRegion().boundingRect();
    if (seen.isEmpty())
        return {0, -1};
    auto at = [&](const QPoint& p) {
        if (auto* plain = qobject_cast<QPlainTextEdit*>(area))
            return plain->cursorForPosition(p).position();
        return static_cast<QTextEdit*>(area)->cursorForPosition(p).position();
    };
    return {at(seen.topLeft()), at(seen.bottomRight())};
}

bool TextChecker::isReadOnly() const
{
    if (auto* p = qobject_cast<QPlainTextEdit*>(m_editor.data()))
        return p->isReadOnly();
    if (auto* t = qobject_cast<QTextEdit*>(m_editor.data()))
        return t->isReadOnly();
    return true;
}

void TextChecker::setSwitches(const TextCheckingSwitches& switches)
{
    const bool changed = !(m_switches == switches);
    m_switches = switches;
    // Read-only text is not the user's to fix: no underlines there.
    m_highlighter->setSpellingEnabled(switches.continuousSpellChecking && !isReadOnly());
    m_highlighter->setGrammarEnabled(switches.grammarChecking);
    if (changed)
        Q_EMIT switchesChanged();
}

QWidget* TextChecker::editorWidget() const
{
    return m_editor;
}

QString TextChecker::selectedText() const
{
    return editorCursor().selectedText();
}

void TextChecker::replaceSelection(const QString& text)
{
    QTextCursor cursor = editorCursor();
    if (!isReadOnly() && cursor.hasSelection()) {
        cursor.insertText(text);
        setEditorCursor(cursor);
    }
}

void TextChecker::checkSpelling()
{
    QTextDocument* doc = document();
    if (!doc)
        return;
    SpellChecker& checker = SpellChecker::shared();
    const QTextCursor current = editorCursor();
    const int from = current.selectionEnd();
    // Search from the selection to the end, then from the start.
    for (int pass = 0; pass < 2; ++pass) {
        for (QTextBlock b = doc->findBlock(pass == 0 ? from : 0); b.isValid(); b = b.next()) {
            const QString text = b.text();
            for (const SpellChecker::Range& r : checker.problems(text, m_switches.grammarChecking)) {
                const int pos = b.position() + r.start;
                if (pass == 0 && pos < from)
                    continue;
                if (pass == 1 && pos >= from)
                    return;
                QTextCursor c(doc);
                c.setPosition(pos);
                c.setPosition(pos + r.length, QTextCursor::KeepAnchor);
                setEditorCursor(c);
                return;
            }
            if (pass == 1 && b.position() > from)
                return;
        }
    }
}

void TextChecker::showGuessPanel()
{
    checkSpelling();
    SpellingPanel::show(this);
}

bool TextChecker::correctWordBefore(int position, const QString& typed)
{
    QTextDocument* doc = document();
    if (!doc || position <= 0)
        return false;
    const QTextBlock block = doc->findBlock(position);
    // Only the end of the paragraph's text before the caret (paragraphs
    // may be very long), and a character after it.
    const int inBlock = position - block.position();
    const int from = std::max(0, inBlock - 200);
    const QString text = block.text().mid(from, inBlock - from + 2);
    for (const SpellChecker::Range& r : SpellChecker::words(text)) {
        if (from + r.start + r.length != inBlock || (r.start == 0 && from > 0))
            continue;
        const QString word = text.mid(r.start, r.length);
        const int start = block.position() + from + r.start;
        SpellChecker& checker = SpellChecker::shared();
        // A correction the user took back stays taken back.
        if (isPartOfAddress(text, r.start, word) || (start == m_correctedStart && word == m_correctedWord)
            || !checker.needsCorrection(word))
            return false;
        QTextCursor at(doc);
        at.setPosition(start);
        at.setPosition(start + r.length, QTextCursor::KeepAnchor);
        if (const std::optional<QString> fix = checker.cachedCorrection(word)) {
            if (fix->isEmpty() || *fix == word)
                return false;
            // The key that ended the word is typed first, the correction is
            // an undo step of its own after it: Undo straight after gives
            // back the word as typed and keeps the key.
            if (!typed.isEmpty()) {
                m_correcting = true;
                QTextCursor caret = editorCursor();
                caret.insertText(typed);
                setEditorCursor(caret);
                m_correcting = false;
            }
            replaceWord(at, word, *fix);
            return !typed.isEmpty();
        }
        // Finding it takes a while: typing goes on, and the word is put
        // right when the correction comes (if it is still there).
        m_pendingCorrections.append({at, word});
        checker.requestCorrection(word);
        return false;
    }
    return false;
}

void TextChecker::onCorrectionFound(const QString& word, const QString& fix)
{
    for (qsizetype i = m_pendingCorrections.size() - 1; i >= 0; --i) {
        const auto [at, asked] = m_pendingCorrections.at(i);
        if (asked != word)
            continue;
        m_pendingCorrections.removeAt(i);
        if (m_switches.automaticSpellingCorrection && !isReadOnly())
            replaceWord(at, word, fix);
    }
}

void TextChecker::replaceWord(QTextCursor at, const QString& word, const QString& fix)
{
    // The word may have been edited or deleted since (what was typed right
    // after it joined the selection's end).
    if (fix.isEmpty() || fix == word || at.isNull())
        return;
    const int start = at.selectionStart();
    at.setPosition(start);
    at.setPosition(start + int(word.size()), QTextCursor::KeepAnchor);
    if (at.selectedText() != word)
        return;
    const QTextBlock block = at.block();
    const int after = at.selectionEnd() - block.position();
    if (after < block.length() - 1 && block.text().at(after).isLetterOrNumber())
        return; // typed on into a longer word
    // One undo step that begins where the caret is, so Undo puts it back.
    m_correcting = true;
    QTextCursor caret = editorCursor();
    QTextCursor c = caret;
    c.beginEditBlock();
    c.setPosition(start);
    c.setPosition(start + int(word.size()), QTextCursor::KeepAnchor);
    c.insertText(fix);
    c.endEditBlock();
    setEditorCursor(caret);
    m_correcting = false;
    m_correctedStart = start;
    m_correctedWord = word;
}

QMenu* TextChecker::contextMenu(const QTextCursor& at)
{
    QMenu* menu = nullptr;
    if (auto* p = qobject_cast<QPlainTextEdit*>(m_editor.data()))
        menu = p->createStandardContextMenu();
    else if (auto* t = qobject_cast<QTextEdit*>(m_editor.data()))
        menu = t->createStandardContextMenu();
    if (!menu)
        menu = new QMenu;
    QAction* first = menu->actions().value(0);
    auto insert = [&](QAction* a) { menu->insertAction(first, a); };

    const bool editable = !isReadOnly();
    QTextDocument* doc = document();
    if (doc && m_switches.continuousSpellChecking) {
        const QTextBlock block = doc->findBlock(at.position());
        const QString text = block.text();
        const int inBlock = at.position() - block.position();
        for (const SpellChecker::Range& r : SpellChecker::shared().misspellings(text)) {
            if (inBlock < r.start || inBlock > r.start + r.length)
                continue;
            const QString word = text.mid(r.start, r.length);
            const int start = block.position() + r.start;
            const int length = r.length;
            const QStringList guesses = SpellChecker::shared().suggestions(word, 6);
            if (guesses.isEmpty()) {
                QAction* none = new QAction(tr("No Guesses Found"), menu);
                none->setEnabled(false);
                insert(none);
            }
            for (const QString& g : guesses) {
                QAction* a = new QAction(g, menu);
                a->setEnabled(editable);
                connect(a, &QAction::triggered, this, [this, start, length, g, word] {
                    QTextDocument* d = document();
                    if (!d)
                        return;
                    QTextCursor c(d);
                    c.setPosition(start);
                    c.setPosition(start + length, QTextCursor::KeepAnchor);
                    if (c.selectedText() == word)
                        c.insertText(g);
                });
                insert(a);
            }
            menu->insertSeparator(first);
            QAction* ignore = new QAction(tr("Ignore Spelling"), menu);
            connect(ignore, &QAction::triggered, this, [word] { SpellChecker::shared().ignoreWord(word); });
            insert(ignore);
            QAction* learn = new QAction(tr("Learn Spelling"), menu);
            connect(learn, &QAction::triggered, this, [word] { SpellChecker::shared().learnWord(word); });
            insert(learn);
            menu->insertSeparator(first);
            break;
        }
        addGrammarEntries(menu, first, text, inBlock);
    }

    menu->addSeparator();
    QMenu* sub = menu->addMenu(tr("Spelling and Grammar"));
    QAction* check = sub->addAction(tr("Check Document Now"), this, &TextChecker::checkSpelling);
    (void)check;
    sub->addSeparator();
    QAction* spell = sub->addAction(tr("Check Spelling While Typing"), this, &TextChecker::toggleContinuousSpellChecking);
    spell->setCheckable(true);
    spell->setChecked(m_switches.continuousSpellChecking);
    QAction* grammar = sub->addAction(tr("Check Grammar With Spelling"), this, &TextChecker::toggleGrammarChecking);
    grammar->setCheckable(true);
    grammar->setChecked(m_switches.grammarChecking);
    QAction* correct = sub->addAction(tr("Correct Spelling Automatically"), this,
                                      &TextChecker::toggleAutomaticSpellingCorrection);
    correct->setCheckable(true);
    correct->setChecked(m_switches.automaticSpellingCorrection);
    return menu;
}

bool TextChecker::eventFilter(QObject* watched, QEvent* event)
{
    if (!m_editor)
        return false;
    if (event->type() == QEvent::ContextMenu) {
        auto* ce = static_cast<QContextMenuEvent*>(event);
        QTextCursor at;
        QPoint globalPos = ce->globalPos();
        if (auto* p = qobject_cast<QPlainTextEdit*>(m_editor.data()))
            at = watched == p->viewport() ? p->cursorForPosition(ce->pos()) : p->textCursor();
        else if (auto* t = qobject_cast<QTextEdit*>(m_editor.data()))
            at = watched == t->viewport() ? t->cursorForPosition(ce->pos()) : t->textCursor();
        if (ce->reason() == QContextMenuEvent::Keyboard)
            at = editorCursor();
        QMenu* menu = contextMenu(at);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(globalPos);
        return true;
    }
    if (event->type() == QEvent::KeyPress && watched == m_editor && m_switches.automaticSpellingCorrection
        && !m_correcting) {
        auto* ke = static_cast<QKeyEvent*>(event);
        const bool readOnly = isReadOnly();
        const QString typed = ke->text();
        // ":", "/" and "@" go on with an address ("https://", "me@"): no word ends there.
        const bool joiner = typed.size() == 1 && typed.at(0) != QLatin1Char('.') && isAddressJoiner(typed.at(0));
        const bool boundary = !joiner
            && (isWordSeparator(typed) || ke->key() == Qt::Key_Return || ke->key() == Qt::Key_Enter);
        const QTextCursor c = editorCursor();
        // A plain character is typed along with the correction; Return, Tab
        // and quotes keep what the editor does with them.
        const bool plain = typed.size() == 1 && typed.at(0).isPrint() && typed != QLatin1String("\"")
            && typed != QLatin1String("'") && ke->key() != Qt::Key_Return && ke->key() != Qt::Key_Enter;
        if (!readOnly && boundary && !c.hasSelection() && correctWordBefore(c.position(), plain ? typed : QString()))
            return true;
    }
    return false;
}
