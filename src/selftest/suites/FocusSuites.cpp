// Self-test suites of the focus timer: the pomodoro rhythm and clock text,
// and strict reading of "focus.json"; sample tasks for the snapshot mode.
#include "core/Store.h"
#include "planner/FocusModel.h"
#include "planner/PomodoroState.h"
#include "selftest/SelfTest.h"
#include "selftest/Snapshots.h"

#include <QDir>
#include <QFile>

namespace {

FocusModel::Services silentServices()
{
    FocusModel::Services s;
    s.now = [] { return QDateTime::currentDateTime(); };
    s.notify = [](const FocusNotification&) {};
    s.playSound = [] {};
    return s;
}

SelfTest::Suite pomodoroSuite("Pomodoro", [](SelfTest::Check& c) {
    PomodoroState s{PomodoroConfig{}};
    c.equal(PomodoroState::clock(s.remaining), QStringLiteral("25:00"), QStringLiteral("new state shows 25:00"));
    QList<FocusPhase> phases;
    for (int i = 0; i < 8; ++i) {
        s.advance();
        phases.append(s.phase);
    }
    c.that(phases.at(6) == FocusPhase::longBreak && s.remaining == 1500 && s.completedFocus == 4,
           QStringLiteral("the fourth focus session is followed by a long break"));
    s.resetAll();
    c.that(s.phase == FocusPhase::focus && s.completedFocus == 0 && !s.running,
           QStringLiteral("resetAll returns to the first focus session"));
    s.running = true;
    const std::optional<FocusPhase> ended = s.tick(1500 - 0.0001);
    c.that(ended == FocusPhase::focus && s.phase == FocusPhase::shortBreak && !s.running,
           QStringLiteral("a tick leaving 0.0001 s ends the phase"));
    c.equal(PomodoroState::clock(59.2), QStringLiteral("01:00"), QStringLiteral("clock rounds up"));
    c.equal(PomodoroState::clock(-5), QStringLiteral("00:00"), QStringLiteral("clock of a negative time"));
    c.equal(PomodoroState::clock(6000), QStringLiteral("100:00"), QStringLiteral("clock has no minute cap"));
});

SelfTest::Suite focusFileSuite("Focus file", [](SelfTest::Check& c) {
    const QString name = FocusModel::fileName();
    QFile::remove(Store::path(name));
    {
        FocusModel m(silentServices());
        c.that(m.tasks().isEmpty() && m.soundOn() && m.todayCount() == 0,
               QStringLiteral("no file: empty list, sound on, nothing today"));
        m.addTask(QStringLiteral(" \tRevise notes\t"));
    }
    {
        FocusModel again(silentServices());
        c.that(again.tasks().size() == 1 && again.tasks().first().title == QStringLiteral("Revise notes"),
               QStringLiteral("a task survives a restart, trimmed"));
    }
    QFile f(Store::path(name));
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(R"({"tasks": [{"id": "x"}], "config": {}, "todayCount": 1, "day": "2020-01-01"})");
    f.close();
    {
        FocusModel damaged(silentServices());
        c.that(damaged.tasks().isEmpty() && damaged.config() == PomodoroConfig{},
               QStringLiteral("a damaged file leaves the defaults"));
    }
    const QStringList aside = QDir(Store::folder()).entryList({name + QStringLiteral(".unreadable-*")});
    c.that(!aside.isEmpty(), QStringLiteral("the damaged file is kept aside"));
    for (const QString& a : aside)
        QFile::remove(Store::path(a));
    QFile::remove(Store::path(name));
    QFile::remove(Store::path(name) + QStringLiteral(".bak"));
});

Snapshots::Sample focusSample("focus", [] {
    const QDateTime now = QDateTime::currentDateTime();
    FocusModel::Saved s;
    const struct {
        const char* title;
        bool done;
        qint64 pomodoros;
    } tasks[] = {
        {"Read chapter 4 of Biology", false, 3},
        {"Calculus problem set 2", false, 1},
        {"Outline the history essay", true, 2},
        {"Spanish verb flashcards", false, 12},
        {"Email the study group", false, 0},
    };
    for (const auto& t : tasks) {
        FocusTask task = FocusTask::make(QString::fromUtf8(t.title), now);
        task.done = t.done;
        task.pomodoros = t.pomodoros;
        s.tasks.append(task);
    }
    s.todayCount = 3;
    s.day = FocusModel::dayText(now);
    s.soundOn = true;
    Store::save(s, FocusModel::fileName());
});

} // namespace
