#include "planner/views/FocusTaskList.h"

#include <QDrag>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

FocusTaskList::FocusTaskList(QWidget* parent)
    : QListView(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
    setDragDropMode(QAbstractItemView::InternalMove);
    setDefaultDropAction(Qt::MoveAction);
    setDragDropOverwriteMode(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setUniformItemSizes(true);
    // Rows are laid out again at every width, so they keep to the list's
    // edge when the window narrows (no sideways scrolling).
    setResizeMode(QListView::Adjust);
}

void FocusTaskList::mousePressEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    const QModelIndex index = indexAt(at);
    if (event->button() == Qt::LeftButton && index.isValid() && titleRect && titleRect(index).contains(at)) {
        // The title: editing, never a drag.
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
        Q_EMIT titlePressed(index.row(), at);
        event->accept();
        return;
    }
    QListView::mousePressEvent(event);
}

void FocusTaskList::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_F2) && currentIndex().isValid()) {
        Q_EMIT editRequested(currentIndex().row());
        event->accept();
        return;
    }
    QListView::keyPressEvent(event);
}

void FocusTaskList::dragRow(int row)
{
    const QModelIndex index = model()->index(row, 0);
    if (!index.isValid())
        return;
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    startDrag(Qt::MoveAction);
}

void FocusTaskList::startDrag(Qt::DropActions)
{
    const QModelIndexList indexes = selectedIndexes();
    if (indexes.isEmpty())
        return;
    auto* drag = new QDrag(this);
    drag->setMimeData(model()->mimeData(indexes));
    const QRect rect = visualRect(indexes.first());
    QPixmap image = viewport()->grab(rect);
    QPainter p(&image);
    p.setCompositionMode(QPainter::CompositionMode_DestinationIn);
    p.fillRect(image.rect(), QColor(0, 0, 0, 190));
    p.end();
    drag->setPixmap(image);
    drag->setHotSpot(viewport()->mapFromGlobal(QCursor::pos()) - rect.topLeft());
    // The drop (ours) reorders through the model; nothing to remove here.
    drag->exec(Qt::MoveAction, Qt::MoveAction);
}

void FocusTaskList::dropEvent(QDropEvent* event)
{
    if (event->source() != this) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::MoveAction);
    event->accept();
    stopAutoScroll();
    setState(QAbstractItemView::NoState);
    viewport()->update();
    dropSelectionAt(event->position().toPoint());
}

int FocusTaskList::dropDestination(const QPoint& pos) const
{
    // The same rule as the drop indicator of rows that take no drop on
    // themselves: the upper half of a row means before it, the lower after.
    const QModelIndex at = indexAt(pos);
    if (!at.isValid())
        return model() ? model()->rowCount() : 0;
    return pos.y() < visualRect(at).center().y() ? at.row() : at.row() + 1;
}

void FocusTaskList::dropSelectionAt(const QPoint& pos)
{
    QList<int> rows;
    for (const QModelIndex& i : selectionModel()->selectedIndexes())
        rows.append(i.row());
    if (rows.isEmpty())
        return;
    std::sort(rows.begin(), rows.end());
    Q_EMIT moveRequested(rows, dropDestination(pos));
}
