#pragma once

#include <QRect>
#include <QStyledItemDelegate>
#include <QUuid>

class FocusTaskListModel;

// Draws the to-do rows as the row widget looks, without a widget per task:
// done button, title (struck through when done), the session dots, the
// target and trash buttons. The buttons of a drawn row work; the row whose
// title is being edited is a FocusTaskRow (the list opens it in place).
class FocusTaskDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    struct Layout {
        QRect done, title, dots, target, trash;
    };

    explicit FocusTaskDelegate(FocusTaskListModel* list, QObject* parent = nullptr);

    // The width of the ring round the row the keyboard is on.
    static constexpr int kFocusRingWidth = 2;

    int rowHeight() const { return m_rowHeight; }
    Layout layout(const QRect& rect, qint64 pomodoros) const;
    // The row shown by its editor: only its background is drawn.
    void setEditorRow(int row) { m_editorRow = row; }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget*, QAbstractItemModel*, const QModelIndex&) const override {}
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;
    // The help text of the drawn part at `pos` of a row showing `row`, as
    // the row widget's own.
    QString toolTipAt(const QRect& rect, int row, const QPoint& pos) const;
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

Q_SIGNALS:
    // The trash button of a row (drawn or open) was clicked.
    void deleteRequested(const QUuid& id, const QString& title);
    // The open row's background was dragged.
    void dragStarted(const QUuid& id);

protected:
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;

private:
    FocusTaskListModel* m_list;
    int m_editorRow = -1;
    int m_rowHeight = 0;
    QSize m_button;
    int m_marginX = 8;
    int m_spacing = 6;
};
