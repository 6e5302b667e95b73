#pragma once

// The child's side of WindowOpenBench: open one window, wait until it has
// settled, report.

#include "WindowOpenBench.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <xcb/xcb.h>

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

// Waits until the X server has handled everything sent to it so far (the
// pictures of a frame included): one request that needs an answer.
inline void roundTrip()
{
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    if (xcb_connection_t* c = x11 ? x11->connection() : nullptr)
        std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
}

// Child side: `open` builds and shows the window. A frame ends when all its
// widgets are painted, the picture is sent and the X server has it; settled
// = exposed, a frame ended, and none for 300 ms after the last one.
inline Sample measure(const std::function<QWidget*()>& open)
{
    struct Frames : QObject {
        QElapsedTimer clock;
        double last = -1; // ms: the end of the last frame
        bool inFrame = false;
        double now() const { return double(clock.nsecsElapsed()) / 1e6; }
        // A widget drawn into a picture (never shown) is not a frame.
        static bool onScreen(QObject* o)
        {
            const QWidget* w = o->isWidgetType() ? static_cast<QWidget*>(o)->window() : nullptr;
            return w && w->windowHandle() && w->windowHandle()->isExposed();
        }
        bool eventFilter(QObject* o, QEvent* e) override
        {
            if (e->type() == QEvent::Paint && !inFrame && onScreen(o)) {
                // The first paint of a frame: its end is when the event
                // loop turns again (the widgets painted, the picture sent).
                inFrame = true;
                QTimer::singleShot(0, this, [this] {
                    roundTrip();
                    last = now();
                    inFrame = false;
                });
            }
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
        if (exposed && frames.last >= 0 && !frames.inFrame && frames.now() - frames.last > 300)
            break;
    }
    qApp->removeEventFilter(&frames);
    Sample s{frames.last, residentMiB()};
    delete w;
    return s;
}

inline void print(const Sample& s)
{
    std::printf("ms=%.1f rss_mib=%.2f\n", s.ms, s.rssMiB);
    std::fflush(stdout);
}

} // namespace WindowOpenBench
