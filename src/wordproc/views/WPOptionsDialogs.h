#pragma once

#include "wordproc/WPText.h"

#include <QDialog>
#include <functional>

class QTextCursor;

// "Table Options…": rows and columns of the table at the caret, the
// background of its selected cells and its borders. Every button runs its
// change through `run` at once (one undo step each). With the caret outside
// a table those controls are off and "Insert" puts a new table of the rows
// and columns chosen at the caret (`insert` answers whether the caret is in
// a table afterwards); the controls then work on that table.
class WPTableOptionsDialog : public QDialog {
    Q_OBJECT
public:
    using Run = std::function<void(const std::function<bool(QTextCursor&)>&)>;
    using Insert = std::function<bool(int rows, int cols)>;
    WPTableOptionsDialog(bool inTable, bool borders, Run run, Insert insert, QWidget* parent = nullptr);
};

// "List Options…": the selected paragraphs as a bulleted list, a numbered
// list, or no list.
class WPListOptionsDialog : public QDialog {
    Q_OBJECT
public:
    WPListOptionsDialog(WPText::ListKindValue current, QWidget* parent = nullptr);
    WPText::ListKindValue chosen() const { return m_chosen; }

private:
    WPText::ListKindValue m_chosen;
};
