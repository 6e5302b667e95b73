// The floor of the start-up benchmarks: a bare Qt window of the floating
// menu's size that reports its frames the same way the program does.
#include "app/views/StartupProbe.h"

#include <QApplication>
#include <QPainter>
#include <QWidget>

namespace {
class Bare : public QWidget {
protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), QColor(237, 235, 227)); }
};
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    StartupProbe::installIfRequested();
    Bare w;
    w.resize(340, 560);
    w.show();
    return app.exec();
}
