#include "ui/SpellingPanel.h"

#include "ui/ChromeButton.h"
#include "ui/SpellChecker.h"
#include "ui/SpellingTarget.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

SpellingPanel* SpellingPanel::instance()
{
    static QPointer<SpellingPanel> panel;
    if (!panel)
        panel = new SpellingPanel;
    return panel;
}

SpellingPanel* SpellingPanel::show(QWidget* editor)
{
    return show(SpellingTarget::of(editor));
}

QWidget* SpellingPanel::editor() const
{
    return m_target ? m_target->editorWidget() : nullptr;
}

SpellingPanel* SpellingPanel::show(SpellingTarget* target)
{
    SpellingPanel* p = instance();
    p->m_target = target;
    p->refresh();
    p->QDialog::show();
    p->raise();
    return p;
}

SpellingPanel::SpellingPanel(QWidget* parent) : QDialog(parent, Qt::Tool)
{
    setWindowTitle(tr("Spelling and Grammar"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    auto* grid = new QGridLayout(this);
    m_status = new QLabel(this);
    m_status->setWordWrap(true);
    m_word = new QLineEdit(this);
    m_guesses = new QListWidget(this);
    auto* change = new ChromeButton(tr("Change"), this);
    auto* next = new ChromeButton(tr("Find Next"), this);
    auto* ignore = new ChromeButton(tr("Ignore"), this);
    auto* learn = new ChromeButton(tr("Learn"), this);
    m_change = change;
    m_learn = learn;
    grid->addWidget(m_status, 0, 0, 1, 2);
    grid->addWidget(m_word, 1, 0);
    grid->addWidget(m_guesses, 2, 0, 4, 1);
    grid->addWidget(change, 1, 1);
    grid->addWidget(next, 2, 1);
    grid->addWidget(ignore, 3, 1);
    grid->addWidget(learn, 4, 1);
    grid->setRowStretch(5, 1);
    connect(change, &QPushButton::clicked, this, &SpellingPanel::change);
    connect(next, &QPushButton::clicked, this, &SpellingPanel::findNext);
    connect(ignore, &QPushButton::clicked, this, &SpellingPanel::ignore);
    connect(learn, &QPushButton::clicked, this, &SpellingPanel::learn);
    connect(m_guesses, &QListWidget::currentTextChanged, m_word, &QLineEdit::setText);
    connect(m_guesses, &QListWidget::itemDoubleClicked, this, &SpellingPanel::change);
    resize(360, 260);
}

QString SpellingPanel::selectedText() const
{
    return m_target ? m_target->selectedText() : QString();
}

QString SpellingPanel::word() const
{
    const QString s = selectedText();
    // A selected sentence is no word (its grammar may be wrong).
    if (s.isEmpty() || s.contains(QLatin1Char(' ')) || SpellChecker::shared().isCorrect(s))
        return QString();
    return s;
}

QStringList SpellingPanel::guesses() const
{
    const QString w = word();
    return w.isEmpty() ? QStringList() : SpellChecker::shared().suggestions(w, 10);
}

QString SpellingPanel::grammarProblem() const
{
    if (!m_target || !m_target->grammarCheckingEnabled() || !word().isEmpty())
        return QString();
    return SpellChecker::shared().grammarProblem(selectedText());
}

void SpellingPanel::refresh()
{
    const QString w = word();
    m_guesses->clear();
    m_change->setEnabled(!w.isEmpty());
    m_learn->setEnabled(!w.isEmpty());
    if (w.isEmpty()) {
        const QString problem = grammarProblem();
        m_status->setText(problem.isEmpty() ? tr("No misspelt word is selected.") : problem);
        m_word->clear();
        return;
    }
    m_status->setText(tr("“%1” is not in the dictionary.").arg(w));
    const QStringList g = guesses();
    m_guesses->addItems(g);
    m_word->setText(g.value(0, w));
    if (!g.isEmpty())
        m_guesses->setCurrentRow(0);
}

void SpellingPanel::change()
{
    if (!word().isEmpty() && !m_word->text().isEmpty())
        m_target->replaceSelection(m_word->text());
    findNext();
}

void SpellingPanel::findNext()
{
    if (m_target)
        m_target->checkSpelling();
    refresh();
}

void SpellingPanel::ignore()
{
    if (!grammarProblem().isEmpty())
        SpellChecker::shared().ignoreGrammar(selectedText());
    else
        SpellChecker::shared().ignoreWord(word());
    findNext();
}

void SpellingPanel::learn()
{
    SpellChecker::shared().learnWord(word());
    findNext();
}
