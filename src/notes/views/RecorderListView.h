#pragma once

#include <QListView>

// The recorder's list of notes. Its rows show no focus: the list taking or
// losing the focus (the window activated, a field of the open row clicked)
// paints nothing again, where a plain list view repaints every visible row.
// The rest of what the focus does stays: the first row is current when the
// keyboard or the window's activation brings the focus in, and input
// methods follow the current row. A list that gets rows while hidden makes
// its first row current then, so that the focus arriving with the window's
// activation has nothing to repaint.
class RecorderListView : public QListView {
    Q_OBJECT
public:
    explicit RecorderListView(QWidget* parent = nullptr);

    void setModel(QAbstractItemModel* model) override;
    void reset() override;

protected:
    void rowsInserted(const QModelIndex& parent, int start, int end) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    // The first row shown made current, without scrolling.
    void makeFirstCurrent();
    void firstCurrentWhileHidden();
};
