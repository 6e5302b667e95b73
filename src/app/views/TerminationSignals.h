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

Q_SIGNALS:
    // One of the signals arrived; emitted on the main thread.
    void terminationRequested(int signal);

private:
    TerminationSignals();
    static void handle(int signal);
    void readSignal();

    QSocketNotifier* m_notifier = nullptr;
};
