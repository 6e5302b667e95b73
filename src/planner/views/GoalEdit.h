#pragma once

#include "planner/StudyGoal.h"

#include <functional>

// How the goal editor's parts change the goal they show: the change is
// applied to the model's current goal with the editor's id (never to a copy
// kept by a widget), so a list that re-sorted or changed meanwhile is safe.
using GoalChange = std::function<void(StudyGoal&)>;
using GoalEdit = std::function<void(const GoalChange&)>;
