#pragma once

#include <QColor>
#include <optional>

class QTextCursor;

// Changes to the table at the cursor, each one undo step; all do nothing
// (and return false) when the cursor is not in a table.
namespace WPTableEdit {

bool addRow(QTextCursor& cursor, bool below);
// Tab and Shift+Tab: the cursor moves to the next (or previous) cell and
// selects its text; Tab in the last cell adds a row first, Shift+Tab in the
// first cell stays there.
bool moveToCell(QTextCursor& cursor, bool back);
bool addColumn(QTextCursor& cursor, bool right);
// The last row or column is never removed: remove the table instead.
bool removeRow(QTextCursor& cursor);
bool removeColumn(QTextCursor& cursor);
// Background of the selected cells (or the cursor's cell); none clears it.
bool setCellBackground(QTextCursor& cursor, const std::optional<QColor>& color);
// Cell borders of the whole table: 1 point grey, or none.
bool setBorders(QTextCursor& cursor, bool on);

} // namespace WPTableEdit
