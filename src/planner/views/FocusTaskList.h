#pragma once

#include <QList>
#include <QListWidget>

// The to-do list's rows, reorderable by dragging. A drop does not move the
// rows itself: it reports which shown rows moved where, and the list is
// rebuilt from the model.
class FocusTaskList : public QListWidget {
    Q_OBJECT
public:
    explicit FocusTaskList(QWidget* parent = nullptr);

    // Where rows dropped at `pos` (viewport coordinates) go: before the row
    // under its upper half, after the row under its lower half, or at the end.
    int dropDestination(const QPoint& pos) const;
    // Reports the selected rows as moved to `pos`.
    void dropSelectionAt(const QPoint& pos);

Q_SIGNALS:
    // `rows` (shown positions) go before the shown row at `destination`
    // (count() = after the last).
    void moveRequested(const QList<int>& rows, int destination);

protected:
    void startDrag(Qt::DropActions supportedActions) override;
    void dropEvent(QDropEvent* event) override;
};
