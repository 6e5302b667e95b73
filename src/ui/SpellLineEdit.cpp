#include "ui/SpellLineEdit.h"

#include "ui/FieldSpelling.h"

#include <QEvent>

SpellLineEdit::SpellLineEdit(QWidget* parent) : SpellLineEdit(QString(), parent) {}

SpellLineEdit::SpellLineEdit(const QString& text, QWidget* parent) : QLineEdit(text, parent) {}

FieldSpelling* SpellLineEdit::spelling() const
{
    // Made on demand: asking for the checker is not a change of the field.
    if (!m_spelling)
        m_spelling = FieldSpelling::attach(const_cast<SpellLineEdit*>(this));
    return m_spelling.data();
}

bool SpellLineEdit::event(QEvent* event)
{
    // Shown, the field underlines what the program put in it; focus, keys
    // and the context menu all come after this.
    if (event->type() == QEvent::Show)
        spelling();
    return QLineEdit::event(event);
}
