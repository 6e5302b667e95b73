#pragma once

#include "calc/HistoryItem.h"

#include <QList>
#include <QListView>

class QMenu;

// The scientific calculator's history: one row per calculation, newest
// first, each showing its expression over "= " and its result at the
// trailing edge, with a divider under it. A click reuses the entry; its
// context menu offers "Copy Result" and "Insert Result". Rows are drawn, not
// built as widgets, so a long history stays quick.
class HistoryList : public QListView {
    Q_OBJECT
public:
    explicit HistoryList(QWidget* parent = nullptr);

    void setItems(const QList<HistoryItem>& items);
    const QList<HistoryItem>& items() const;

    // The context menu of row `row` (the caller owns it); null for no row.
    QMenu* menuFor(int row, QWidget* parent);
    // Where row `row` is drawn, in viewport coordinates.
    QRect rowRect(int row) const;

Q_SIGNALS:
    void entryClicked(const HistoryItem& item);
    void copyResultRequested(const HistoryItem& item);
    void insertResultRequested(const HistoryItem& item);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    class Model;
    Model* m_model = nullptr;
};
