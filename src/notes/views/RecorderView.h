#pragma once

#include <QHash>
#include <QList>
#include <QUuid>
#include <QWidget>

class ChromePanel;
class NoteRow;
class QLabel;
class QScrollArea;
class QVBoxLayout;
class RecorderButton;
class RecorderLevelMeter;
class RecorderModel;

// The Notes Recorder window's content: the record panel (record button,
// state and clock, level meter, status line) above the list of notes, the
// selected one expanded. Owns the window's model.
class RecorderView : public QWidget {
    Q_OBJECT
public:
    explicit RecorderView(QWidget* parent = nullptr);
    ~RecorderView() override;

    RecorderModel* model() const { return m_model; }

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
    QList<NoteRow*> rows() const;
    NoteRow* row(const QUuid& id) const { return m_rows.value(id); }

    // The record button's action (also Ctrl+R).
    void toggleRecording();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildRecordPanel();
    QWidget* buildList();
    void syncRows();
    void refreshState();

    RecorderModel* m_model = nullptr;
    QUuid m_selected;
    RecorderButton* m_button = nullptr;
    QLabel* m_state = nullptr;
    RecorderLevelMeter* m_meter = nullptr;
    QLabel* m_status = nullptr;
    QScrollArea* m_scroll = nullptr;
    QWidget* m_listBody = nullptr;
    QVBoxLayout* m_listLayout = nullptr;
    QLabel* m_empty = nullptr;
    QHash<QUuid, NoteRow*> m_rows;
    QWidget* m_watchedWindow = nullptr;
};
