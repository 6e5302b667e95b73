// Building a document from what a reader found: paragraphs of runs, table
// cells placed on a grid with their spans (tables inside cells too), and
// notes after the body. The tables themselves are made by the text model's
// builder.
#include "wordproc/formats/FormatSupport.h"

#include <QHash>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextTable>
#include <algorithm>
#include <cmath>

namespace FormatSupport {

// ---- building -----------------------------------------------------------------

Builder::Builder(QTextDocument* document)
    : m_model(document)
    , m_cursor(document)
{
}

void Builder::text(const QString& text, const QTextCharFormat& format)
{
    QString clean;
    clean.reserve(text.size());
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u == '\n' || u == QChar::ParagraphSeparator || u == 0x0B)
            clean.append(QChar::LineSeparator);
        else if (u == '\t' || u >= 0x20)
            clean.append(u == QChar::ObjectReplacementCharacter ? QChar() : c);
    }
    clean.remove(QChar());
    if (clean.isEmpty())
        return;
    if (!m_runs.isEmpty() && !m_runs.last().picture && m_runs.last().format == format) {
        m_runs.last().text += clean;
        return;
    }
    m_runs.append({clean, format, std::nullopt});
}

void Builder::picture(const Picture& picture, const QTextCharFormat& format)
{
    m_runs.append({QString(), format, picture});
}

void Builder::endParagraph(const QTextBlockFormat& format, const QTextCharFormat& charFormat)
{
    Para para{format, charFormat, m_runs, nullptr};
    m_runs.clear();
    if (m_inCell) {
        m_cell.paras.append(para);
        return;
    }
    if (inTable())
        endTable();
    writePara(m_cursor, para, m_fresh);
    m_fresh = false;
}

void Builder::writePara(QTextCursor& cursor, const Para& para, bool fresh)
{
    if (fresh) {
        cursor.setBlockFormat(para.format);
        // A table cell keeps its spans and background in its first block's
        // character format: add to it rather than replace it.
        if (cursor.currentTable())
            cursor.mergeBlockCharFormat(para.charFormat);
        else
            cursor.setBlockCharFormat(para.charFormat);
    } else {
        cursor.insertBlock(para.format, para.charFormat);
    }
    for (const Run& run : para.runs) {
        if (run.picture)
            insertPicture(cursor, *run.picture, run.format);
        else
            cursor.insertText(run.text, run.format);
    }
}

void Builder::beginCell()
{
    if (m_inCell)
        return;
    m_inCell = true;
    m_cell = Cell();
}

void Builder::setCellSpan(int rows, int columns)
{
    if (!m_inCell)
        beginCell();
    m_cell.rows = std::clamp(rows, 1, 10000);
    m_cell.columns = std::clamp(columns, 1, kMaxColumns);
}

void Builder::setCellMerge(int merge)
{
    if (!m_inCell)
        beginCell();
    m_cell.merge = merge;
}

void Builder::setCellBackground(const QColor& color)
{
    if (!m_inCell)
        beginCell();
    m_cell.background = color;
}

void Builder::setCellExtent(qreal left, qreal right)
{
    if (!m_inCell)
        beginCell();
    if (std::isfinite(left) && std::isfinite(right) && right > left) {
        m_cell.left = left;
        m_cell.right = right;
    }
}

void Builder::endCell()
{
    if (!m_inCell)
        beginCell();
    if (!m_runs.isEmpty() || m_cell.paras.isEmpty())
        endParagraph(QTextBlockFormat());
    m_row.append(m_cell);
    m_cell = Cell();
    m_inCell = false;
}

void Builder::defineRow(const QList<CellDefinition>& cells)
{
    if (m_inCell)
        endCell();
    for (qsizetype i = 0; i < std::min(cells.size(), m_row.size()); ++i) {
        const CellDefinition& d = cells.at(i);
        Cell& c = m_row[i];
        if (std::isfinite(d.left) && std::isfinite(d.right) && d.right > d.left) {
            c.left = d.left;
            c.right = d.right;
        }
        c.merge |= d.merge;
        if (d.background.isValid())
            c.background = d.background;
    }
}

void Builder::endRow()
{
    if (m_inCell)
        endCell();
    if (m_row.isEmpty())
        return;
    // Word's own limit: cells beyond it join the last one, so that a row of
    // thousands of cells cannot make every row of the table that wide.
    if (m_row.size() > kMaxColumns) {
        Cell& last = m_row[kMaxColumns - 1];
        for (qsizetype i = kMaxColumns; i < m_row.size(); ++i)
            last.paras += m_row.at(i).paras;
        if (last.right > last.left && m_row.last().right > last.right)
            last.right = m_row.last().right;
        m_row.resize(kMaxColumns);
    }
    int width = 0;
    for (const Cell& c : std::as_const(m_row))
        width += c.columns;
    m_columns = std::clamp(width, m_columns, kMaxColumns);
    m_rows.append(m_row);
    m_row.clear();
    // A table of absurd size goes on as a table of its own.
    if (m_outer.isEmpty() && qint64(m_rows.size()) * m_columns >= kMaxTableCells)
        writeTable();
}

struct Builder::Placed {
    int row = 0;
    int column = 0;
    int rows = 1;
    int columns = 1;
    const Cell* cell = nullptr;
    QList<const Cell*> joined; // continuation cells merged into this one
};

namespace {

// The columns of a table whose cells all have edges: the union of every
// row's edges, edges closer than a hair's breadth (two units: a tenth of a
// point in twips, what other programs' rounding leaves) taken as one.
// Empty when the union makes too many columns.
QList<qreal> unionOfEdges(const QList<qreal>& edges)
{
    QList<qreal> sorted = edges;
    std::sort(sorted.begin(), sorted.end());
    if (sorted.size() < 2)
        return {};
    constexpr qreal hair = 2;
    QList<qreal> out;
    for (const qreal e : std::as_const(sorted))
        if (out.isEmpty() || e - out.last() > hair)
            out.append(e);
    if (out.size() < 2 || out.size() - 1 > kMaxColumns)
        return {};
    return out;
}

// The index of the column edge nearest to `x`.
int nearestEdge(const QList<qreal>& edges, qreal x)
{
    int best = 0;
    for (int i = 1; i < edges.size(); ++i)
        if (std::abs(edges[i] - x) < std::abs(edges[best] - x))
            best = i;
    return best;
}

} // namespace

QList<Builder::Placed> Builder::place(int rowCount, int& columns, QList<qreal>& widths) const
{
    // Cells with edges are placed by them; otherwise each cell goes to the
    // next position of its row that no cell above spans into.
    QList<qreal> allEdges;
    bool extents = true;
    for (const QList<Cell>& row : m_rows)
        for (const Cell& cell : row) {
            extents = extents && cell.right > cell.left;
            allEdges << cell.left << cell.right;
        }
    QList<qreal> edges = extents ? unionOfEdges(allEdges) : QList<qreal>();
    if (qint64(rowCount) * edges.size() > kMaxTableCells)
        edges.clear();
    if (!edges.isEmpty()) {
        widths.clear();
        for (qsizetype i = 1; i < edges.size(); ++i)
            widths.append(edges[i] - edges[i - 1]);
    }
    QList<Placed> placed;
    QHash<qint64, qsizetype> at; // row * kMaxColumns + column -> index into placed
    columns = 1;
    for (int r = 0; r < rowCount; ++r) {
        int c = 0;
        for (const Cell& cell : std::as_const(m_rows[r])) {
            int width = cell.columns;
            if (!edges.isEmpty()) {
                c = std::min(nearestEdge(edges, cell.left), int(edges.size()) - 2);
                width = std::max(1, nearestEdge(edges, cell.right) - c);
            } else {
                while (c < kMaxColumns && at.contains(qint64(r) * kMaxColumns + c))
                    ++c;
            }
            if (c >= kMaxColumns)
                break;
            width = std::min(width, kMaxColumns - c);
            const int height = std::min(cell.rows, rowCount - r);
            // A continuation joins the cell it continues.
            qsizetype origin = -1;
            if ((cell.merge & ContinuesLeft) && c > 0)
                origin = at.value(qint64(r) * kMaxColumns + c - 1, -1);
            if (origin < 0 && (cell.merge & ContinuesUp) && r > 0)
                origin = at.value(qint64(r - 1) * kMaxColumns + c, -1);
            if (origin >= 0) {
                Placed& o = placed[origin];
                if (cell.merge & ContinuesLeft && o.row == r)
                    o.columns = std::max(o.columns, c + width - o.column);
                else
                    o.rows = std::max(o.rows, r + 1 - o.row);
                o.joined.append(&cell);
            } else {
                origin = placed.size();
                placed.append({r, c, height, width, &cell, {}});
            }
            for (int y = r; y < r + height; ++y)
                for (int x = c; x < c + width; ++x)
                    at.insert(qint64(y) * kMaxColumns + x, origin);
            columns = std::max(columns, c + width);
            c += width;
        }
    }
    return placed;
}

std::shared_ptr<Builder::Pending> Builder::collect() const
{
    const int rowCount = int(m_rows.size());
    int columns = 1;
    QList<qreal> widths = m_columnWidths;
    const QList<Placed> placed = place(rowCount, columns, widths);
    // Cells that overlap one placed before them keep their text in that one.
    QList<int> owner(qsizetype(rowCount) * columns, -1);
    auto pending = std::make_shared<Pending>();
    WPTextModel::Table& table = pending->table;
    table.rows = rowCount;
    table.columns = columns;
    table.columnWidths = widths;
    QList<QList<Para>>& content = pending->content;
    for (const Placed& p : placed) {
        const int rows = std::min(p.rows, rowCount - p.row);
        const int cols = std::min(p.columns, columns - p.column);
        bool free = true;
        for (int y = p.row; y < p.row + rows && free; ++y)
            for (int x = p.column; x < p.column + cols && free; ++x)
                free = owner[qsizetype(y) * columns + x] < 0;
        QList<Para> paras = p.cell->paras;
        for (const Cell* joined : p.joined) {
            bool empty = true;
            for (const Para& para : joined->paras)
                empty = empty && para.runs.isEmpty();
            if (!empty)
                paras += joined->paras;
        }
        WPTextModel::TableCell cell;
        cell.row = p.row;
        cell.column = p.column;
        cell.background = p.cell->background;
        const int index = int(table.cells.size());
        if (free) {
            cell.rowSpan = rows;
            cell.columnSpan = cols;
            for (int y = p.row; y < p.row + rows; ++y)
                for (int x = p.column; x < p.column + cols; ++x)
                    owner[qsizetype(y) * columns + x] = index;
        } else if (const int o = owner[qsizetype(p.row) * columns + p.column]; o >= 0) {
            // Its place lies under another cell: its text follows there.
            content[o] += paras;
            continue;
        } else {
            owner[qsizetype(p.row) * columns + p.column] = index;
        }
        table.cells.append(cell);
        content.append(paras);
    }
    return pending;
}

void Builder::writeCell(QTextCursor& cursor, const QList<Para>& paras, bool fresh)
{
    for (const Para& para : paras) {
        if (para.nested) {
            // Qt keeps a paragraph before and after a table in a cell.
            const Pending& inner = *para.nested;
            m_model.insertTable(cursor, inner.table, [this, &inner](QTextCursor& c, qsizetype i, bool free) {
                writeCell(c, inner.content.at(i), free);
            });
            fresh = true;
            continue;
        }
        writePara(cursor, para, fresh);
        fresh = false;
    }
}

void Builder::writeTable()
{
    if (m_rows.isEmpty())
        return;
    const std::shared_ptr<Pending> pending = collect();
    m_model.addTable(pending->table, [&](QTextCursor& cursor, qsizetype i, bool fresh) {
        writeCell(cursor, pending->content.at(i), fresh);
    });
    m_rows.clear();
    m_columns = 0;
    m_columnWidths.clear();
    m_cursor.movePosition(QTextCursor::End);
    m_fresh = true;
}

void Builder::beginNestedTable()
{
    if (!m_inCell)
        beginCell();
    if (!m_runs.isEmpty())
        endParagraph(QTextBlockFormat());
    m_outer.append({m_cell, m_row, m_rows, m_columns, m_columnWidths});
    m_cell = Cell();
    m_row.clear();
    m_rows.clear();
    m_columns = 0;
    m_columnWidths.clear();
    m_inCell = false;
}

bool Builder::beginTableAt(int level, QMap<QString, int>& notKept)
{
    const bool inner = depth() == level - 1;
    const bool kept = inner && level <= WPTextModel::kMaxTableNesting;
    if (inner && !kept)
        ++notKept[QStringLiteral("deeply nested table")];
    if (kept && level > 1)
        beginNestedTable();
    return kept;
}

void Builder::endNestedTable()
{
    if (m_outer.isEmpty())
        return;
    if (m_inCell || !m_row.isEmpty()) {
        QList<Run> pending = m_runs;
        m_runs.clear();
        endRow();
        m_runs = pending;
    }
    std::shared_ptr<Pending> nested = m_rows.isEmpty() ? nullptr : collect();
    Open outer = m_outer.takeLast();
    m_cell = outer.cell;
    m_row = outer.row;
    m_rows = outer.rows;
    m_columns = outer.columns;
    m_columnWidths = outer.columnWidths;
    m_inCell = true;
    if (nested) {
        Para para;
        para.nested = nested;
        m_cell.paras.append(para);
    }
}

void Builder::endTable()
{
    while (!m_outer.isEmpty())
        endNestedTable();
    if (m_inCell || !m_row.isEmpty()) {
        // A paragraph of the main text cut a row short: keep its cells.
        QList<Run> pending = m_runs;
        m_runs.clear();
        endRow();
        m_runs = pending;
    }
    writeTable();
}

void Builder::finish(const QTextBlockFormat& format)
{
    if (m_inCell && !m_runs.isEmpty())
        endParagraph(format);
    if (inTable())
        endTable();
    if (!m_runs.isEmpty())
        endParagraph(format);
}

void appendNotes(QTextDocument* document, const QList<std::shared_ptr<QTextDocument>>& notes)
{
    if (notes.isEmpty())
        return;
    QTextCursor cursor(document);
    cursor.movePosition(QTextCursor::End);
    const QString line(20, QChar(0x2500));
    if (cursor.block().length() == 1 && !cursor.currentTable() && document->characterCount() > 1) {
        cursor.insertText(line);
    } else {
        cursor.insertBlock();
        cursor.insertText(line);
    }
    for (const auto& note : notes) {
        cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
        cursor.insertFragment(QTextDocumentFragment(note.get()));
    }
}

void inlineStory(const QTextDocument& story, const QTextCharFormat& lineFormat,
                 const std::function<void(const QString&, const QTextCharFormat&)>& deliver)
{
    bool first = true;
    for (QTextBlock b = story.begin(); b.isValid(); b = b.next()) {
        if (b.length() <= 1 && !b.next().isValid())
            break; // the story's closing empty paragraph
        if (!first)
            deliver(QString(QChar::LineSeparator), lineFormat);
        first = false;
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            if (f.isValid() && !f.charFormat().isImageFormat())
                deliver(f.text(), f.charFormat());
        }
    }
}

} // namespace FormatSupport
