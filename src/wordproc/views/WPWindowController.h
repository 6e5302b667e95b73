#pragma once

#include <QMainWindow>

class QTextDocumentFragment;
class QTextEdit;
class WPDocument;

// The editor window of one document. (Placeholder: a plain text editor over
// the document's storage until the paged editor lands.)
class WPWindowController : public QMainWindow {
    Q_OBJECT
public:
    explicit WPWindowController(WPDocument* document, QWidget* parent = nullptr);

    WPDocument* wpDocument() const { return m_document; }

    // Appends rich text as a paragraph of its own at the end of the document.
    void appendParagraph(const QTextDocumentFragment& text);

    // Applies the stored "wpAutocorrect" preference to every open editor window.
    static void applyAutocorrectToAll();

private:
    WPDocument* m_document;
    QTextEdit* m_editor;
};
