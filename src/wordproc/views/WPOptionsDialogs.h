#pragma once

#include "wordproc/WPText.h"

#include <QDialog>
#include <functional>

class QTextCursor;

// "Table Options…": rows and columns of the table at the caret, the
// background of its selected cells and its borders. Every button runs its
// change through `run` at once (one undo step each).
class WPTableOptionsDialog : public QDialog {
    Q_OBJECT
public:
    using Run = std::function<void(const std::function<bool(QTextCursor&)>&)>;
    WPTableOptionsDialog(bool borders, Run run, QWidget* parent = nullptr);
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
