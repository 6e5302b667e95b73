#include "wordproc/WPSmartEdit.h"

#include "wordproc/WPCommands.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace WPSmartEdit {

namespace {

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('\'') || c == QChar(0x2019);
}

// A space between words (not a tab, line break or object).
bool isSpace(QChar c)
{
    return c == QLatin1Char(' ') || c == QChar(0x00A0);
}

// Punctuation that follows a word without a space.
bool closesWord(QChar c)
{
    return QStringLiteral(".,;:!?)]}\u201D\u2019").contains(c);
}

QChar at(const QTextDocument* doc, int position)
{
    return position >= 0 && position < doc->characterCount() ? doc->characterAt(position) : QChar();
}

} // namespace

bool widenForDelete(QTextCursor& cursor)
{
    const QTextDocument* doc = cursor.document();
    if (!doc || !cursor.hasSelection())
        return false;
    const int start = cursor.selectionStart();
    const int end = cursor.selectionEnd();
    // Whole words only: word characters at both edges, none just outside.
    if (!isWordChar(at(doc, start)) || !isWordChar(at(doc, end - 1)) || isWordChar(at(doc, start - 1))
        || isWordChar(at(doc, end)))
        return false;
    const QChar before = at(doc, start - 1);
    const QChar after = at(doc, end);
    const bool endOfLine = after == QChar::ParagraphSeparator || after.isNull() || end == doc->characterCount() - 1;
    if (isSpace(before) && (isSpace(after) || closesWord(after) || endOfLine)) {
        cursor.setPosition(end);
        cursor.setPosition(start - 1, QTextCursor::KeepAnchor);
        return true;
    }
    const bool startOfLine = start == 0 || before == QChar::ParagraphSeparator;
    if (startOfLine && isSpace(after)) {
        cursor.setPosition(start);
        cursor.setPosition(end + 1, QTextCursor::KeepAnchor);
        return true;
    }
    return false;
}

Spaces spacesForPaste(const QTextCursor& cursor, const QString& pasted)
{
    Spaces s;
    const QTextDocument* doc = cursor.document();
    if (!doc || pasted.isEmpty() || pasted.contains(QLatin1Char('\n')) || pasted.contains(QChar::ParagraphSeparator))
        return s;
    const QChar before = at(doc, cursor.selectionStart() - 1);
    const QChar after = at(doc, cursor.selectionEnd());
    s.before = isWordChar(before) && isWordChar(pasted.front());
    s.after = isWordChar(after) && isWordChar(pasted.back());
    return s;
}

void breakParagraph(QTextCursor& cursor)
{
    if (!cursor.document())
        return;
    // Taken before the selection goes, as typing over a selection does.
    const QTextCharFormat typing = WPCommands::withoutPicture(cursor.charFormat());
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    cursor.insertBlock(cursor.blockFormat(), typing);
    cursor.endEditBlock();
}

bool startsUndoStep(QChar typed, QChar before, qint64 msSinceLastTyping, bool changedSince)
{
    if (changedSince || msSinceLastTyping < 0 || msSinceLastTyping >= kPauseMs)
        return true;
    return isWordChar(typed) && !isWordChar(before);
}

} // namespace WPSmartEdit
