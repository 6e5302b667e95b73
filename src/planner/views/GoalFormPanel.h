#pragma once

#include "planner/StudyGoal.h"
#include "planner/views/GoalEdit.h"
#include "ui/ChromePanel.h"

#include <QDateTime>

class ChromeButton;
class GoalSwatches;
class QCheckBox;
class QDateEdit;
class QLabel;
class QSlider;
class SegmentedPicker;
class SpellLineEdit;
class SpellTextView;

// The "Goal" panel of the goal editor: title, term, colour, start and due
// days, how progress is measured, the manual progress slider, the status
// line, the notes and "Delete Goal…". showGoal() fills the controls without
// writing anything back; only the user's own changes go out through `edit`.
class GoalFormPanel : public ChromePanel {
    Q_OBJECT
public:
    static constexpr int kSliderSteps = 1000;

    GoalFormPanel(GoalEdit edit, QWidget* parent = nullptr);

    // Shows `goal` as it is at `now`.
    void showGoal(const StudyGoal& goal, const QDateTime& now);

    // The status line as it reads for `goal` at `now`, and whether it takes
    // the alarming colour.
    static QString statusLine(const StudyGoal& goal, const QDateTime& now, const QTimeZone& zone);

    SpellLineEdit* titleField() const { return m_title; }
    SegmentedPicker* termPicker() const { return m_term; }
    GoalSwatches* swatches() const { return m_swatches; }
    QDateEdit* startPicker() const { return m_start; }
    QDateEdit* duePicker() const { return m_due; }
    QCheckBox* followToggle() const { return m_follow; }
    QWidget* progressRow() const { return m_progressRow; }
    QSlider* progressSlider() const { return m_slider; }
    QLabel* progressLabel() const { return m_percent; }
    QLabel* statusLabel() const { return m_status; }
    SpellTextView* notesView() const { return m_notes; }
    ChromeButton* deleteButton() const { return m_delete; }

Q_SIGNALS:
    void deleteRequested();

private:
    void build();

    GoalEdit m_edit;
    SpellLineEdit* m_title = nullptr;
    SegmentedPicker* m_term = nullptr;
    GoalSwatches* m_swatches = nullptr;
    QDateEdit* m_start = nullptr;
    QDateEdit* m_due = nullptr;
    QCheckBox* m_follow = nullptr;
    QWidget* m_progressRow = nullptr;
    QSlider* m_slider = nullptr;
    QLabel* m_percent = nullptr;
    QLabel* m_status = nullptr;
    SpellTextView* m_notes = nullptr;
    ChromeButton* m_delete = nullptr;
};
