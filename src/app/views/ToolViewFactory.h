#pragma once

#include "core/Tool.h"

class QWidget;

// Makes the root view of a tool's window (without the scaffold around it);
// nothing for a tool whose window shows the scaffold alone.
QWidget* makeToolView(Tool tool);
