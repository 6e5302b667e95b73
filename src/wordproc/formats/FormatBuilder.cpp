// Building a document from what a reader found: paragraphs of runs, table
// cells on a grid with their spans, and notes after the body.
#include "wordproc/formats/FormatSupport.h"

#include <QHash>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextTable>

namespace FormatSupport {

// ---- building -----------------------------------------------------------------

Builder::Builder(QTextDocument* document)
    : m_cursor(document)
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
    Para para{format, charFormat, m_runs};
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

void Builder::endRow()
{
    if (m_inCell)
        endCell();
    if (m_row.isEmpty())
        return;
    // Word's own limit: cells beyond it join the last one, so that a row of
    // thousands of cells cannot make every row of the table that wide.
    while (m_row.size() > kMaxColumns)
        m_row[kMaxColumns - 1].paras += m_row.takeAt(kMaxColumns).paras;
    int width = 0;
    for (const Cell& c : std::as_const(m_row))
        width += c.columns;
    m_columns = std::clamp(width, m_columns, kMaxColumns);
    m_rows.append(m_row);
    m_row.clear();
    // A table of absurd size goes on as a table of its own.
    if (qint64(m_rows.size()) * m_columns >= kMaxTableCells)
        writeTable();
}

void Builder::writeTable()
{
    if (m_rows.isEmpty())
        return;
    // Grid positions: each cell at the next position of its row that no
    // cell above spans into.
    struct Placed {
        int row = 0;
        int column = 0;
        int rows = 1;
        int columns = 1;
        const Cell* cell = nullptr;
        QList<const Cell*> joined; // continuation cells merged into this one
    };
    QList<Placed> placed;
    QHash<qint64, qsizetype> at; // row * kMaxColumns + column -> index into placed (origins only)
    QHash<qint64, bool> taken;
    int columns = 1;
    const int rowCount = int(m_rows.size());
    for (int r = 0; r < rowCount; ++r) {
        int c = 0;
        for (const Cell& cell : std::as_const(m_rows[r])) {
            while (c < kMaxColumns && taken.value(qint64(r) * kMaxColumns + c))
                ++c;
            if (c >= kMaxColumns)
                break;
            const int width = std::min(cell.columns, kMaxColumns - c);
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
                for (int x = c; x < c + width; ++x) {
                    taken.insert(qint64(y) * kMaxColumns + x, true);
                    at.insert(qint64(y) * kMaxColumns + x, origin);
                }
            columns = std::max(columns, c + width);
            c += width;
        }
    }
    // The whole table at once: Qt adds rows one by one in time proportional
    // to the table's size.
    QTextTableFormat tf;
    tf.setBorder(1);
    tf.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    tf.setCellPadding(4);
    tf.setCellSpacing(0);
    if (!m_columnWidths.isEmpty()) {
        tf.setWidth(QTextLength(QTextLength::PercentageLength, 100));
        tf.setColumnWidthConstraints(WPTextModel::columnShares(m_columnWidths, columns));
    }
    // Qt puts a table after the block it is inserted at the end of.
    QTextTable* table = m_cursor.insertTable(rowCount, columns, tf);
    for (const Placed& p : std::as_const(placed)) {
        const int rows = std::min(p.rows, rowCount - p.row);
        const int cols = std::min(p.columns, columns - p.column);
        bool free = true;
        for (int y = p.row; y < p.row + rows && free; ++y)
            for (int x = p.column; x < p.column + cols && free; ++x) {
                const QTextTableCell cell = table->cellAt(y, x);
                free = cell.rowSpan() == 1 && cell.columnSpan() == 1;
            }
        if (free && (rows > 1 || cols > 1))
            table->mergeCells(p.row, p.column, rows, cols);
    }
    for (const Placed& p : std::as_const(placed)) {
        QTextTableCell cell = table->cellAt(p.row, p.column);
        if (cell.row() != p.row || cell.column() != p.column)
            continue;
        if (p.cell->background.isValid()) {
            QTextTableCellFormat cf = cell.format().toTableCellFormat();
            cf.setBackground(p.cell->background);
            cell.setFormat(cf);
        }
        QList<Para> paras = p.cell->paras;
        for (const Cell* joined : p.joined) {
            bool empty = true;
            for (const Para& para : joined->paras)
                empty = empty && para.runs.isEmpty();
            if (!empty)
                paras += joined->paras;
        }
        QTextCursor cursor = cell.firstCursorPosition();
        bool fresh = true;
        for (const Para& para : std::as_const(paras)) {
            writePara(cursor, para, fresh);
            fresh = false;
        }
    }
    m_rows.clear();
    m_columns = 0;
    m_columnWidths.clear();
    m_cursor = table->lastCursorPosition();
    m_cursor.movePosition(QTextCursor::NextBlock);
    m_fresh = true;
}

void Builder::endTable()
{
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
