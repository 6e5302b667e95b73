#include "wordproc/views/WPWindowController.h"

#include "wordproc/WPDocument.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextEdit>

WPWindowController::WPWindowController(WPDocument* document, QWidget* parent)
    : QMainWindow(parent)
    , m_document(document)
    , m_editor(new QTextEdit(this))
{
    m_editor->setDocument(document->storage());
    setCentralWidget(m_editor);
    resize(980, 900);
}

void WPWindowController::appendParagraph(const QTextDocumentFragment& text)
{
    QTextCursor c(m_document->storage());
    c.movePosition(QTextCursor::End);
    c.beginEditBlock();
    if (!m_document->storage()->isEmpty() && !m_document->storage()->toPlainText().endsWith(QChar::ParagraphSeparator))
        c.insertBlock();
    c.insertFragment(text);
    c.insertBlock();
    c.endEditBlock();
}

void WPWindowController::applyAutocorrectToAll() {}
