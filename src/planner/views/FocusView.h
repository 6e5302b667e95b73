#pragma once

#include "planner/views/FocusTaskRow.h"

#include <QColor>
#include <QList>
#include <QPointer>
#include <QUuid>
#include <QWidget>

class ChromeButton;
class FocusModel;
class FocusRing;
class FocusStepper;
class FocusTaskDelegate;
class FocusTaskList;
class FocusTaskListModel;
class QCheckBox;
class QLabel;
class SpellLineEdit;

// The Focus Timer & To-Do window's content over the one focus model: on the
// left the dial, Start/Pause (Space), Reset and Skip, the task being worked
// on and the timer settings; on the right the to-do list.
class FocusView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kColumnWidth = 320;

    // Over FocusModel::shared().
    explicit FocusView(QWidget* parent = nullptr);
    explicit FocusView(FocusModel& model, QWidget* parent = nullptr);

    FocusModel* model() const { return m_model; }
    // The phase colour: cherry in a focus phase, seafoam in a break.
    QColor phaseColor() const;
    // "Session n of c • t today".
    QString sessionLine() const;
    // "o to do • d done".
    QString footerText() const;

    bool showDone() const { return m_showDone; }
    void setShowDone(bool show);
    // Adds what the field holds (the model ignores a blank title) and clears
    // the field either way.
    void addFromField();
    // Asks, then removes the task after the alert has closed.
    void confirmDelete(const QUuid& id, const QString& title);
    // Moves shown rows; positions are turned into places in the full list.
    void moveShownRows(const QList<int>& rows, int destination);

    FocusRing* ring() const { return m_ring; }
    ChromeButton* startButton() const { return m_start; }
    ChromeButton* resetButton() const { return m_reset; }
    ChromeButton* skipButton() const { return m_skip; }
    QLabel* workingOn() const { return m_workingOn; }
    // Focus, short break, long break, cycles.
    FocusStepper* stepper(int index) const { return m_steppers.value(index); }
    QCheckBox* autoStartSwitch() const { return m_autoStart; }
    QCheckBox* soundSwitch() const { return m_sound; }
    SpellLineEdit* newTaskField() const { return m_newTask; }
    ChromeButton* addButton() const { return m_add; }
    QCheckBox* showCompletedSwitch() const { return m_showCompleted; }
    FocusTaskList* list() const { return m_list; }
    FocusTaskListModel* listModel() const { return m_listModel; }
    FocusTaskDelegate* delegate() const { return m_delegate; }
    // Opens the shown row for editing in place (the one open before is
    // drawn again) and returns its widget; nothing outside the list.
    FocusTaskRow* openRow(int row);
    // The row open for editing, if any.
    FocusTaskRow* editorRow() const;
    QLabel* footer() const { return m_footer; }
    ChromeButton* clearCompletedButton() const { return m_clear; }

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QWidget* buildTimerColumn();
    QWidget* buildSettings();
    QWidget* buildToDo();
    void refreshState();
    void refreshConfig();
    void refreshTasks();
    void refreshWorkingOn();
    void reopenEditor();
    void fitRing();

    FocusModel* m_model;
    bool m_showDone = true;
    FocusTaskListModel* m_listModel = nullptr;
    FocusTaskDelegate* m_delegate = nullptr;
    QPointer<QWidget> m_editor; // the FocusTaskRow open for editing
    QUuid m_editorId;

    FocusRing* m_ring = nullptr;
    ChromeButton* m_start = nullptr;
    ChromeButton* m_reset = nullptr;
    ChromeButton* m_skip = nullptr;
    QLabel* m_workingOn = nullptr;
    QList<FocusStepper*> m_steppers;
    QCheckBox* m_autoStart = nullptr;
    QCheckBox* m_sound = nullptr;
    SpellLineEdit* m_newTask = nullptr;
    ChromeButton* m_add = nullptr;
    QCheckBox* m_showCompleted = nullptr;
    FocusTaskList* m_list = nullptr;
    QLabel* m_footer = nullptr;
    ChromeButton* m_clear = nullptr;
};
