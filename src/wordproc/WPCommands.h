#pragma once

#include <QColor>
#include <QFont>
#include <QList>
#include <QString>
#include <QTextCharFormat>
#include <functional>
#include <optional>

class QTextBlockFormat;
class QTextCursor;
class QTextDocument;

// The editing commands of the word processor that need no widget: each takes
// the editor's cursor (its selection, or its insertion point whose character
// format is the format of the next typed text) and changes the text as one
// undo step. With only an insertion point a character command changes the
// typing format and leaves the text alone.
namespace WPCommands {

// A selected character range [start, end).
struct Range {
    int start = 0;
    int end = 0;
    friend bool operator==(const Range&, const Range&) = default;
};
using Ranges = QList<Range>;

// "Helvetica Neue" 12 points, or the application's font at 12 points where
// that family is not installed.
QFont defaultFont();
// A family as the user knows it: Qt lists a family that several foundries
// make once per foundry ("Nimbus Sans [UKWN]", "Nimbus Sans [urw]"); the
// name without the foundry stands for all of them.
QString familyName(const QString& listed);
// The font a character format stands for, with every property it leaves
// unset taken from the default font.
QFont fontOf(const QTextCharFormat& format);
qreal pointSize(const QFont& font);
// Writes family, size, weight and slant of `font` into `format`.
void putFont(QTextCharFormat& format, const QFont& font);
// Underline and strike-through styles (0 = none).
int underlineStyle(const QTextCharFormat& format);
int strikeStyle(const QTextCharFormat& format);
// `format` without anything that makes it a picture.
QTextCharFormat withoutPicture(const QTextCharFormat& format);

// The format of the character at `position` (not the one before it).
QTextCharFormat formatAt(const QTextDocument* document, int position);
// What the toolbar shows: the first selected character's format, or the
// typing format when nothing is selected or the selection starts at the end.
QTextCharFormat currentAttributes(const QTextCursor& cursor);
// The non-empty selected ranges (none for an insertion point).
Ranges selectionRanges(const QTextCursor& cursor);

// Font changes: each run keeps what the change does not touch.
using FontChange = std::function<QFont(const QFont&)>;
void changeFont(QTextCursor& cursor, const Ranges& ranges, const FontChange& change);
void setFamily(QTextCursor& cursor, const QString& family);
void setSize(QTextCursor& cursor, qreal points);
// One point bigger (+1) or smaller (-1) per run, never below 1 point.
void stepSize(QTextCursor& cursor, int step);
enum class Trait { Bold, Italic };
// Decided once from the first selected character: removes the trait when it
// has it, else adds it, over every run.
void toggleTrait(QTextCursor& cursor, Trait trait);

// Any other character change, over the ranges or the typing format.
using CharChange = std::function<void(QTextCharFormat&)>;
void changeChars(QTextCursor& cursor, const Ranges& ranges, const CharChange& change);
// Removes the style when `on` (the state shown), else sets a single line.
void toggleUnderline(QTextCursor& cursor, bool on);
void toggleStrike(QTextCursor& cursor, bool on);
// Text colour and highlight; nothing removes the attribute.
void setForeground(QTextCursor& cursor, const std::optional<QColor>& color);
void setHighlight(QTextCursor& cursor, const std::optional<QColor>& color);

// Paragraph changes over every paragraph the selection touches.
using ParagraphChange = std::function<void(QTextBlockFormat&)>;
void changeParagraphs(QTextCursor& cursor, const ParagraphChange& change);
// Qt's horizontal alignment (AlignLeft, AlignHCenter, AlignRight, AlignJustify).
void setAlignment(QTextCursor& cursor, Qt::Alignment alignment);
// Line height as a multiple of the single line (1.0, 1.15, 1.5, 2.0).
void setLineSpacing(QTextCursor& cursor, qreal multiple);
qreal lineSpacing(const QTextBlockFormat& format);
// Moves the paragraphs' left edge by `points` (never left of the margin).
void shiftIndent(QTextCursor& cursor, qreal points);
// Sets the paragraphs' indents in points from the left margin: `head` for
// every line but the first, `firstLine` for the first (never negative).
void setIndents(QTextCursor& cursor, qreal head, qreal firstLine);

// The named paragraph styles, in menu order.
QStringList styleNames();
// "Title", "Heading 1" to "Heading 3", "Quote"; any other name is the body.
QFont styleFont(const QString& name);
QColor styleColor(const QString& name);
// Font and colour of the style over the selected paragraphs; in an empty
// last paragraph only the typing font.
void applyStyle(QTextCursor& cursor, const QString& name);

} // namespace WPCommands
