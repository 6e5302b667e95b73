#pragma once

// The child's side of WindowOpenBench: open one window, wait until it has
// settled, report.

#include "WindowOpenBench.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QWidget>
#include <QWindow>
#include <cstdio>
#include <functional>

namespace WindowOpenBench {

inline double residentMiB()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : f.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return -1;
}

// Child side: `open` builds and shows the window. Settled = exposed, painted,
// and no frame for 300 ms after the last one.
inline Sample measure(const std::function<QWidget*()>& open)
{
    struct Frames : QObject {
        QElapsedTimer clock;
        qint64 last = -1;
        bool eventFilter(QObject*, QEvent* e) override
        {
            if (e->type() == QEvent::Paint)
                last = clock.elapsed();
            return false;
        }
    } frames;
    qApp->installEventFilter(&frames);
    frames.clock.start();
    QWidget* w = open();
    QElapsedTimer wall;
    wall.start();
    while (wall.elapsed() < 60000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        const bool exposed = w->windowHandle() && w->windowHandle()->isExposed();
        if (exposed && frames.last >= 0 && frames.clock.elapsed() - frames.last > 300)
            break;
    }
    qApp->removeEventFilter(&frames);
    Sample s{double(frames.last), residentMiB()};
    delete w;
    return s;
}

inline void print(const Sample& s)
{
    std::printf("ms=%.1f rss_mib=%.2f\n", s.ms, s.rssMiB);
    std::fflush(stdout);
}

} // namespace WindowOpenBench
