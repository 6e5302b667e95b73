#pragma once

// The content of a tool window whose tool is not part of this release: a
// calm centred panel saying so.

#include "core/Tool.h"

class QLabel;
class QWidget;

// Lays `view` out with the notice for `tool` and returns the message label.
QLabel* addUnavailableNotice(QWidget* view, Tool tool);
