#pragma once

// A single-line text field that checks spelling and grammar as the user types
// and never changes the text behind the user's back. Use it like QLineEdit.
//
// Until it is first shown (or its checker is asked for) it costs what a
// QLineEdit costs: the checker, its underlines and its menu items are made
// then, so a field excluded from checking right after it is made never has
// one.

#include <QLineEdit>
#include <QPointer>

class FieldSpelling;

class SpellLineEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit SpellLineEdit(QWidget* parent = nullptr);
    explicit SpellLineEdit(const QString& text, QWidget* parent = nullptr);

    // The field's checker, made when first asked for; nothing once
    // FieldSpelling::exclude() was applied to the field.
    FieldSpelling* spelling() const;

protected:
    bool event(QEvent* event) override;

private:
    mutable QPointer<FieldSpelling> m_spelling; // gone once excluded
};
