#include "planner/views/FocusTaskList.h"

#include <QDrag>
#include <QDropEvent>
#include <QMimeData>
#include <QPainter>
#include <algorithm>

FocusTaskList::FocusTaskList(QWidget* parent)
    : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
    setDragDropMode(QAbstractItemView::InternalMove);
    setDefaultDropAction(Qt::MoveAction);
    setDragDropOverwriteMode(false);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
}

void FocusTaskList::startDrag(Qt::DropActions)
{
    const QModelIndexList indexes = selectedIndexes();
    if (indexes.isEmpty())
        return;
    auto* drag = new QDrag(this);
    drag->setMimeData(model()->mimeData(indexes));
    if (QWidget* row = indexWidget(indexes.first())) {
        QPixmap image = row->grab();
        QPainter p(&image);
        p.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        p.fillRect(image.rect(), QColor(0, 0, 0, 190));
        p.end();
        drag->setPixmap(image);
        drag->setHotSpot(row->mapFromGlobal(QCursor::pos()));
    }
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
        return count();
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
