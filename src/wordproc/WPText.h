#pragma once

#include <QTextFormat>
#include <QtGlobal>

// How the word processor keeps, inside Qt's QTextDocument, what Qt's text
// formats cannot say on their own. Every reader, writer, command and view of
// the word processor uses these properties and nothing else for this data.
//
//  - Underline and strike-through styles are the integers of the file formats'
//    attribute model: 0 none, 1 single, 2 thick, 9 double (bit 0x8 = double).
//    Qt's own underline flag stays in step for display (set when the style is
//    non-zero); double underline has no Qt style, so the property carries it.
//  - A list paragraph holds its marker as literal text: a tab, the marker
//    ("•" or "n."), a tab. The block carries the list kind and the head indent
//    and tab stops of a list paragraph; a QTextList is never used (Qt would
//    paint a second marker).
//  - A picture is a QTextImageFormat whose name is a "wpimage:" resource of
//    the document; the original file bytes, the preferred file name and the
//    size in points travel with it so that writers store what was read.
//  - Lengths are points in the model (font sizes, indents, margins, picture
//    bounds); QTextDocument lays out in pixels, converted once by k below.
namespace WPText {

enum Property : int {
    // QTextCharFormat
    UnderlineStyle = QTextFormat::UserProperty + 1, // int
    StrikeStyle,                                     // int
    // QTextImageFormat (pictures)
    PictureData,        // QByteArray: the original PNG/JPEG/... bytes
    PictureFileName,    // QString: preferred file name ("image1.png")
    PictureWidthPt,     // qreal: shown width in points
    PictureHeightPt,    // qreal: shown height in points
    // QTextBlockFormat
    ListKind,           // int: ListNone, ListBullet, ListNumber
};

enum ListKindValue : int { ListNone = 0, ListBullet = 1, ListNumber = 2 };

enum LineStyle : int { StyleNone = 0, StyleSingle = 1, StyleThick = 2, StyleDouble = 9 };

// The bullet marker of a bulleted list item.
inline constexpr char16_t kBullet = u'\u2022';

// The list paragraph's geometry in points.
inline constexpr qreal kListHeadIndent = 36.0;
inline constexpr qreal kListTab1 = 11.0;
inline constexpr qreal kListTab2 = 36.0;

// Pixels per point of the document's layout: logical DPI / 72 of the primary
// screen (96 / 72 without one). Computed once.
qreal pixelsPerPoint();
inline qreal toPixels(qreal points) { return points * pixelsPerPoint(); }
inline qreal toPoints(qreal pixels) { return pixels / pixelsPerPoint(); }

} // namespace WPText
