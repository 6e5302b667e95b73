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
    if ((event->source() && event->source() != this) || selectedIndexes().isEmpty()) {
        event->ignore();
        return;
    }
    const QModelIndex at = indexAt(event->position().toPoint());
    int destination = count();
    // The same rule as the drop indicator of rows that take no drop on
    // themselves: the upper half of a row means before it, the lower after.
    if (at.isValid())
        destination = event->position().y() < visualRect(at).center().y() ? at.row() : at.row() + 1;
    QList<int> rows;
    for (const QModelIndex& i : selectedIndexes())
        rows.append(i.row());
    std::sort(rows.begin(), rows.end());
    event->setDropAction(Qt::MoveAction);
    event->accept();
    stopAutoScroll();
    setState(QAbstractItemView::NoState);
    viewport()->update();
    Q_EMIT moveRequested(rows, destination);
}
