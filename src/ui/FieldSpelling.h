#pragma once

// Spelling and grammar for one single-line field (any QLineEdit): underlines
// drawn over the field, suggestions in its context menu, the six switches and
// the Edit-menu actions as slots. Password fields are never checked. A
// SpellCheckingWindow attaches one to each field of the window when editing
// begins; a SpellLineEdit has one from when it is first shown or asked for.
// Text the program puts into a field is checked once the word list is there,
// but only the user (focus or an edit) makes the word list and the grammar
// dictionary load. Fields that hold numbers are excluded().

#include "ui/SpellChecker.h"
#include "ui/SpellingTarget.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>

class QLineEdit;
class QMenu;
class QWidget;

class FieldSpelling : public SpellingTarget {
    Q_OBJECT
public:
    // Attaches (once) to `field`; nothing for a password field.
    static FieldSpelling* attach(QLineEdit* field);
    // The checker of `field`, or null (a SpellLineEdit's is made here when it
    // was not needed yet).
    static FieldSpelling* of(const QLineEdit* field);
    // Never checks `field` (numbers, expressions, codes): removes a checker
    // already attached and refuses later ones.
    static void exclude(QLineEdit* field);
    static bool isExcluded(const QLineEdit* field);
    ~FieldSpelling() override;

    QLineEdit* field() const { return m_field; }
    void setSwitches(const TextCheckingSwitches& switches) override;
    // The rule applied when editing begins (see TextCheckingSwitches).
    void beginEditing();
    QWidget* editorWidget() const override;
    QString selectedText() const override;
    void replaceSelection(const QString& text) override;

    // What is underlined now (positions in the field's text).
    QList<SpellChecker::Range> misspelt() const { return m_misspelt; }
    QList<SpellChecker::Range> badGrammar() const { return m_grammar; }
    // Rechecks at once (normally after each change).
    void recheck();
    // The horizontal span, in field coordinates, of text [start, start+length).
    QRectF textRect(int start, int length) const;

    QMenu* contextMenu(int position);

public Q_SLOTS:
    void checkSpelling() override;
    void showGuessPanel() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit FieldSpelling(QLineEdit* field);
    void onTextEdited(const QString& text);
    void updateOverlay();
    // The user has turned to the field: the dictionaries may be loaded.
    void userStarted();

    QPointer<QLineEdit> m_field;
    QObject* m_watched = nullptr; // the field, for comparisons only
    QPointer<QWidget> m_overlay;
    QList<SpellChecker::Range> m_misspelt;
    QList<SpellChecker::Range> m_grammar;
    QTimer m_grammarTimer;
    bool m_correcting = false;
    bool m_userStarted = false;
};
