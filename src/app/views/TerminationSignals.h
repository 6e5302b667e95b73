#pragma once

#include <QObject>

class QSocketNotifier;

// Turns the signals by which a desktop session ends its programs (SIGTERM at
// logout or shutdown, SIGHUP, SIGINT from a terminal) into an orderly quit,
// so that the steps of a normal quit (saving the sticky notes, locking the
// password book) run then too.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    // Installs the handlers once per process and returns the one instance.
    static TerminationSignals& install();

    // From now on a signal ends the process at the latest `ms` after it
    // arrived, even when the main thread is busy or a modal dialog runs a
    // loop of its own that an orderly quit would wait for. Whatever the main
    // thread saved by then is on disk (saves are atomic).
    void exitWithin(int ms);

Q_SIGNALS:
    // One of the signals arrived; emitted on the main thread.
    void terminationRequested(int signal);

private:
    TerminationSignals();
    static void handle(int signal);
    void readSignal();

    QSocketNotifier* m_notifier = nullptr;
};
