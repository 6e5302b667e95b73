#pragma once

#include <QByteArray>
#include <QSizeF>
#include <QString>
#include <optional>

class QTextCursor;
class QTextDocument;
class QTextDocumentFragment;
class QTextImageFormat;
class QTextTable;

// Tables, pictures and whole paragraphs put into the text, each as one undo
// step at the editor's cursor.
namespace WPInsert {

// A table of `rows` × `cols` empty cells of equal width on a line of its
// own, its first row headed "Column 1", "Column 2", … in bold on a pale
// background, replacing the selection. No empty paragraph is added before it.
// The cursor ends up in the paragraph after the table.
QTextTable* insertTable(QTextCursor& cursor, int rows, int cols);

// A picture's natural size in points: its pixels at the resolution the file
// states (72 dots per inch when it states none). Nothing when the bytes are
// not an image.
std::optional<QSizeF> picturePointSize(const QByteArray& bytes);
// The shown size: scaled down to `textWidth` when wider, else unchanged.
QSizeF fitPicture(const QSizeF& size, qreal textWidth);
// The character format that shows `bytes` at `sizePt`, registered with the
// document as a "wpimage:" resource.
QTextImageFormat pictureFormat(QTextDocument* document, const QByteArray& bytes, const QString& fileName,
                               const QSizeF& sizePt);
// Puts the picture at the cursor (replacing the selection), no wider than
// `textWidth` points. False, and nothing changed, when it is not an image.
bool insertPicture(QTextCursor& cursor, const QByteArray& bytes, const QString& fileName, qreal textWidth);

// `text` as a paragraph of its own at the end of the document: after a line
// break when the last paragraph is not empty, followed by one.
void appendParagraph(QTextDocument* document, const QTextDocumentFragment& text);

} // namespace WPInsert
