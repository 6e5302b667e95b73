#pragma once

#include <QStyledItemDelegate>

// Draws a cell of the loan window's tables: its text on one line, in the
// cell's font and alignment, where the style would put it, cut short with
// "…" when the column is too narrow. Nothing else is drawn in these cells
// (no selection, focus, icon or check box), so one run of text is all the
// work a cell takes.
class LoanCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};
