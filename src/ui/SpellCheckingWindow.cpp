#include "ui/SpellCheckingWindow.h"

#include "ui/AppLook.h"
#include "ui/FieldSpelling.h"
#include "ui/TextChecker.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

SpellCheckingWindow::SpellCheckingWindow(QWidget* parent, Qt::WindowFlags flags) : QMainWindow(parent, flags)
{
    QPalette p = AppLook::lightPalette();
    p.setColor(QPalette::Window, backgroundColor());
    setPalette(p);
    setAutoFillBackground(true);
    m_focusWatch = connect(qApp, &QApplication::focusChanged, this, &SpellCheckingWindow::onFocusChanged);
}

SpellCheckingWindow::~SpellCheckingWindow()
{
    // Closing the window while it is destroyed moves the focus; by then this
    // is no longer a SpellCheckingWindow.
    disconnect(m_focusWatch);
}

QColor SpellCheckingWindow::backgroundColor()
{
    return QColor::fromRgbF(0.93f, 0.92f, 0.89f);
}

FieldSpelling* SpellCheckingWindow::fieldEditor(bool create, QLineEdit* field)
{
    if (!field || field->window() != this)
        return nullptr;
    // Number boxes are not text.
    for (QWidget* w = field->parentWidget(); w && w != this; w = w->parentWidget()) {
        if (qobject_cast<QAbstractSpinBox*>(w))
            return nullptr;
    }
    FieldSpelling* editor = FieldSpelling::of(field);
    if (!editor && create)
        editor = FieldSpelling::attach(field);
    if (editor)
        editor->beginEditing();
    return editor;
}

TextChecker* SpellCheckingWindow::textEditor(bool create, QWidget* editor)
{
    if (!editor || editor->window() != this)
        return nullptr;
    TextChecker* checker = TextChecker::of(editor);
    if (checker || !create)
        return checker;
    bool readOnly = true;
    if (auto* p = qobject_cast<QPlainTextEdit*>(editor))
        readOnly = p->isReadOnly();
    else if (auto* t = qobject_cast<QTextEdit*>(editor))
        readOnly = t->isReadOnly();
    else
        return nullptr;
    if (readOnly)
        return nullptr;
    return TextChecker::attach(editor);
}

void SpellCheckingWindow::onFocusChanged(QWidget*, QWidget* now)
{
    if (!now || now->window() != this)
        return;
    if (auto* field = qobject_cast<QLineEdit*>(now)) {
        fieldEditor(true, field);
        return;
    }
    // Focus may sit on a scroll area's viewport.
    QWidget* w = now;
    if (!qobject_cast<QPlainTextEdit*>(w) && !qobject_cast<QTextEdit*>(w) && w->parentWidget())
        w = w->parentWidget();
    if (qobject_cast<QPlainTextEdit*>(w) || qobject_cast<QTextEdit*>(w))
        textEditor(true, w);
}
