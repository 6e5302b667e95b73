#include "core/Debouncer.h"

#include <QCoreApplication>
#include <QSet>

namespace {
QSet<Debouncer*>& live()
{
    static QSet<Debouncer*> set;
    return set;
}
}

Debouncer::Debouncer(double delaySeconds, QObject* parent)
    : QObject(parent)
    , m_delay(delaySeconds)
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(int(delaySeconds * 1000.0 + 0.5));
    connect(&m_timer, &QTimer::timeout, this, &Debouncer::fire);
    static QCoreApplication* hookedApp = nullptr;
    if (QCoreApplication* app = QCoreApplication::instance(); app && app != hookedApp) {
        hookedApp = app;
        QObject::connect(app, &QCoreApplication::aboutToQuit, app, [] { Debouncer::flushAll(); });
    }
    live().insert(this);
}

Debouncer::~Debouncer()
{
    live().remove(this);
    flush();
}

void Debouncer::call(std::function<void()> block)
{
    m_work = std::move(block);
    m_timer.start();
}

void Debouncer::flush()
{
    if (!m_timer.isActive())
        return;
    m_timer.stop();
    fire();
}

void Debouncer::fire()
{
    std::function<void()> work = std::move(m_work);
    m_work = nullptr;
    if (work)
        work();
}

void Debouncer::flushAll()
{
    const QSet<Debouncer*> all = live();
    for (Debouncer* d : all) {
        if (live().contains(d))
            d->flush();
    }
}
