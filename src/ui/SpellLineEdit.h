#pragma once

// A single-line text field that checks spelling and grammar as the user types
// and never changes the text behind the user's back. Use it like QLineEdit.

#include <QLineEdit>

class FieldSpelling;

class SpellLineEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit SpellLineEdit(QWidget* parent = nullptr);
    explicit SpellLineEdit(const QString& text, QWidget* parent = nullptr);

    FieldSpelling* spelling() const { return m_spelling; }

private:
    FieldSpelling* m_spelling = nullptr;
};
