#pragma once

// What every spell-checked text input offers the rest of the program: the
// six switches, the Edit-menu actions as slots (the menus find them through
// the responder chain) and the selection the spelling panel works on.
// FieldSpelling (single-line fields) and TextChecker (multi-line editors)
// are the two kinds; the panel and the menus know only this.

#include "ui/TextCheckingSwitches.h"

#include <QObject>
#include <QString>

class QAction;
class QMenu;
class QWidget;

class SpellingTarget : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool continuousSpellCheckingEnabled READ continuousSpellCheckingEnabled)
    Q_PROPERTY(bool grammarCheckingEnabled READ grammarCheckingEnabled)
    Q_PROPERTY(bool automaticSpellingCorrectionEnabled READ automaticSpellingCorrectionEnabled)
public:
    // The checker attached to `editor`, or null.
    static SpellingTarget* of(const QWidget* editor);
    // Removes (and deletes) the checker of `editor`, if any.
    static void detach(QWidget* editor);

    virtual QWidget* editorWidget() const = 0;

    TextCheckingSwitches switches() const { return m_switches; }
    virtual void setSwitches(const TextCheckingSwitches& switches) = 0;
    bool continuousSpellCheckingEnabled() const { return m_switches.continuousSpellChecking; }
    bool grammarCheckingEnabled() const { return m_switches.grammarChecking; }
    bool automaticSpellingCorrectionEnabled() const { return m_switches.automaticSpellingCorrection; }

    // The editor's selected text, and its replacement (nothing when the
    // editor is read-only or nothing is selected).
    virtual QString selectedText() const = 0;
    virtual void replaceSelection(const QString& text) = 0;

public Q_SLOTS:
    void toggleContinuousSpellChecking();
    void toggleGrammarChecking();
    void toggleAutomaticSpellingCorrection();
    // Selects the next misspelt word or sentence with a grammar problem
    // after the selection (wrapping).
    virtual void checkSpelling() = 0;
    virtual void showGuessPanel() = 0;

Q_SIGNALS:
    void switchesChanged();

protected:
    // Attaches to `editor` (as its child, found again by of()).
    explicit SpellingTarget(QWidget* editor);

    // Puts what the grammar checker found in the sentence of `text` around
    // `position` ("Possible grammar problem: …") and "Ignore" before
    // `before` in `menu`, when grammar is checked and that sentence is
    // underlined; true when it did.
    bool addGrammarEntries(QMenu* menu, QAction* before, const QString& text, int position);

    TextCheckingSwitches m_switches;
};
