#pragma once

// Spelling and grammar for one multi-line text editor (QPlainTextEdit or
// QTextEdit): the highlighter, the six switches, a context menu with
// suggestions, "Ignore Spelling" and "Learn Spelling", automatic correction
// only when its switch is on, and the Edit-menu actions as slots
// (toggleContinuousSpellChecking, toggleGrammarChecking,
// toggleAutomaticSpellingCorrection, checkSpelling, showGuessPanel).

#include "ui/SpellingTarget.h"

#include <QObject>
#include <QList>
#include <QPointer>
#include <QTextCursor>

#include <utility>

class QMenu;
class QTextDocument;
class QWidget;
class SpellHighlighter;

class TextChecker : public SpellingTarget {
    Q_OBJECT
public:
    // Attaches to a QPlainTextEdit or QTextEdit (once; a second call returns
    // the same checker). The checker is a child of the editor.
    static TextChecker* attach(QWidget* editor);
    static TextChecker* of(const QWidget* editor);
    ~TextChecker() override;

    QWidget* editor() const { return m_editor; }
    QTextDocument* document() const;
    SpellHighlighter* highlighter() const;

    // Applies the switches (call again after the editor's read-only state
    // changes: read-only text shows no underlines).
    void setSwitches(const TextCheckingSwitches& switches) override;
    QWidget* editorWidget() const override;
    QString selectedText() const override;
    void replaceSelection(const QString& text) override;

    // The editor's context menu with the spelling entries for the word at
    // `cursor` first (the caller shows and deletes it).
    QMenu* contextMenu(const QTextCursor& cursor);

public Q_SLOTS:
    // Selects the next misspelt word after the selection (wrapping).
    void checkSpelling() override;
    void showGuessPanel() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit TextChecker(QWidget* editor);
    // Types `typed` after the word that ends at `position`, then corrects
    // the word in an undo step of its own (at once when its correction is
    // known, else when it comes); true when `typed` was typed.
    bool correctWordBefore(int position, const QString& typed);
    void onCorrectionFound(const QString& word, const QString& fix);
    void replaceWord(QTextCursor at, const QString& word, const QString& fix);
    bool isReadOnly() const;
    // Document positions of the first and last character on screen.
    std::pair<int, int> visibleRange() const;
    QTextCursor editorCursor() const;
    void setEditorCursor(const QTextCursor& cursor);

    QPointer<QWidget> m_editor;
    // Lives with the document, which may outlive the editor.
    QPointer<SpellHighlighter> m_highlighter;
    bool m_correcting = false;
    // The last word corrected automatically and where it started: typed
    // there again (after an Undo) it is left alone.
    int m_correctedStart = -1;
    QString m_correctedWord;
    QList<std::pair<QTextCursor, QString>> m_pendingCorrections; // words waiting for their correction
};
