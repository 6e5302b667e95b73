#pragma once

#include "wordproc/WPTextModel.h"

#include <QByteArray>
#include <QColor>
#include <QList>
#include <QStringList>
#include <optional>

// The pieces of a Word 97 file that the writer assembles: little-endian
// numbers, formatted disk pages of character and paragraph properties, the
// style sheet and font table, and picture records. Internal to the writer.
namespace Word97::Parts {

inline constexpr quint32 kTextStart = 0x800; // where the text starts in the WordDocument stream
inline constexpr int kPage = 512;

void add8(QByteArray& b, int v);
void add16(QByteArray& b, int v);
void add32(QByteArray& b, quint32 v);
void set16(QByteArray& b, qsizetype at, int v);
void set32(QByteArray& b, qsizetype at, quint32 v);

// Whole twips, truncated toward zero and kept in the 16-bit range.
int twips(qreal points);
quint32 colorRef(const QColor& c);
// The palette index of `c`, or 0 when the palette has no such colour.
int exactIco(const QColor& c);
int nearestIco(const QColor& c);

// A range of characters and its property modifiers.
struct PropRun {
    quint32 cpStart = 0;
    quint32 cpEnd = 0;
    QByteArray grpprl;
};

// The pages (512 bytes each, the first at page number `firstPage`) that
// give every run its modifiers; `pages` gets their page numbers.
QByteArray formattedPages(const QList<PropRun>& runs, bool paragraphs, quint32 firstPage, QList<quint32>& pages);

// A style sheet of Normal and Default Paragraph Font.
QByteArray styleSheet();
QByteArray fontTable(const QStringList& fonts);

// An inline picture's record for the Data stream: its descriptor, then a
// drawing shape whose blip store entry holds the PNG or JPEG bytes; empty
// when the picture has no image.
QByteArray pictureRecord(const WPTextModel::Picture& picture, int shapeId);

// The picture whose record starts at `at` in the Data stream `data`: its
// PNG, JPEG or GIF bytes from the blip store entry, at its shown size;
// nothing for other kinds or a damaged record.
std::optional<WPTextModel::Picture> readPicture(const QByteArray& data, qint64 at);

} // namespace Word97::Parts
