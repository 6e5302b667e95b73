#include "ui/SpellingTarget.h"

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
