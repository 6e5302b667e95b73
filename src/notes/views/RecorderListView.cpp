#include "notes/views/RecorderListView.h"

#include <QApplication>
#include <QFocusEvent>
#include <QInputMethod>
#include <QItemSelectionModel>

RecorderListView::RecorderListView(QWidget* parent)
    : QListView(parent)
{
}

void RecorderListView::focusInEvent(QFocusEvent* event)
{
    // What the item view does on focus, without repainting the viewport.
    QItemSelectionModel* selection = selectionModel();
    QModelIndex current = currentIndex();
    if (selection && !current.isValid() && event->reason() != Qt::MouseFocusReason) {
        const bool autoScroll = hasAutoScroll();
        setAutoScroll(false);
        const QModelIndex first = moveCursor(MoveNext, Qt::NoModifier);
        if (first.isValid() && (first.flags() & Qt::ItemIsEnabled)) {
            selection->setCurrentIndex(first, QItemSelectionModel::NoUpdate);
            current = first;
        }
        setAutoScroll(autoScroll);
    }
    setAttribute(Qt::WA_InputMethodEnabled, current.isValid() && (current.flags() & Qt::ItemIsEditable));
}

void RecorderListView::focusOutEvent(QFocusEvent*)
{
    if (qApp->autoSipEnabled() && testAttribute(Qt::WA_InputMethodEnabled))
        QGuiApplication::inputMethod()->hide();
}
