#include "ui/SpellLineEdit.h"

#include "ui/FieldSpelling.h"

SpellLineEdit::SpellLineEdit(QWidget* parent) : SpellLineEdit(QString(), parent) {}

SpellLineEdit::SpellLineEdit(const QString& text, QWidget* parent) : QLineEdit(text, parent)
{
    m_spelling = FieldSpelling::attach(this);
}

FieldSpelling* SpellLineEdit::spelling() const
{
    return m_spelling.data();
}
