#pragma once

#include "wordproc/WPDocAttributes.h"
#include "wordproc/WPTextModel.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

class QTextDocument;

// Reads a DOCX package, ours or another program's, into the text model.
namespace DocxReader {

struct Block {
    std::optional<WPTextModel::Paragraph> paragraph;
    std::optional<WPTextModel::Table> table;
};

struct Document {
    QList<Block> blocks;
    WPDocAttributes attributes; // page size and margins of the last section
};

// Limits that keep a hostile package from running away with the reader.
inline constexpr int kMaxPictures = 1000;
inline constexpr int kMaxTableDepth = 8;
inline constexpr int kMaxInlineDepth = 32;
inline constexpr int kMaxTableColumns = 63;
inline constexpr int kMaxTableCells = 100000;
inline constexpr int kMaxTableRows = 10000;
inline constexpr qint64 kMaxParagraphs = 2000000;

std::optional<Document> parse(const QByteArray& package, QString* error);

// parse() into `into` (its contents are replaced); `attributes` gets what the
// package holds.
bool read(const QByteArray& package, QTextDocument* into, WPDocAttributes* attributes, QString* error);

} // namespace DocxReader
