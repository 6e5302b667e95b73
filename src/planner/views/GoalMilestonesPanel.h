#pragma once

#include "planner/StudyGoal.h"
#include "planner/views/GoalEdit.h"
#include "ui/ChromePanel.h"

#include <QDateTime>
#include <QList>

class ChromeButton;
class GoalMilestoneRow;
class QDateEdit;
class QScrollArea;
class QVBoxLayout;
class SpellLineEdit;

// The "Milestones" panel of the goal editor: an entry row (title, day, "Add")
// and one row per milestone of the goal in stored order. "Add" keeps the
// chosen day so several milestones can go on the same day; a trash click
// removes its milestone (by id) once the click has been handled.
class GoalMilestonesPanel : public ChromePanel {
    Q_OBJECT
public:
    // `newDate`: the moment the entry row starts from.
    GoalMilestonesPanel(GoalEdit edit, const QDateTime& newDate, QWidget* parent = nullptr);

    void showGoal(const StudyGoal& goal);
    // The "Add" steps.
    void addTyped();
    // An empty entry row dated `newDate`, as a freshly shown editor has.
    void restartEntry(const QDateTime& newDate);

    // The moment a new milestone gets: the chosen day at the entry row's time of day.
    QDateTime newDate() const { return m_newDate; }

    SpellLineEdit* entryField() const { return m_entry; }
    QDateEdit* entryDate() const { return m_entryDate; }
    ChromeButton* addButton() const { return m_add; }
    const QList<GoalMilestoneRow*>& rows() const { return m_rows; }

private:
    void rebuildRows(const QList<Milestone>& milestones);

    GoalEdit m_edit;
    QDateTime m_newDate;
    SpellLineEdit* m_entry = nullptr;
    QDateEdit* m_entryDate = nullptr;
    ChromeButton* m_add = nullptr;
    QScrollArea* m_list = nullptr;
    QVBoxLayout* m_rowsLayout = nullptr;
    QList<GoalMilestoneRow*> m_rows;
};
