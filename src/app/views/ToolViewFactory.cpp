#include "app/views/ToolViewFactory.h"

#include <QWidget>

// One include and one case per tool whose root view exists.

QWidget* makeToolView(Tool tool)
{
    switch (tool.value()) {
    default:
        break;
    }
    return nullptr;
}
