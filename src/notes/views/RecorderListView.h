#pragma once

#include <QListView>

// The recorder's list of notes. Its rows show no focus: the list taking or
// losing the focus (the window activated, a field of the open row clicked)
// paints nothing again, where a plain list view repaints every visible row.
// The rest of what the focus does stays: the first row becomes current when
// the keyboard brings the focus in, and input methods follow that row.
class RecorderListView : public QListView {
    Q_OBJECT
public:
    explicit RecorderListView(QWidget* parent = nullptr);

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
};
