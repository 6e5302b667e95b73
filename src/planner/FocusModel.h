#pragma once

#include "planner/FocusNotifier.h"
#include "planner/FocusTask.h"
#include "planner/PomodoroConfig.h"
#include "planner/PomodoroState.h"

#include <QDateTime>
#include <QJsonValue>
#include <QList>
#include <QObject>
#include <QString>
#include <QUuid>
#include <functional>
#include <memory>
#include <optional>

class QTimer;

// The Focus Timer & To-Do tool's state: the running pomodoro (driven by a
// quarter-second timer that exists only while the clock runs), the to-do
// list, the chosen task, the rules, the day's count of focus sessions and
// the sound switch. Tasks, rules, the day's count (with its day) and the
// sound switch live in "focus.json"; phase, time left and the chosen task do
// not survive a restart. One model per process: shared().
class FocusModel : public QObject {
    Q_OBJECT
    Q_PROPERTY(PomodoroState state READ state NOTIFY stateChanged)
    Q_PROPERTY(QList<FocusTask> tasks READ tasks NOTIFY tasksChanged)
    Q_PROPERTY(QUuid currentTaskID READ currentTaskID NOTIFY currentTaskChanged)
    Q_PROPERTY(PomodoroConfig config READ config WRITE setConfig NOTIFY configChanged)
    Q_PROPERTY(qint64 todayCount READ todayCount NOTIFY todayCountChanged)
    Q_PROPERTY(bool soundOn READ soundOn WRITE setSoundOn NOTIFY soundOnChanged)
public:
    // The content of "focus.json".
    struct Saved {
        QList<FocusTask> tasks;
        PomodoroConfig config;
        qint64 todayCount = 0;
        QString day;                 // "yyyy-MM-dd" of todayCount
        std::optional<bool> soundOn; // absent in older files: on

        QJsonValue toJson() const;
        // Strict: every key but "soundOn" is required, every task whole.
        static std::optional<Saved> fromJson(const QJsonValue& value);
    };

    // What the model uses of the outside world; tests hand in their own.
    struct Services {
        std::function<QDateTime()> now;
        std::function<void(const FocusNotification&)> notify;
        std::function<void()> playSound;
    };
    // The wall clock, the desktop's notifications and the "Glass" sound.
    static Services systemServices();

    static QString fileName() { return QStringLiteral("focus.json"); }
    static QString subtitle() { return QStringLiteral("Brindleworks by VEXO"); }
    static constexpr int kTickMilliseconds = 250;

    // The process-wide model, made (and its file read) on first use.
    static FocusModel& shared();

    explicit FocusModel(Services services = systemServices(), QObject* parent = nullptr);
    ~FocusModel() override;

    const PomodoroState& state() const { return m_state; }
    const QList<FocusTask>& tasks() const { return m_tasks; }
    QUuid currentTaskID() const { return m_currentTaskID; }
    // The first task with the current id, if any.
    std::optional<FocusTask> currentTask() const;
    PomodoroConfig config() const { return m_config; }
    qint64 todayCount() const { return m_todayCount; }
    bool soundOn() const { return m_soundOn; }
    // Whether the repeating timer exists (only while the clock runs).
    bool timerActive() const { return m_timer != nullptr; }
    // "yyyy-MM-dd" of a moment in local time.
    static QString dayText(const QDateTime& moment);

    // Applies the rules to the running state (a stopped phase is refilled
    // to its new length, a running one keeps its time left) and saves.
    void setConfig(const PomodoroConfig& config);
    void setSoundOn(bool on);

    void startPause();
    // The timer's step: counts down by the wall-clock time since the last
    // step (never less than zero); ends at most one phase.
    void tick();
    void phaseFinished(FocusPhase finished);
    // Next phase at once: no count, credit, notification, sound or save.
    void skip();
    // Stops and refills the current phase.
    void reset();
    // Appends a task titled `title` without leading and trailing spaces and
    // tabs; nothing for a blank title. True when a task was added.
    bool addTask(const QString& title);
    // Writes "focus.json". True when written.
    bool persist();
    void notify(const QString& title, const QString& body);
    // Starts a new day's count when the date has changed since the count
    // began. Runs on every tick and save.
    void rollDay();

    // Edits of the to-do list; each saves.
    void setTaskDone(const QUuid& id, bool done);
    // The typed text as it stands (not trimmed).
    void setTaskTitle(const QUuid& id, const QString& title);
    void removeTask(const QUuid& id);
    // Positions and destination in the full list (see FocusTasks::move).
    void moveTasks(const QList<int>& offsets, int destination);
    void clearCompleted();
    // Makes `id` the current task, or clears the choice when it already is.
    // Not saved.
    void chooseTask(const QUuid& id);

Q_SIGNALS:
    void stateChanged();
    void tasksChanged();
    void currentTaskChanged();
    void configChanged();
    void todayCountChanged();
    void soundOnChanged();

private:
    void stopTimer();
    QString today() const;

    Services m_services;
    PomodoroState m_state;
    QList<FocusTask> m_tasks;
    QUuid m_currentTaskID;
    PomodoroConfig m_config;
    qint64 m_todayCount = 0;
    QString m_countDay;
    bool m_soundOn = true;
    std::unique_ptr<QTimer> m_timer;
    QDateTime m_lastTick;
};
