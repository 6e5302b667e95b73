#pragma once

#include <QList>
#include <QListView>
#include <functional>

// The to-do list's rows, reorderable by dragging from anywhere on a row but
// its title field. A drop does not move the rows itself: it reports which
// shown rows moved where, and the rows follow the model. A press into a
// drawn row's title opens that row for editing in place.
class FocusTaskList : public QListView {
    Q_OBJECT
public:
    explicit FocusTaskList(QWidget* parent = nullptr);

    // Where rows dropped at `pos` (viewport coordinates) go: before the row
    // under its upper half, after the row under its lower half, or at the end.
    int dropDestination(const QPoint& pos) const;
    // Reports the selected rows as moved to `pos`.
    void dropSelectionAt(const QPoint& pos);
    // Drags the row (a shown position) as a press on it and a move would.
    void dragRow(int row);
    // Where the title of a row is drawn (viewport coordinates); the title
    // area takes presses for editing, not for dragging.
    std::function<QRect(const QModelIndex&)> titleRect;

Q_SIGNALS:
    // `rows` (shown positions) go before the shown row at `destination`
    // (count = after the last).
    void moveRequested(const QList<int>& rows, int destination);
    // The title of the drawn row was pressed at `pos` (viewport coordinates).
    void titlePressed(int row, const QPoint& pos);
    // Return, Enter or F2 on the current row: edit its title.
    void editRequested(int row);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dropEvent(QDropEvent* event) override;
};
