#include "planner/views/GoalEditor.h"

#include "planner/TimelineModel.h"
#include "planner/views/GoalFormPanel.h"
#include "planner/views/GoalMilestonesPanel.h"

#include <QHBoxLayout>

GoalEditor::GoalEditor(TimelineModel* model, const QUuid& goalId, const QDateTime& newDate, QWidget* parent)
    : QWidget(parent)
    , m_model(model)
    , m_goalId(goalId)
{
    setFixedHeight(kHeight);
    const GoalEdit edit = [this](const GoalChange& change) {
        std::optional<StudyGoal> g = m_model->goal(m_goalId);
        if (!g)
            return;
        change(*g);
        m_model->updateGoal(*g);
    };
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(12);
    m_form = new GoalFormPanel(edit, this);
    m_milestones = new GoalMilestonesPanel(edit, newDate, this);
    row->addWidget(m_form, 1);
    row->addWidget(m_milestones, 1);
    connect(m_form, &GoalFormPanel::deleteRequested, this, [this] { m_model->deleteGoal(m_goalId); });
    connect(m_model, &TimelineModel::goalsChanged, this, &GoalEditor::refresh);
    refresh();
}

void GoalEditor::setGoalId(const QUuid& id)
{
    if (id == m_goalId)
        return;
    m_goalId = id;
    refresh();
}

void GoalEditor::refresh()
{
    const std::optional<StudyGoal> g = m_model->goal(m_goalId);
    if (!g)
        return;
    m_form->showGoal(*g, QDateTime::currentDateTime());
    m_milestones->showGoal(*g);
}
