#include "wordproc/views/PageTextView.h"

#include "wordproc/WPInsert.h"
#include "wordproc/WPLinks.h"
#include "wordproc/WPLists.h"
#include "wordproc/WPPaths.h"
#include "wordproc/WPSmartEdit.h"
#include "wordproc/WPTableEdit.h"
#include "wordproc/formats/Html.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QKeyEvent>
#include <QMimeData>
#include <QMimeDatabase>
#include <QScrollArea>
#include <QScrollBar>
#include <QTextCursor>
#include <QUrl>

// What the page view does with keys, pastes and drops.

namespace {

// Pictures larger than this are not read from a drop or paste.
constexpr qint64 kMaxPictureBytes = 64 * 1024 * 1024;

// Looked into only when it is a regular file: a pipe or a kernel file
// would block the interface.
bool isImageFile(const QString& path)
{
    return WPPaths::isPlainFile(path)
        && QMimeDatabase().mimeTypeForFile(path).name().startsWith(QLatin1String("image/"));
}

} // namespace

void PageTextView::keyPressEvent(QKeyEvent* event)
{
    const QString text = event->text();
    if (m_smartQuotes && !isReadOnly() && text.size() == 1
        && (text == QLatin1String("\"") || text == QLatin1String("'"))) {
        QTextCursor c = textCursor();
        const int pos = c.selectionStart();
        const QChar before = pos > 0 ? document()->characterAt(pos - 1) : QChar();
        const bool opening = before.isNull() || before.isSpace() || before == QChar::ParagraphSeparator
            || QStringLiteral("([{\u2018\u201C-\u2013\u2014").contains(before);
        QChar quote;
        if (text == QLatin1String("\""))
            quote = opening ? QChar(0x201C) : QChar(0x201D);
        else
            quote = opening ? QChar(0x2018) : QChar(0x2019);
        c.insertText(QString(quote));
        setTextCursor(c);
        event->accept();
        return;
    }
    const bool tab = (event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab)
        && (event->modifiers() & ~Qt::ShiftModifier) == Qt::NoModifier;
    if (tab && !isReadOnly()) {
        // Tab and Shift+Tab go from cell to cell in a table.
        QTextCursor c = textCursor();
        const bool back = event->key() == Qt::Key_Backtab || (event->modifiers() & Qt::ShiftModifier);
        if (WPTableEdit::moveToCell(c, back)) {
            setTextCursor(c);
            ensureCursorVisible();
            event->accept();
            return;
        }
    }
    const bool plainReturn = (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (plainReturn && !isReadOnly()) {
        // Return in a list item starts the next item (or ends the list);
        // elsewhere it splits the paragraph, keeping its formats.
        QTextCursor c = textCursor();
        const int end = c.selectionStart();
        if (!WPLists::returnInList(c))
            WPSmartEdit::breakParagraph(c);
        setTextCursor(c);
        if (m_detectLinks)
            WPLinks::detectBefore(document(), end);
        ensureCursorVisible();
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::Cut)) {
        cut();
        event->accept();
        return;
    }
    const bool erase = event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete;
    if (erase && !isReadOnly() && event->modifiers() == Qt::NoModifier) {
        // Deleting whole words takes one space next to them along.
        QTextCursor c = textCursor();
        if (WPSmartEdit::widenForDelete(c)) {
            c.removeSelectedText();
            setTextCursor(c);
            event->accept();
            return;
        }
    }
    // Typing is undone word by word: a pause, a new word or any other change
    // in between starts a new undo step.
    const bool typing = !isReadOnly() && text.size() == 1 && text.at(0).isPrint()
        && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    QTextCursor step = textCursor();
    const bool newStep = typing
        && WPSmartEdit::startsUndoStep(text.at(0), document()->characterAt(step.selectionStart() - 1),
                                       m_typingClock.isValid() ? m_typingClock.elapsed() : -1,
                                       step.hasSelection() || document()->revision() != m_typedRevision);
    if (newStep)
        step.beginEditBlock();
    QTextEdit::keyPressEvent(event);
    if (newStep)
        step.endEditBlock();
    // The start of the document shows the top of the first page, its
    // margin and the desk above it included.
    if (event->matches(QKeySequence::MoveToStartOfDocument) || event->matches(QKeySequence::SelectStartOfDocument))
        m_scroll->verticalScrollBar()->setValue(0);
    if (typing) {
        m_typingClock.start();
        m_typedRevision = document()->revision();
    }
    // A web address just finished by a space or a line break becomes a link.
    const bool boundary = text == QLatin1String(" ") || event->key() == Qt::Key_Return
        || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Tab;
    if (m_detectLinks && boundary && !isReadOnly() && !textCursor().hasSelection())
        WPLinks::detectBefore(document(), textCursor().position() - 1);
}

bool PageTextView::canInsertFromMimeData(const QMimeData* source) const
{
    // An empty clipboard (no program owns it) offers no formats; Qt's own
    // paste would crash on it under X11.
    if (!source || source->formats().isEmpty())
        return false;
    if (source->hasImage())
        return true;
    if (source->hasUrls()) {
        for (const QUrl& url : source->urls()) {
            if (url.isLocalFile() && isImageFile(url.toLocalFile()))
                return true;
        }
    }
    return QTextEdit::canInsertFromMimeData(source);
}

void PageTextView::cut()
{
    QTextCursor wide = textCursor();
    if (isReadOnly() || !WPSmartEdit::widenForDelete(wide)) {
        QTextEdit::cut();
        return;
    }
    copy();
    wide.removeSelectedText();
    setTextCursor(wide);
}

void PageTextView::insertFromMimeData(const QMimeData* source)
{
    if (isReadOnly() || !source || source->formats().isEmpty())
        return;
    if ((source->hasImage() || source->hasUrls()) && insertPictures(source))
        return;
    // A word pasted between words gets the spaces it needs.
    QTextCursor c = textCursor();
    const WPSmartEdit::Spaces spaces = WPSmartEdit::spacesForPaste(c, source->text());
    c.beginEditBlock();
    // Pasted HTML (Qt's own rich text included) is held within the same
    // bounds as an opened page, so a hostile paste cannot hang or overflow
    // Qt's reader either.
    QMimeData held;
    bool changed = false;
    for (const QString& format : source->formats()) {
        QByteArray data = source->data(format);
        if (acceptRichText() && format == QLatin1String("application/x-qrichtext")) {
            const QString text = QString::fromUtf8(data);
            const QString within = Html::bounded(text);
            changed = changed || within != text;
            data = within.toUtf8();
        }
        held.setData(format, data);
    }
    if (acceptRichText() && source->hasHtml()) {
        const QString html = source->html();
        const QString within = Html::bounded(html);
        changed = changed || within != html;
        held.setHtml(within);
    }
    QTextEdit::insertFromMimeData(changed ? &held : source);
    if (spaces.before || spaces.after) {
        QTextCursor after = textCursor();
        const int end = after.position();
        const int start = end - int(source->text().size());
        if (spaces.after)
            after.insertText(QStringLiteral(" "));
        if (spaces.before && start >= 0) {
            QTextCursor before(document());
            before.setPosition(start);
            before.insertText(QStringLiteral(" "));
        }
        setTextCursor(after);
    }
    c.endEditBlock();
}

bool PageTextView::insertPictures(const QMimeData* source)
{
    QList<std::pair<QByteArray, QString>> pictures;
    if (source->hasUrls()) {
        for (const QUrl& url : source->urls()) {
            if (!url.isLocalFile() || !isImageFile(url.toLocalFile()))
                continue;
            QFile file(url.toLocalFile());
            if (file.size() > kMaxPictureBytes || !file.open(QIODevice::ReadOnly))
                continue;
            pictures.append({file.readAll(), QFileInfo(file).fileName()});
        }
    }
    if (pictures.isEmpty() && source->hasImage()) {
        const QImage image = qvariant_cast<QImage>(source->imageData());
        if (!image.isNull()) {
            QByteArray png;
            QBuffer buffer(&png);
            buffer.open(QIODevice::WriteOnly);
            image.save(&buffer, "PNG");
            pictures.append({png, QStringLiteral("image.png")});
        }
    }
    if (pictures.isEmpty())
        return false;
    QTextCursor c = textCursor();
    c.beginEditBlock();
    bool any = false;
    for (const auto& [bytes, name] : pictures)
        any = WPInsert::insertPicture(c, bytes, name, m_setup.textWidth()) || any;
    c.endEditBlock();
    setTextCursor(c);
    if (!any)
        Q_EMIT pictureRejected();
    return any;
}
