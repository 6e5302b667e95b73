#include "notes/views/RecorderListView.h"

#include <QApplication>
#include <QFocusEvent>
#include <QInputMethod>
#include <QItemSelectionModel>

RecorderListView::RecorderListView(QWidget* parent)
    : QListView(parent)
{
}

void RecorderListView::makeFirstCurrent()
{
    QItemSelectionModel* selection = selectionModel();
    if (!selection || !model())
        return;
    const int rows = model()->rowCount(rootIndex());
    for (int row = 0; row < rows; ++row) {
        const QModelIndex i = model()->index(row, modelColumn(), rootIndex());
        if (isRowHidden(row) || !(i.flags() & Qt::ItemIsEnabled))
            continue;
        const bool autoScroll = hasAutoScroll();
        setAutoScroll(false);
        selection->setCurrentIndex(i, QItemSelectionModel::NoUpdate);
        setAutoScroll(autoScroll);
        return;
    }
}

void RecorderListView::firstCurrentWhileHidden()
{
    if (!isVisible() && !currentIndex().isValid())
        makeFirstCurrent();
}

void RecorderListView::setModel(QAbstractItemModel* model)
{
    QListView::setModel(model);
    firstCurrentWhileHidden();
}

void RecorderListView::reset()
{
    QListView::reset();
    firstCurrentWhileHidden();
}

void RecorderListView::rowsInserted(const QModelIndex& parent, int start, int end)
{
    QListView::rowsInserted(parent, start, end);
    firstCurrentWhileHidden();
}

void RecorderListView::focusInEvent(QFocusEvent* event)
{
    // What the item view does on focus, without repainting the viewport.
    if (!currentIndex().isValid() && event->reason() != Qt::MouseFocusReason)
        makeFirstCurrent();
    const QModelIndex current = currentIndex();
    setAttribute(Qt::WA_InputMethodEnabled, current.isValid() && (current.flags() & Qt::ItemIsEditable));
}

void RecorderListView::focusOutEvent(QFocusEvent*)
{
    if (qApp->autoSipEnabled() && testAttribute(Qt::WA_InputMethodEnabled))
        QGuiApplication::inputMethod()->hide();
}
