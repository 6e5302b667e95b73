#pragma once

// The "Spelling and Grammar" panel: shows the misspelt word selected in a
// text input with its guesses, and changes, ignores or learns it, or finds
// the next one; for a selected sentence that does not parse it says what
// the grammar checker found, and ignores it. One panel for the application, following the input it was
// last shown for.

#include <QDialog>
#include <QPointer>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class SpellingTarget;

class SpellingPanel : public QDialog {
    Q_OBJECT
public:
    // Shows the panel for a spell-checked text input.
    static SpellingPanel* show(SpellingTarget* target);
    // The same for the checker attached to `editor` (nothing without one).
    static SpellingPanel* show(QWidget* editor);
    static SpellingPanel* instance();

    QWidget* editor() const;
    // The word the panel offers guesses for (the editor's selection).
    QString word() const;
    QStringList guesses() const;
    // What the grammar checker found in the selected sentence; empty when
    // it found nothing (or a word is selected).
    QString grammarProblem() const;

public Q_SLOTS:
    void refresh();
    void change();
    void findNext();
    void ignore();
    void learn();

private:
    explicit SpellingPanel(QWidget* parent = nullptr);
    QString selectedText() const;

    QPointer<SpellingTarget> m_target;
    QLabel* m_status = nullptr;
    QLineEdit* m_word = nullptr;
    QListWidget* m_guesses = nullptr;
    QPushButton* m_change = nullptr;
    QPushButton* m_learn = nullptr;
};
