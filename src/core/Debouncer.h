#pragma once

#include <QObject>
#include <QTimer>
#include <functional>

// Runs the latest of a burst of calls once, `delay` seconds after the last
// call, on the event loop; earlier pending calls are dropped.
//
// A call still pending when the application quits runs before the process
// ends (flushAll() is connected to QCoreApplication::aboutToQuit), and a
// debouncer that is destroyed runs its pending call first, so the last edit
// is never lost. Owners should declare the debouncer after the state its
// work touches, so that state is still alive at that point.
class Debouncer : public QObject {
    Q_OBJECT
public:
    explicit Debouncer(double delaySeconds, QObject* parent = nullptr);
    ~Debouncer() override;

    void call(std::function<void()> block);
    bool isPending() const { return m_timer.isActive(); }
    double delay() const { return m_delay; }

    // Runs the pending work now, if any.
    void flush();
    // Runs the pending work of every live debouncer.
    static void flushAll();

private:
    void fire();

    double m_delay;
    QTimer m_timer;
    std::function<void()> m_work;
};
