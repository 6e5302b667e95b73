#pragma once

// Times what one user action costs the interface thread, the way it is
// felt: from the action to the frame that shows it (wall time), all the
// work the action sets off until everything is settled, and the longest
// single stretch of that work (both in the interface thread's own CPU time,
// measured between the moments the event loop goes to sleep, so waiting
// costs nothing and every follow-up slice is counted).

#include <QObject>

#include <functional>
#include <vector>

class QWidget;

struct ActionCost {
    double frameMs = -1; // action → end of the loop pass that painted it
    double doneMs = -1;  // action → end of the last pass of work it caused
    double workMs = 0;   // interface-thread CPU time of all that work
    double sliceMs = 0;  // the longest single pass of it
};

class WorkClock : public QObject {
public:
    // `settled`: what must also hold before the work counts as done (for
    // example no checking left); passes shorter than `noiseMs` (timers
    // that find nothing to do) do not count as work.
    explicit WorkClock(std::function<bool()> settled = {}, double noiseMs = 0.25);
    ~WorkClock() override;

    // Runs `action`, then the event loop until the work is settled and the
    // loop has been quiet for `quietMs` (at most `limitMs`).
    ActionCost measure(const std::function<void()>& action, int quietMs = 150, int limitMs = 15000);

    // Presses and releases a key in `target`, as the window system would.
    static void type(QWidget* target, int key, const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void onAboutToBlock();

    std::function<bool()> m_settled;
    double m_noiseMs;
    bool m_running = false;
    bool m_painted = false;
    double m_startWall = 0;
    double m_lastCpu = 0;
    double m_lastWorkWall = 0;
    ActionCost m_cost;
};

// The median and the largest of a list of figures.
double medianOf(std::vector<double> v);
double worstOf(const std::vector<double>& v);
