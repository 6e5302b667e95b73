#include "ui/SpellingTarget.h"

#include "ui/SpellChecker.h"

#include <QMenu>
#include <QVariant>
#include <QWidget>

namespace {
const char kProperty[] = "bwSpellingTarget";
}

SpellingTarget* SpellingTarget::of(const QWidget* editor)
{
    if (!editor)
        return nullptr;
    return qobject_cast<SpellingTarget*>(editor->property(kProperty).value<QObject*>());
}

void SpellingTarget::detach(QWidget* editor)
{
    SpellingTarget* target = of(editor);
    if (!target)
        return;
    editor->setProperty(kProperty, QVariant());
    delete target;
}

SpellingTarget::SpellingTarget(QWidget* editor) : QObject(editor)
{
    editor->setProperty(kProperty, QVariant::fromValue<QObject*>(this));
}

void SpellingTarget::toggleContinuousSpellChecking()
{
    setSwitches(m_switches.toggled(&TextCheckingSwitches::continuousSpellChecking));
}

void SpellingTarget::toggleGrammarChecking()
{
    setSwitches(m_switches.toggled(&TextCheckingSwitches::grammarChecking));
}

void SpellingTarget::toggleAutomaticSpellingCorrection()
{
    setSwitches(m_switches.toggled(&TextCheckingSwitches::automaticSpellingCorrection));
}

bool SpellingTarget::addGrammarEntries(QMenu* menu, QAction* before, const QString& text, int position)
{
    if (!m_switches.continuousSpellChecking || !m_switches.grammarChecking)
        return false;
    const std::optional<SpellChecker::GrammarIssue> issue = SpellChecker::shared().grammarIssueAt(text, position);
    if (!issue)
        return false;
    // The text is long: it wraps in the menu rather than widening it.
    QAction* problem = new QAction(issue->problem, menu);
    problem->setEnabled(false);
    menu->insertAction(before, problem);
    QAction* ignore = new QAction(tr("Ignore"), menu);
    connect(ignore, &QAction::triggered, this, [sentence = issue->sentence] {
        SpellChecker::shared().ignoreGrammar(sentence);
    });
    menu->insertAction(before, ignore);
    menu->insertSeparator(before);
    return true;
}
