#pragma once

#include <QList>
#include <QString>

// Fields as the formats write them: the target of a HYPERLINK instruction,
// and a header or footer template cut into text and page-number fields.
namespace FieldCode {

// The target of a field instruction such as ` HYPERLINK "https://x.org" `
// or ` HYPERLINK \l "intro" ` ("#intro"); empty when the instruction is no
// hyperlink or names nothing.
QString hyperlinkTarget(const QString& instruction);

// The instruction that links to `target` (a "#name" target links inside the
// document).
QString hyperlinkInstruction(const QString& target);

// A header or footer template as other programs show it: "{date}" becomes
// today's date, "{title}" nothing, and "{page}" and "{pages}" fields of
// their own.
struct Piece {
    enum Kind { Text, Page, Pages };
    Kind kind = Text;
    QString text; // for Text
    bool operator==(const Piece&) const = default;
};
QList<Piece> templatePieces(const QString& text);
// The same with the given title and date in place of "{title}" and "{date}".
QList<Piece> templatePieces(const QString& text, const QString& title, const QString& date);

} // namespace FieldCode
