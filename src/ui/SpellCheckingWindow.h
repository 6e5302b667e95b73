#pragma once

// The window class of every tool window and of the settings, help, about and
// word-processor windows: a main window on the warm window colour, in the
// light look, whose text fields check spelling and grammar as the user types
// and are never changed automatically. Each time a text field of the window
// begins editing it gets the window's "field editor" treatment: spelling and
// grammar on and every automatic change off, unless spelling and grammar are
// both on already (then the user's own choices stay).

#include <QMainWindow>

class FieldSpelling;
class QLineEdit;
class TextChecker;

class SpellCheckingWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit SpellCheckingWindow(QWidget* parent = nullptr, Qt::WindowFlags flags = {});
    ~SpellCheckingWindow() override;

    // The checker of a single-line field of this window, configured by the
    // rule; made when `create` (nothing for a password field or a field of
    // another window).
    FieldSpelling* fieldEditor(bool create, QLineEdit* field);
    // The same for a multi-line editor (QPlainTextEdit/QTextEdit).
    TextChecker* textEditor(bool create, QWidget* editor);

    // The window's background colour (0.93, 0.92, 0.89).
    static QColor backgroundColor();

private:
    void onFocusChanged(QWidget* old, QWidget* now);

    QMetaObject::Connection m_focusWatch;
};
