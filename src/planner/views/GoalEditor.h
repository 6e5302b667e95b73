#pragma once

#include <QDateTime>
#include <QUuid>
#include <QWidget>

class GoalFormPanel;
class GoalMilestonesPanel;
class TimelineModel;

// The form under the timeline for one goal, named by its id: the "Goal"
// panel beside the "Milestones" panel. Every change goes straight into the
// model's goal with that id, wherever the goal sits in the list; the editor
// follows the model's changes without writing anything back.
class GoalEditor : public QWidget {
    Q_OBJECT
public:
    static constexpr int kHeight = 330;

    GoalEditor(TimelineModel* model, const QUuid& goalId, const QDateTime& newDate = QDateTime::currentDateTime(),
               QWidget* parent = nullptr);

    QUuid goalId() const { return m_goalId; }
    void setGoalId(const QUuid& id);
    // Shows the goal as the model has it now.
    void refresh();

    GoalFormPanel* form() const { return m_form; }
    GoalMilestonesPanel* milestones() const { return m_milestones; }

private:
    TimelineModel* m_model;
    QUuid m_goalId;
    GoalFormPanel* m_form = nullptr;
    GoalMilestonesPanel* m_milestones = nullptr;
};
