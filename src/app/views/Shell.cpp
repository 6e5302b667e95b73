#include "app/views/Shell.h"

#include "app/Tool.h"

#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

// Placeholder until the window manager and delegate land.
namespace Shell {

namespace {
QWidget* toolWindow(Tool tool)
{
    static QHash<Tool, QWidget*> windows;
    if (QWidget* w = windows.value(tool))
        return w;
    auto* w = new QWidget;
    w->setWindowTitle(tool.title() + QStringLiteral(" — Brindleworks by VEXO"));
    auto* layout = new QVBoxLayout(w);
    layout->addWidget(new QLabel(tool.title(), w));
    w->resize(tool.defaultSize().value_or(QSize(800, 600)));
    windows.insert(tool, w);
    return w;
}
} // namespace

void launch()
{
    toolWindow(Tool::calculator)->show();
}

QList<SnapshotWindow> snapshotWindows()
{
    QList<SnapshotWindow> list;
    for (const Tool t : Tool::allCases())
        list.append({t.rawValue(), [t] { return toolWindow(t); }});
    return list;
}

} // namespace Shell
