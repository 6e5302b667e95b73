#include "planner/FocusModel.h"

#include "core/Json.h"
#include "core/RepeatedIds.h"
#include "core/Store.h"
#include "planner/FocusSound.h"

#include <QCoreApplication>
#include <QJsonObject>
#include <QPointer>
#include <QTimer>
#include <algorithm>

namespace {

// Counters stop at the largest integer a JSON number carries exactly, so a
// count written to the file always reads back.
constexpr qint64 kMaxCount = (qint64(1) << 53) - 1;

qint64 plusOne(qint64 n)
{
    return n < kMaxCount ? n + 1 : n;
}

} // namespace

// --- Saved -----------------------------------------------------------------

QJsonValue FocusModel::Saved::toJson() const
{
    QJsonObject o{{QStringLiteral("config"), config.toJson()},
                  {QStringLiteral("day"), day},
                  {QStringLiteral("tasks"), Json::fromList(tasks)},
                  {QStringLiteral("todayCount"), todayCount}};
    if (soundOn)
        o.insert(QStringLiteral("soundOn"), *soundOn);
    return o;
}

std::optional<FocusModel::Saved> FocusModel::Saved::fromJson(const QJsonValue& value)
{
    Json::Reader r(value);
    Saved s;
    s.tasks = r.list<FocusTask>(QStringLiteral("tasks"));
    s.config = r.record<PomodoroConfig>(QStringLiteral("config"));
    s.todayCount = r.integer(QStringLiteral("todayCount"));
    s.day = r.string(QStringLiteral("day"));
    const QJsonValue sound = r.object().value(QStringLiteral("soundOn"));
    if (sound.isBool())
        s.soundOn = sound.toBool();
    else if (!sound.isUndefined() && !sound.isNull())
        r.fail();
    if (!r.ok())
        return std::nullopt;
    return s;
}

// --- Model -----------------------------------------------------------------

FocusModel::Services FocusModel::systemServices()
{
    Services s;
    s.now = [] { return QDateTime::currentDateTime(); };
    s.notify = [](const FocusNotification& n) { FocusNotifier::post(n); };
    s.playSound = [] {
        // One sound for the process, gone with the application object.
        static QPointer<FocusSound> sound;
        if (!sound && QCoreApplication::instance())
            sound = new FocusSound(FocusSound::glassUrl(), QCoreApplication::instance());
        if (sound)
            sound->play();
    };
    return s;
}

FocusModel& FocusModel::shared()
{
    static FocusModel* const model = new FocusModel(systemServices(), QCoreApplication::instance());
    return *model;
}

FocusModel::FocusModel(Services services, QObject* parent)
    : QObject(parent)
    , m_services(std::move(services))
{
    if (!m_services.now)
        m_services.now = [] { return QDateTime::currentDateTime(); };
    m_lastTick = m_services.now();
    m_countDay = today();
    const std::optional<Saved> saved = Store::load<Saved>(fileName());
    if (saved) {
        m_config = saved->config;
        m_tasks = saved->tasks;
        // Rows, the current task and moves go by id: mend repeats in memory.
        RepeatedIds::report(fileName(), RepeatedIds::repair(m_tasks));
        m_soundOn = saved->soundOn.value_or(true);
        if (saved->day == m_countDay)
            m_todayCount = saved->todayCount;
    }
    m_state = PomodoroState(m_config);
}

FocusModel::~FocusModel() = default;

QString FocusModel::dayText(const QDateTime& moment)
{
    return moment.toLocalTime().date().toString(QStringLiteral("yyyy-MM-dd"));
}

QString FocusModel::today() const
{
    return dayText(m_services.now());
}

std::optional<FocusTask> FocusModel::currentTask() const
{
    if (m_currentTaskID.isNull())
        return std::nullopt;
    for (const FocusTask& t : m_tasks) {
        if (t.id == m_currentTaskID)
            return t;
    }
    return std::nullopt;
}

void FocusModel::rollDay()
{
    const QString day = today();
    if (day == m_countDay)
        return;
    m_countDay = day;
    if (m_todayCount != 0) {
        m_todayCount = 0;
        Q_EMIT todayCountChanged();
    }
}

void FocusModel::setConfig(const PomodoroConfig& config)
{
    m_config = config;
    m_state.config = config;
    if (!m_state.running)
        m_state.reset();
    Q_EMIT configChanged();
    Q_EMIT stateChanged();
    persist();
}

void FocusModel::setSoundOn(bool on)
{
    if (m_soundOn != on) {
        m_soundOn = on;
        Q_EMIT soundOnChanged();
    }
    persist();
}

void FocusModel::startPause()
{
    if (m_state.running) {
        m_state.running = false;
        stopTimer();
        Q_EMIT stateChanged();
        return;
    }
    m_state.running = true;
    m_lastTick = m_services.now();
    stopTimer();
    m_timer = std::make_unique<QTimer>();
    m_timer->setInterval(kTickMilliseconds);
    connect(m_timer.get(), &QTimer::timeout, this, &FocusModel::tick);
    m_timer->start();
    Q_EMIT stateChanged();
}

void FocusModel::stopTimer()
{
    if (m_timer) {
        m_timer->stop();
        m_timer.reset();
    }
}

void FocusModel::tick()
{
    const QDateTime now = m_services.now();
    // A wall clock set back would make time run backwards: count nothing.
    const double elapsed = std::max<qint64>(0, m_lastTick.msecsTo(now)) / 1000.0;
    m_lastTick = now;
    rollDay();
    if (m_state.running) {
        const std::optional<FocusPhase> finished = m_state.tick(elapsed);
        Q_EMIT stateChanged();
        if (finished)
            phaseFinished(*finished);
    }
    if (!m_state.running)
        stopTimer();
}

void FocusModel::phaseFinished(FocusPhase finished)
{
    if (finished == FocusPhase::focus) {
        rollDay();
        m_todayCount = plusOne(m_todayCount);
        Q_EMIT todayCountChanged();
        if (!m_currentTaskID.isNull()) {
            auto it = std::find_if(m_tasks.begin(), m_tasks.end(),
                                   [this](const FocusTask& t) { return t.id == m_currentTaskID; });
            if (it != m_tasks.end()) {
                it->pomodoros = plusOne(it->pomodoros);
                Q_EMIT tasksChanged();
            }
        }
        persist();
    }
    const QString title = finished == FocusPhase::focus ? QStringLiteral("Focus session complete — take a break!")
                                                        : QStringLiteral("Break’s over — time to focus.");
    const QString body = QStringLiteral("Next: ") + FocusPhases::rawValue(m_state.phase) + QStringLiteral(" (")
        + PomodoroState::clock(m_state.total()) + QLatin1Char(')');
    notify(title, body);
    if (m_soundOn && m_services.playSound)
        m_services.playSound();
    if (m_state.running)
        m_lastTick = m_services.now();
}

void FocusModel::skip()
{
    m_state.advance();
    Q_EMIT stateChanged();
    if (!m_state.running)
        stopTimer();
}

void FocusModel::reset()
{
    m_state.reset();
    stopTimer();
    Q_EMIT stateChanged();
}

bool FocusModel::addTask(const QString& title)
{
    const QString trimmed = FocusTasks::trimmedTitle(title);
    if (trimmed.isEmpty())
        return false;
    m_tasks.append(FocusTask::make(trimmed, m_services.now()));
    Q_EMIT tasksChanged();
    persist();
    return true;
}

bool FocusModel::persist()
{
    rollDay();
    Saved s;
    s.tasks = m_tasks;
    s.config = m_config;
    s.todayCount = m_todayCount;
    s.day = m_countDay;
    s.soundOn = m_soundOn;
    return Store::save(s, fileName());
}

void FocusModel::notify(const QString& title, const QString& body)
{
    if (m_services.notify)
        m_services.notify(FocusNotification{title, subtitle(), body});
}

void FocusModel::setTaskDone(const QUuid& id, bool done)
{
    for (FocusTask& t : m_tasks) {
        if (t.id == id)
            t.done = done;
    }
    Q_EMIT tasksChanged();
    persist();
}

void FocusModel::setTaskTitle(const QUuid& id, const QString& title)
{
    for (FocusTask& t : m_tasks) {
        if (t.id == id)
            t.title = title;
    }
    Q_EMIT tasksChanged();
    persist();
}

void FocusModel::removeTask(const QUuid& id)
{
    m_tasks.removeIf([&id](const FocusTask& t) { return t.id == id; });
    Q_EMIT tasksChanged();
    persist();
}

void FocusModel::moveTasks(const QList<int>& offsets, int destination)
{
    FocusTasks::move(m_tasks, offsets, destination);
    Q_EMIT tasksChanged();
    persist();
}

void FocusModel::clearCompleted()
{
    m_tasks.removeIf([](const FocusTask& t) { return t.done; });
    Q_EMIT tasksChanged();
    persist();
}

void FocusModel::chooseTask(const QUuid& id)
{
    m_currentTaskID = m_currentTaskID == id ? QUuid() : id;
    Q_EMIT currentTaskChanged();
}
