#include "wordproc/WPTableEdit.h"

#include "wordproc/WPText.h"

#include <QTextCursor>
#include <QTextTable>

namespace WPTableEdit {

namespace {

// Equal column widths after the number of columns changed.
void evenColumns(QTextTable* table)
{
    QTextTableFormat f = table->format();
    QList<QTextLength> widths;
    for (int c = 0; c < table->columns(); ++c)
        widths.append(QTextLength(QTextLength::PercentageLength, 100.0 / table->columns()));
    f.setColumnWidthConstraints(widths);
    table->setFormat(f);
}

} // namespace

bool addRow(QTextCursor& cursor, bool below)
{
    QTextTable* table = cursor.currentTable();
    if (!table)
        return false;
    const QTextTableCell cell = table->cellAt(cursor);
    table->insertRows(cell.row() + (below ? cell.rowSpan() : 0), 1);
    return true;
}

bool moveToCell(QTextCursor& cursor, bool back)
{
    QTextTable* table = cursor.currentTable();
    if (!table)
        return false;
    const QTextTableCell cell = table->cellAt(cursor);
    int row = cell.row();
    int column = cell.column();
    if (back) {
        if (--column < 0) {
            column = table->columns() - 1;
            --row;
        }
        if (row < 0) {
            row = 0;
            column = 0;
        }
    } else {
        column += cell.columnSpan();
        if (column >= table->columns()) {
            column = 0;
            row += cell.rowSpan();
        }
        if (row >= table->rows()) {
            table->appendRows(1);
            row = table->rows() - 1;
        }
    }
    // A cell spanning several places is reached at its first one.
    const QTextTableCell target = table->cellAt(row, column);
    cursor.setPosition(target.firstCursorPosition().position());
    cursor.setPosition(target.lastCursorPosition().position(), QTextCursor::KeepAnchor);
    return true;
}

bool addColumn(QTextCursor& cursor, bool right)
{
    QTextTable* table = cursor.currentTable();
    if (!table)
        return false;
    const QTextTableCell cell = table->cellAt(cursor);
    cursor.beginEditBlock();
    table->insertColumns(cell.column() + (right ? cell.columnSpan() : 0), 1);
    evenColumns(table);
    cursor.endEditBlock();
    return true;
}

bool removeRow(QTextCursor& cursor)
{
    QTextTable* table = cursor.currentTable();
    if (!table || table->rows() <= 1)
        return false;
    table->removeRows(table->cellAt(cursor).row(), 1);
    return true;
}

bool removeColumn(QTextCursor& cursor)
{
    QTextTable* table = cursor.currentTable();
    if (!table || table->columns() <= 1)
        return false;
    cursor.beginEditBlock();
    table->removeColumns(table->cellAt(cursor).column(), 1);
    evenColumns(table);
    cursor.endEditBlock();
    return true;
}

bool setCellBackground(QTextCursor& cursor, const std::optional<QColor>& color)
{
    QTextTable* table = cursor.currentTable();
    if (!table)
        return false;
    int firstRow = 0, rows = 0, firstCol = 0, cols = 0;
    if (cursor.hasComplexSelection()) {
        cursor.selectedTableCells(&firstRow, &rows, &firstCol, &cols);
    } else {
        const QTextTableCell cell = table->cellAt(cursor);
        firstRow = cell.row();
        firstCol = cell.column();
        rows = cols = 1;
    }
    cursor.beginEditBlock();
    for (int r = firstRow; r < firstRow + rows; ++r) {
        for (int c = firstCol; c < firstCol + cols; ++c) {
            QTextTableCell cell = table->cellAt(r, c);
            QTextTableCellFormat f = cell.format().toTableCellFormat();
            if (color)
                f.setBackground(*color);
            else
                f.clearBackground();
            cell.setFormat(f);
        }
    }
    cursor.endEditBlock();
    return true;
}

bool setBorders(QTextCursor& cursor, bool on)
{
    QTextTable* table = cursor.currentTable();
    if (!table)
        return false;
    QTextTableFormat f = table->format();
    f.setBorder(on ? WPText::toPixels(1) : 0);
    f.setBorderStyle(on ? QTextFrameFormat::BorderStyle_Solid : QTextFrameFormat::BorderStyle_None);
    table->setFormat(f);
    return true;
}

} // namespace WPTableEdit
