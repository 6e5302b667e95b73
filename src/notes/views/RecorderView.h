#pragma once

#include "notes/views/NoteRow.h"

#include <QPoint>
#include <QPointer>
#include <QTimer>
#include <QUuid>
#include <QWidget>

class NoteRowDelegate;
class QLabel;
class QListView;
class RecorderButton;
class RecorderLevelMeter;
class RecorderListModel;
class RecorderModel;

// The Notes Recorder window's content: the record panel (record button,
// state and clock, level meter, status line) above the list of notes. The
// list is a view over the notes, its rows drawn by a delegate; the selected
// note opens in place as a NoteRow, expanded, for editing. Owns the
// window's model.
class RecorderView : public QWidget {
    Q_OBJECT
public:
    explicit RecorderView(QWidget* parent = nullptr);
    ~RecorderView() override;

    RecorderModel* model() const { return m_model; }
    RecorderListModel* listModel() const { return m_listModel; }
    NoteRowDelegate* delegate() const { return m_delegate; }
    QListView* list() const { return m_list; }

    QUuid selected() const { return m_selected; }
    void select(const QUuid& id);

    // What the state line and the status line read now.
    QString stateText() const;
    QString statusText() const;

    RecorderButton* recordButton() const { return m_button; }
    RecorderLevelMeter* levelMeter() const { return m_meter; }
    QLabel* stateLabel() const { return m_state; }
    QLabel* statusLabel() const { return m_status; }
    QLabel* emptyLabel() const { return m_empty; }
    // The row open for editing: the selected note's, if any.
    NoteRow* openRow() const;
    // That row when it shows `id`.
    NoteRow* row(const QUuid& id) const;
    // Where a note's row is in the list's viewport (empty when not listed).
    QRect rowRect(const QUuid& id) const;

    // The record button's action (also Ctrl+R).
    void toggleRecording();

protected:
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildRecordPanel();
    QWidget* buildList();
    void refreshState();
    void rowsMoved();
    void relayout();
    void spin();

    RecorderModel* m_model = nullptr;
    RecorderListModel* m_listModel = nullptr;
    NoteRowDelegate* m_delegate = nullptr;
    QUuid m_selected;
    RecorderButton* m_button = nullptr;
    QLabel* m_state = nullptr;
    RecorderLevelMeter* m_meter = nullptr;
    QLabel* m_status = nullptr;
    QListView* m_list = nullptr;
    QLabel* m_empty = nullptr;
    QPointer<QWidget> m_open; // the NoteRow open for editing
    QTimer m_spinner; // turns the spinner of a drawn row
    int m_spinStep = 0;
    int m_pressedRow = -1; // the drawn row a click landed in
    QPoint m_pressedInRow; // and where in that row
};
