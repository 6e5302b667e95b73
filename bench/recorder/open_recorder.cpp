// Child of bench_recorder's list benchmark: opens the Notes Recorder window
// (in its tool scaffold, at its own size) over the data folder it is given
// and prints how long until it settled and the memory it then holds. The
// window has the program's look (style, palette, font), as a user sees it.
#include "WindowOpenChild.h"
#include "core/Tool.h"
#include "notes/views/RecorderView.h"
#include "ui/AppLook.h"
#include "ui/ToolScaffold.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    AppLook::apply(app);
    const WindowOpenBench::Sample s = WindowOpenBench::measure([] {
        auto* w = new ToolScaffold(Tool::recorder, new RecorderView);
        w->resize(*Tool(Tool::recorder).defaultSize());
        w->show();
        return w;
    });
    WindowOpenBench::print(s);
    return 0;
}
