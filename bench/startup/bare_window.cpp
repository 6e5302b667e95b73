// The floor of the start-up benchmark: a bare Qt window that reports its
// first painted frame the same way the program does.
#include <QApplication>
#include <QPainter>
#include <QTimer>
#include <QWidget>
#include <cstdio>

namespace {
class Bare : public QWidget {
protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter(this).fillRect(rect(), QColor(237, 235, 227));
        if (!m_done) {
            m_done = true;
            QTimer::singleShot(0, [] {
                std::fputs("painted\n", stdout);
                std::fflush(stdout);
            });
        }
    }
    bool m_done = false;
};
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    Bare w;
    w.resize(340, 560);
    w.show();
    return app.exec();
}
