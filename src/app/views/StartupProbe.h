#pragma once

#include <QObject>
#include <QSet>
#include <QTimer>

// For the start-up benchmarks only: with BW_STARTUP_PROBE set in the
// environment, prints one line on standard output as each top-level window
// is first mapped ("mapped") and after each frame it paints ("painted").
// With BW_STARTUP_PROBE_CLICK=<tool id>, once the first window has settled
// (no frame for a moment) it clicks that tool's button ("click") and, once
// the tool window has settled too, reports the resident memory
// ("rss <KiB>") and "done". Does nothing without BW_STARTUP_PROBE.
class StartupProbe : public QObject {
    Q_OBJECT
public:
    static void installIfRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    StartupProbe();
    void onQuiet();

    QSet<QObject*> m_mapped;
    QTimer m_quiet;
    QString m_click;
    bool m_clicked = false;
    bool m_framePending = false;
    bool m_finished = false;
};
