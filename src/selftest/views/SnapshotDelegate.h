#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <functional>

class QWidget;

// The delegate of the --snapshots mode: writes the sample data, then opens
// every window the program can make, saves each as <out>/<key>.png and
// quits the application with status 0.
class SnapshotDelegate : public QObject {
    Q_OBJECT
public:
    struct Window {
        QString key;                   // file name without ".png"
        std::function<QWidget*()> open; // makes or shows the window
    };

    explicit SnapshotDelegate(const QString& out, QObject* parent = nullptr);

    // The windows to capture; the shell supplies them.
    void setWindows(std::function<QList<Window>()> source) { m_source = std::move(source); }

    // Schedules the run on the event loop.
    void start();

    // Renders one widget the way the snapshot mode does (also for tests).
    static bool render(QWidget* window, const QString& path);

    QStringList written() const { return m_written; }

private:
    void runAll();

    QString m_out;
    std::function<QList<Window>()> m_source;
    QStringList m_written;
};
