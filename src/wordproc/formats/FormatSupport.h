#pragma once

#include "wordproc/WPCommands.h"
#include "wordproc/WPTextModel.h"

#include <QByteArray>
#include <QColor>
#include <QList>
#include <QMap>
#include <QSizeF>
#include <QString>
#include <QTextBlock>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <functional>
#include <memory>
#include <optional>

class QTextDocument;
class QTextFrame;

// What every reader and writer of the word processor shares: the text
// properties in points, pictures kept with their original bytes, one way to
// build a document (paragraphs, runs, tables), and the runs of a document
// walked through WPTextModel as the writers give them.
namespace FormatSupport {

// Bounds for hostile files.
inline constexpr qsizetype kMaxPictureBytes = 64 * 1024 * 1024;
inline constexpr qint64 kMaxPicturePixels = 40'000'000; // decoded pixels
inline constexpr int kMaxPictureSide = 20'000;          // pixels
inline constexpr qreal kMaxLengthPt = 14'400;           // 200 inches
inline constexpr int kMaxColumns = 63;                  // table columns
inline constexpr qint64 kMaxTableCells = 100'000;        // cells of one table

// ---- character properties -------------------------------------------------
// The style integers of a format (Qt's flag alone counts as single).
using WPCommands::underlineStyle;
using WPCommands::strikeStyle;
// Sets the style integer and keeps Qt's own flag in step.
void setUnderlineStyle(QTextCharFormat& format, int style);
void setStrikeStyle(QTextCharFormat& format, int style);
// Qt's flags read by Qt's own HTML reader into our style integers.
void adoptQtLineStyles(QTextCharFormat& format);

QString fontFamily(const QTextCharFormat& format);
void setFontFamily(QTextCharFormat& format, const QString& family);

// ---- paragraph properties, points ------------------------------------------
qreal headIndent(const QTextBlockFormat& format);
qreal firstLineHeadIndent(const QTextBlockFormat& format);
qreal tailIndent(const QTextBlockFormat& format);
void setIndents(QTextBlockFormat& format, qreal head, qreal firstLine, qreal tail);
// Line-height multiple (1 = single); 0 when the paragraph has none.
qreal lineMultiple(const QTextBlockFormat& format);
void setLineMultiple(QTextBlockFormat& format, qreal multiple);
qreal spaceBefore(const QTextBlockFormat& format);
qreal spaceAfter(const QTextBlockFormat& format);
void setSpacing(QTextBlockFormat& format, qreal before, qreal after);
struct TabStop {
    qreal position = 0; // points
    int type = 0;       // QTextOption::TabType
    bool operator==(const TabStop&) const = default;
};
QList<TabStop> tabStops(const QTextBlockFormat& format);
void setTabStops(QTextBlockFormat& format, const QList<TabStop>& tabs);
int listKind(const QTextBlockFormat& format);
// The marker run at the start of a list paragraph's text ("\t•\t", "\t3.\t"),
// or 0 when the text does not start with one.
int markerLength(const QString& text);
QString markerFor(int kind, int number);

// ---- pictures ---------------------------------------------------------------
struct Picture {
    QByteArray data;   // original file bytes
    QString fileName;  // preferred name ("image1.png")
    QSizeF sizePt;     // shown size in points
    // "png", "jpeg", "gif", ... from the bytes; empty when unknown.
    QString format() const;
};
QString imageFormatOf(const QByteArray& data);
// Decoded pixel size without decoding; invalid when unreadable.
QSize imagePixelSize(const QByteArray& data);
// The file bytes of a walked picture: the original ones when they were kept,
// else the shown image encoded as PNG (empty when there is none).
Picture pictureOf(const WPTextModel::Picture& picture);
// Inserts a picture at the cursor. Pictures too large to decode safely keep
// their bytes (so a save writes them back) but show nothing. A missing size
// is taken from the pixels (one pixel a point).
void insertPicture(QTextCursor& cursor, Picture picture, const QTextCharFormat& base);

// ---- building a document ------------------------------------------------------
// Readers describe the text as paragraphs of runs and tables of cells as
// they come; the builder writes the paragraphs into a QTextDocument through
// one cursor, places each table's cells on its grid and has the text
// model's builder make the table (WPTextModel::Builder), as every reader
// does.
class Builder {
public:
    explicit Builder(QTextDocument* document);
    void text(const QString& text, const QTextCharFormat& format);
    void picture(const Picture& picture, const QTextCharFormat& format);
    // Ends the current paragraph with `format`.
    void endParagraph(const QTextBlockFormat& format, const QTextCharFormat& charFormat = {});
    bool paragraphEmpty() const { return m_runs.isEmpty(); }
    // Table cells: paragraphs ended between beginCell and endCell go to the cell.
    // A cell takes the next grid position of its row that no cell above
    // spans into.
    void beginCell();
    void endCell();
    // Merged cells, for the open cell: spans given outright, or the cell
    // continuing its neighbour to the left or the cell above (the two then
    // become one; its text, if any, joins theirs).
    enum Merge { ContinuesLeft = 1, ContinuesUp = 2 };
    void setCellSpan(int rows, int columns);
    void setCellMerge(int merge);
    void setCellBackground(const QColor& color);
    // The open cell's left and right edge across the page (twips; edges
    // two apart or less are one). When every cell of a table has its edges,
    // the table's columns are the union of all rows' edges and each cell
    // covers the columns between its own: a row that merges columns by
    // writing one wider cell keeps its neighbours in their places.
    void setCellExtent(qreal left, qreal right);
    // The open table's column widths as the file gives them (any unit);
    // without them (and without cell edges) the columns are equal.
    void setColumnWidths(const QList<qreal>& widths) { m_columnWidths = widths; }
    bool hasColumnWidths() const { return !m_columnWidths.isEmpty(); }
    void endRow();
    // The cells of the row being read when their definitions follow them
    // (a nested table's rows in RTF): edges, merge flags and background of
    // each, in order.
    struct CellDefinition {
        qreal left = 0;
        qreal right = -1; // no edges
        int merge = 0;
        QColor background;
    };
    void defineRow(const QList<CellDefinition>& cells);
    // A table inside the open cell: cells and rows from here on are the
    // inner table's until endNestedTable(), which puts it in the cell.
    void beginNestedTable();
    void endNestedTable();
    // A table met `level` tables deep (1 in the body) in a reader that
    // follows the file's nesting: whether it is kept as a table, which it is
    // when the tables around it are, down to the deepest nesting the text
    // model holds; a nested one kept is begun here. The first table too deep
    // is counted in `notKept`; its text joins the cell around it.
    bool beginTableAt(int level, QMap<QString, int>& notKept);
    // How many tables are open: 0 outside tables, 1 in a table, 2 in a
    // table nested in a cell of another, and so on.
    int depth() const
    {
        if (!m_outer.isEmpty())
            return int(m_outer.size()) + 1;
        return m_inCell || !m_row.isEmpty() || !m_rows.isEmpty() ? 1 : 0;
    }
    // Closes an open table; paragraphs after it go to the main text.
    void endTable();
    bool inTable() const { return !m_rows.isEmpty() || !m_row.isEmpty() || !m_outer.isEmpty(); }
    bool inCell() const { return m_inCell; }
    // Flushes what is pending (a last paragraph without its end mark).
    void finish(const QTextBlockFormat& format);

private:
    struct Run {
        QString text;
        QTextCharFormat format;
        std::optional<Picture> picture;
    };
    struct Pending;
    struct Para {
        QTextBlockFormat format;
        QTextCharFormat charFormat;
        QList<Run> runs;
        std::shared_ptr<const Pending> nested; // a table in the cell, in place of the paragraph
    };
    // A table ready for the document, with each cell's paragraphs.
    struct Pending {
        WPTextModel::Table table;
        QList<QList<Para>> content;
    };
    void writePara(QTextCursor& cursor, const Para& para, bool fresh);

    WPTextModel::Builder m_model; // builds the tables
    QTextCursor m_cursor;
    bool m_fresh = true; // the cursor's block is empty and unused
    QList<Run> m_runs;
    bool m_inCell = false;
    struct Cell {
        QList<Para> paras;
        int rows = 1;
        int columns = 1;
        int merge = 0;
        QColor background;
        qreal left = 0;
        qreal right = -1; // no extent
    };
    struct Placed;
    QList<Placed> place(int rowCount, int& columns, QList<qreal>& widths) const;
    std::shared_ptr<Pending> collect() const;
    void writeCell(QTextCursor& cursor, const QList<Para>& paras, bool fresh);
    Cell m_cell;
    void writeTable();
    QList<Cell> m_row;
    QList<QList<Cell>> m_rows; // rows of the open table
    int m_columns = 0;
    QList<qreal> m_columnWidths;
    // The tables around a nested one, with their open cell and rows.
    struct Open {
        Cell cell;
        QList<Cell> row;
        QList<QList<Cell>> rows;
        int columns = 0;
        QList<qreal> columnWidths;
    };
    QList<Open> m_outer;
};

// Footnotes and endnotes read as documents of their own follow the body
// under a line, in order.
void appendNotes(QTextDocument* document, const QList<std::shared_ptr<QTextDocument>>& notes);

// A text box's text as runs for the paragraph it is anchored in: `deliver`
// gets each stretch of text with its format, and a line separator in
// `lineFormat` between the box's paragraphs (pictures are left out).
void inlineStory(const QTextDocument& story, const QTextCharFormat& lineFormat,
                 const std::function<void(const QString&, const QTextCharFormat&)>& deliver);

// ---- writing a walked document ---------------------------------------------
// The runs of a walked paragraph as a writer gives them: text runs without
// stray object characters, empty ones left out, and one run per picture.
QList<WPTextModel::Run> writtenRuns(const WPTextModel::Paragraph& paragraph);
// Takes the first `count` characters of text off the front of `runs` (a list
// paragraph's marker) and returns them as runs of their own.
QList<WPTextModel::Run> takeLeading(QList<WPTextModel::Run>& runs, int count);

// A walked table's column widths in points, scaled to fill `total`; empty
// when the table has none or all its columns are alike (equal columns).
QList<qreal> columnWidthsPt(const WPTextModel::Table& table, qreal total);

// ---- XML ---------------------------------------------------------------------
// Text that an XML 1.0 file can hold: control characters other than tab,
// line feed and carriage return, and lone surrogates are dropped.
QString xmlSafe(const QString& text);

// Length of a "12pt", "1.5in", "2cm", "10mm", "3pc", "16px" value in points;
// nothing when it is not a finite length.
std::optional<qreal> parseLength(const QString& text);

} // namespace FormatSupport
