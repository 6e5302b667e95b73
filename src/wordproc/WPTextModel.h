#pragma once

#include "wordproc/WPText.h"

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QList>
#include <QSizeF>
#include <QString>
#include <QTextLength>
#include <functional>
#include <memory>
#include <optional>
#include <variant>

class QTextDocument;
class QTextCursor;
class QTextImageFormat;

// The word processor's text as the file formats, counters and commands see
// it: paragraphs in order, each with its paragraph style, its attribute runs
// and, inside a table, the cell it belongs to. Lengths are points; the one
// conversion to and from the layout's pixels is WPText::pixelsPerPoint().
//
// paragraphs() walks a QTextDocument; Builder makes one from the same model,
// so every reader produces what every writer expects.
namespace WPTextModel {

struct Picture {
    QByteArray data;     // the original file bytes, when known
    QString fileName;    // preferred file name, "image1.png"
    QSizeF sizePt;       // shown size; empty when the image keeps its own
    QImage image;        // decoded; null when the bytes are no image

    // The image itself, decoding `data` when `image` is null.
    QImage decoded() const;
};

struct Run {
    QString text;        // tabs as U+0009, line breaks as U+2028, a picture as U+FFFC
    QString family;      // empty: no font given
    qreal pointSize = 0; // 0: no size given
    // The family and size were not the run's own but the document's
    // defaults (writers that leave unset attributes out skip them).
    bool defaultFamily = false;
    bool defaultSize = false;
    bool bold = false;
    bool italic = false;
    int underline = WPText::StyleNone; // WPText::LineStyle integers
    int strike = WPText::StyleNone;
    QColor foreground;   // invalid: none
    QColor background;   // invalid: none
    int baseline = 0;    // 0 normal, 1 superscript, 2 subscript
    bool link = false;
    QString href;
    std::optional<Picture> picture;
    QString resource;    // a picture's image name in the walked document, if any

    // Same character attributes (text and picture aside).
    bool sameFormat(const Run& other) const;
};

struct ParagraphStyle {
    Qt::Alignment alignment = Qt::AlignLeft; // AlignLeft, AlignHCenter, AlignRight or AlignJustify
    qreal headIndent = 0;          // left edge of every line but the first
    qreal firstLineHeadIndent = 0; // left edge of the first line
    qreal tailIndent = 0;          // right indent
    qreal spaceBefore = 0;
    qreal spaceAfter = 0;
    qreal lineHeightMultiple = 0;  // 0 (or 1): single spacing
    QList<qreal> tabStops;         // points from the left edge
    QList<int> tabKinds;           // QTextOption::TabType per stop; missing ones are left stops
    int listKind = WPText::ListNone;

    bool operator==(const ParagraphStyle& other) const;
};

// The table cell a paragraph of a table belongs to.
struct CellRef {
    quintptr table = 0; // identity of the table within one walk
    int tableRows = 0;
    int tableColumns = 0;
    int row = 0;
    int column = 0;
    int rowSpan = 1;
    int columnSpan = 1;
    QColor background;  // invalid: none
    // Each column's share of the table's width, in any unit; empty when the
    // table's columns are sized by their text.
    QList<qreal> columnWidths;
};

struct Table;

// How deep tables may sit inside cells of tables; a table deeper than that
// joins the cell that holds it as paragraphs.
inline constexpr int kMaxTableNesting = 6;

struct Paragraph {
    ParagraphStyle style;
    QList<Run> runs;
    std::optional<CellRef> cell;
    int position = -1; // where the paragraph starts in the walked document
    // In a table cell (from parts()): a table nested in the cell at this
    // place; the paragraph then stands for the table and has no runs.
    std::shared_ptr<const Table> table = nullptr;

    QString text() const;
    bool hasPicture() const;
};

// Every paragraph of `doc` in reading order. A nested table's paragraphs
// belong to the outer cell that holds them (parts() keeps it a table).
QList<Paragraph> paragraphs(const QTextDocument& doc);

// The paragraph between the body and the footnotes or endnotes that follow
// it: a short line.
Paragraph noteSeparator();

// The label of the n-th note (from 1): "1", "2", … for footnotes, "i",
// "ii", … for endnotes.
QString noteLabel(int number, bool endnote);

// The list kind of a paragraph that holds the editor's literal list marker
// ("\t•\t…" or "\t12.\t…") and tab stops; ListNone otherwise.
int literalListKind(const Paragraph& paragraph);

// Qt's column constraints for `columns` columns of the given shares:
// missing or unusable ones take the average of the others, none usable
// gives equal columns.
QList<QTextLength> columnShares(const QList<qreal>& widths, int columns);

// A table to add through Builder.
struct TableCell {
    int row = 0;
    int column = 0;
    int rowSpan = 1;
    int columnSpan = 1;
    QColor background;
    QList<Paragraph> paragraphs;
};

struct Table {
    int rows = 0;
    int columns = 0;
    QList<TableCell> cells;
    // Each column's share of the table's width, in any unit (a file's grid
    // widths); columns without one share what is left equally.
    QList<qreal> columnWidths;

    // For each grid position, row by row, the index in `cells` of the cell
    // covering it (the one starting there or a merged cell spanning it);
    // -1 for none.
    QList<qsizetype> grid() const;
};

// One part of a document's top level: a paragraph, or a table with its
// cells; a table in a cell is a paragraph of that cell holding the table
// (down to kMaxTableNesting; deeper ones are paragraphs of their cell).
using Part = std::variant<Paragraph, Table>;
QList<Part> parts(const QTextDocument& doc);

// A cell's paragraphs with those of the tables nested in it in their
// place, cell by cell (for writers that keep no table in a cell).
QList<Paragraph> flattened(const QList<Paragraph>& paragraphs);

// Appends paragraphs and tables to an empty document. Qt keeps a paragraph
// before and after every table; the first paragraph added after a table
// takes the one after it.
class Builder {
public:
    explicit Builder(QTextDocument* doc);
    void addParagraph(const Paragraph& paragraph);
    void addTable(const Table& table);
    // Adds `table` with cells whose content the caller writes: `fill` gets
    // a cursor at the end of the cell, the index of the cell in
    // `table.cells` (whose own paragraphs are not used) and whether the
    // cell's one paragraph is still empty and free to take the first.
    using CellFiller = std::function<void(QTextCursor& cursor, qsizetype cell, bool reuseBlock)>;
    void addTable(const Table& table, const CellFiller& fill);
    // Inserts `table` after the block of `cursor` (inside a cell: a nested
    // table) and leaves `cursor` in the empty paragraph Qt keeps after it.
    void insertTable(QTextCursor& cursor, const Table& table, const CellFiller& fill);
    int pictureCount() const { return m_pictures; }

    // The image format that shows `picture`; its image is added to `doc` as
    // a "wpimage:" resource.
    static QTextImageFormat pictureFormat(QTextDocument* doc, const Picture& picture);

private:
    void fill(QTextCursor& cursor, const Paragraph& paragraph, bool reuseBlock);
    void fillCell(QTextCursor& cursor, const QList<Paragraph>& paragraphs, bool reuseBlock);
    QTextDocument* m_doc;
    bool m_lastBlockFree = true;
    int m_pictures = 0;
    int m_depth = 0; // tables open around the cell being filled
};

} // namespace WPTextModel
