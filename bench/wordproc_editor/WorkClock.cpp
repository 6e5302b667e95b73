#include "WorkClock.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QKeyEvent>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <ctime>

namespace {

double threadCpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

double wallMs()
{
    static QElapsedTimer clock = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return double(clock.nsecsElapsed()) / 1e6;
}

} // namespace

WorkClock::WorkClock(std::function<bool()> settled, double noiseMs) : m_settled(std::move(settled)), m_noiseMs(noiseMs)
{
    connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this,
            &WorkClock::onAboutToBlock, Qt::DirectConnection);
    qApp->installEventFilter(this);
}

WorkClock::~WorkClock()
{
    qApp->removeEventFilter(this);
}

bool WorkClock::eventFilter(QObject* watched, QEvent* event)
{
    if (m_running && event->type() == QEvent::Paint && watched->isWidgetType())
        m_painted = true;
    return QObject::eventFilter(watched, event);
}

void WorkClock::onAboutToBlock()
{
    if (!m_running)
        return;
    const double cpu = threadCpuMs();
    const double pass = cpu - m_lastCpu;
    m_lastCpu = cpu;
    const double now = wallMs();
    if (pass >= m_noiseMs || m_cost.doneMs < 0) {
        m_cost.workMs += pass;
        m_cost.sliceMs = std::max(m_cost.sliceMs, pass);
        m_cost.doneMs = now - m_startWall;
        m_lastWorkWall = now;
    }
    if (m_painted && m_cost.frameMs < 0)
        m_cost.frameMs = now - m_startWall;
}

ActionCost WorkClock::measure(const std::function<void()>& action, int quietMs, int limitMs)
{
    QApplication::processEvents(); // nothing left over from before
    m_cost = ActionCost();
    m_painted = false;
    m_running = true;
    m_startWall = wallMs();
    m_lastCpu = threadCpuMs();
    m_lastWorkWall = m_startWall;
    action();
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        const double now = wallMs();
        const bool quiet = now - m_lastWorkWall >= quietMs && m_cost.doneMs >= 0;
        if ((quiet && (!m_settled || m_settled())) || now - m_startWall > limitMs)
            loop.quit();
    });
    poll.start();
    loop.exec();
    m_running = false;
    return m_cost;
}

void WorkClock::type(QWidget* target, int key, const QString& text)
{
    QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier, text));
    QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyRelease, key, Qt::NoModifier, text));
}

double medianOf(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double worstOf(const std::vector<double>& v)
{
    return v.empty() ? 0 : *std::max_element(v.begin(), v.end());
}
