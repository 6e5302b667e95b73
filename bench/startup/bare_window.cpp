// The floor of the start-up benchmarks: a bare Qt window of the floating
// menu's size that draws one line of text in the menu's caption font (so
// that, like the program, it starts the font system and loads a face) and
// reports its frames the same way the program does.
#include "app/views/StartupProbe.h"

#include <QApplication>
#include <QPainter>
#include <QWidget>

namespace {
class Bare : public QWidget {
protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), QColor(237, 235, 227));
        QFont caption(QStringLiteral("Quicksand"));
        caption.setWeight(QFont::ExtraBold);
        caption.setPointSizeF(10.5);
        p.setFont(caption);
        p.drawText(rect(), Qt::AlignHCenter | Qt::AlignBottom, QStringLiteral("Brindleworks by Corvandel Softworks"));
    }
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
