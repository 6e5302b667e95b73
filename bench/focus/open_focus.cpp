// Child of bench_focus's list benchmark: opens the Focus Timer & To-Do
// window (in its tool scaffold, at its own size) over the data folder it is
// given and prints how long until it settled and the memory it then holds.
#include "WindowOpenChild.h"
#include "core/Tool.h"
#include "planner/FocusModel.h"
#include "planner/views/FocusView.h"
#include "ui/ToolScaffold.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    std::unique_ptr<FocusModel> model;
    const WindowOpenBench::Sample s = WindowOpenBench::measure([&model] {
        FocusModel::Services quiet = FocusModel::systemServices();
        quiet.notify = [](const FocusNotification&) {};
        quiet.playSound = [] {};
        model = std::make_unique<FocusModel>(quiet);
        auto* w = new ToolScaffold(Tool::focus, new FocusView(*model));
        w->resize(*Tool(Tool::focus).defaultSize());
        w->show();
        return w;
    });
    WindowOpenBench::print(s);
    return 0;
}
