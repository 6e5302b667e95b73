#pragma once

#include <QObject>

// For the start-up benchmark only: with BW_STARTUP_PROBE set in the
// environment, prints "painted" on standard output once the first window has
// painted its first frame. Does nothing otherwise.
class StartupProbe : public QObject {
    Q_OBJECT
public:
    static void installIfRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool m_done = false;
};
