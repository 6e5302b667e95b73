#pragma once

#include "planner/Milestone.h"

#include <QWidget>

class QCheckBox;
class QDateEdit;
class QToolButton;
class SpellLineEdit;

// One milestone in the goal editor's list: its done toggle, its title (struck
// through while done), its day and a trash button. The row only reports what
// the user did; the panel applies it to the goal by the milestone's id.
class GoalMilestoneRow : public QWidget {
    Q_OBJECT
public:
    explicit GoalMilestoneRow(const Milestone& milestone, QWidget* parent = nullptr);

    QUuid milestoneId() const { return m_id; }
    // Shows the milestone's current values without reporting them.
    void showMilestone(const Milestone& milestone);

    QCheckBox* doneToggle() const { return m_done; }
    SpellLineEdit* titleField() const { return m_title; }
    QDateEdit* datePicker() const { return m_date; }
    QToolButton* trashButton() const { return m_trash; }

Q_SIGNALS:
    void doneToggled(const QUuid& id, bool done);
    void titleEdited(const QUuid& id, const QString& title);
    void dayChosen(const QUuid& id, const QDate& day);
    void trashClicked(const QUuid& id);

private:
    QUuid m_id;
    QCheckBox* m_done = nullptr;
    SpellLineEdit* m_title = nullptr;
    QDateEdit* m_date = nullptr;
    QToolButton* m_trash = nullptr;
};
