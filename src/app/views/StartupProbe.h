#pragma once

#include <QObject>

class QSocketNotifier;

// For the start-up benchmarks only: with BW_STARTUP_PROBE set in the
// environment, the program reads commands from its standard input. The
// benchmark times what the X server shows from outside; the probe only
// presses a tool button for it, as a click would:
//   "click <tool id>" clicks the floating menu's button of that tool and
//   answers "clicked" (or "no such tool").
// The caret does not blink under the probe. Does nothing without
// BW_STARTUP_PROBE.
class StartupProbe : public QObject {
    Q_OBJECT
public:
    static void installIfRequested();

private:
    StartupProbe();
    void readCommands();

    QSocketNotifier* m_input = nullptr;
    QByteArray m_pending;
};
