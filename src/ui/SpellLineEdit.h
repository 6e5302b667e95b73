#pragma once

// A single-line text field that checks spelling and grammar as the user types
// and never changes the text behind the user's back. Use it like QLineEdit.

#include <QLineEdit>
#include <QPointer>

class FieldSpelling;

class SpellLineEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit SpellLineEdit(QWidget* parent = nullptr);
    explicit SpellLineEdit(const QString& text, QWidget* parent = nullptr);

    // Nothing once FieldSpelling::exclude() was applied to the field.
    FieldSpelling* spelling() const;

private:
    QPointer<FieldSpelling> m_spelling; // gone once excluded
};
