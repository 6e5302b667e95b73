// The focus model against a hand-set clock, a fake notifier and a fake
// sound: loading "focus.json", the end of a phase, skipping, resetting,
// rules changed on the fly, sleep, a clock set back, midnight, the to-do
// edits, and a timer that exists only while the clock runs.
#include "FocusFakes.h"
#include "TestEnvironment.h"
#include "core/StoreEvents.h"

#include <QDialog>
#include <QDir>
#include <QSet>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

Q_DECLARE_METATYPE(FocusPhase)

namespace {

const QString kFocusDone = QStringLiteral("Focus session complete — take a break!");
const QString kBreakDone = QStringLiteral("Break’s over — time to focus.");

QByteArray task(const char* id, const char* title, bool done, qint64 pomodoros)
{
    return QByteArray(R"({"id": ")") + id + R"(", "title": ")" + title + R"(", "done": )"
        + (done ? "true" : "false") + R"(, "pomodoros": )" + QByteArray::number(pomodoros)
        + R"(, "created": "2026-03-10T08:00:00Z"})";
}

const char* kIdA = "0F6C9D8E-1111-4B7A-9C1D-2E3F4A5B6C7D";
const char* kIdB = "0F6C9D8E-2222-4B7A-9C1D-2E3F4A5B6C7D";

QByteArray file(const QByteArray& tasks, const QByteArray& day, int count, const QByteArray& extra = {},
                const QByteArray& config = R"({"focusMinutes": 25, "shortBreakMinutes": 5,
                    "longBreakMinutes": 15, "cyclesBeforeLong": 4, "autoStartNext": false})")
{
    return "{\"tasks\": [" + tasks + "], \"config\": " + config + ", \"todayCount\": " + QByteArray::number(count)
        + ", \"day\": \"" + day + "\"" + extra + "}";
}

QStringList asideCopies()
{
    return QDir(Store::folder()).entryList({FocusModel::fileName() + QStringLiteral(".unreadable-*")});
}

} // namespace

class FocusModelTest : public QObject {
    Q_OBJECT

    FocusFakes f;

    // Runs the current phase to its end in one step.
    void finishPhase(FocusModel& m)
    {
        if (!m.state().running)
            m.startPause();
        f.advance(m.state().remaining);
        m.tick();
    }

private Q_SLOTS:
    void init()
    {
        TestEnvironment::clearDataFolder();
        f = FocusFakes();
    }

    void firstStart()
    {
        FocusModel m(f.services());
        QCOMPARE(m.config(), PomodoroConfig{});
        QVERIFY(m.soundOn());
        QVERIFY(m.tasks().isEmpty());
        QCOMPARE(m.todayCount(), 0);
        QCOMPARE(PomodoroState::clock(m.state().remaining), QStringLiteral("25:00"));
        QVERIFY(!m.timerActive());
        QVERIFY(!focusFileExists()); // reading writes nothing
    }

    void loading_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<bool>("loaded");
        QTest::addColumn<qint64>("today");
        QTest::addColumn<bool>("sound");
        const QByteArray two = task(kIdA, "Read", false, 2) + "," + task(kIdB, "Write", true, 0);
        QTest::newRow("today's count restored") << file(two, "2026-03-14", 3) << true << qint64(3) << true;
        QTest::newRow("yesterday's count dropped") << file(two, "2026-03-13", 3) << true << qint64(0) << true;
        QTest::newRow("day in another format") << file(two, "14/03/2026", 3) << true << qint64(0) << true;
        QTest::newRow("soundOn false kept") << file(two, "2026-03-14", 1, ", \"soundOn\": false") << true
                                            << qint64(1) << false;
        QTest::newRow("soundOn null means on") << file(two, "2026-03-14", 1, ", \"soundOn\": null") << true
                                               << qint64(1) << true;
        QTest::newRow("soundOn as text fails the file")
            << file(two, "2026-03-14", 1, ", \"soundOn\": \"no\"") << false << qint64(0) << true;
        QTest::newRow("a task without created fails the file")
            << file(task(kIdA, "Read", false, 2) + R"(,{"id": ")" + kIdB
                        + R"(", "title": "x", "done": false, "pomodoros": 0})",
                    "2026-03-14", 3)
            << false << qint64(0) << true;
        QTest::newRow("config key missing fails the file")
            << file(two, "2026-03-14", 3, {}, R"({"focusMinutes": 25})") << false << qint64(0) << true;
        QTest::newRow("todayCount missing fails the file")
            << QByteArray(R"({"tasks": [], "config": {"focusMinutes": 25, "shortBreakMinutes": 5,
                "longBreakMinutes": 15, "cyclesBeforeLong": 4, "autoStartNext": false}, "day": "2026-03-14"})")
            << false << qint64(0) << true;
        QTest::newRow("not JSON") << QByteArray("{\"tasks\": [") << false << qint64(0) << true;
    }
    void loading()
    {
        QFETCH(QByteArray, json);
        QFETCH(bool, loaded);
        writeFocusFile(json);
        FocusModel m(f.services());
        QCOMPARE(m.tasks().size(), loaded ? 2 : 0);
        QTEST(m.todayCount(), "today");
        QTEST(m.soundOn(), "sound");
        QVERIFY(!m.timerActive());
        if (loaded) {
            QCOMPARE(m.tasks().at(0).title, QStringLiteral("Read"));
            QCOMPARE(m.tasks().at(0).pomodoros, 2);
            QVERIFY(m.tasks().at(1).done);
            QVERIFY(asideCopies().isEmpty());
        } else {
            QCOMPARE(m.config(), PomodoroConfig{});
            // The file that could not be read is kept aside before the next
            // save replaces it.
            QCOMPARE(asideCopies().size(), 1);
            m.addTask(QStringLiteral("New"));
            QFile aside(Store::path(asideCopies().first()));
            QVERIFY(aside.open(QIODevice::ReadOnly));
            QCOMPARE(aside.readAll(), json);
        }
    }

    // Rows, the current task and moves go by id: a repeated one is mended
    // when the file is read, the file kept aside as it was, the user told once.
    void repeatedIds_data()
    {
        QTest::addColumn<QByteArray>("tasks");
        QTest::addColumn<QStringList>("titles");
        const QByteArray read = task(kIdA, "Read", false, 2);
        QTest::newRow("the same task twice") << read + "," + task(kIdB, "Write", true, 0) + "," + read
                                             << QStringList{QStringLiteral("Read"), QStringLiteral("Write")};
        QTest::newRow("two tasks, one id") << read + "," + task(kIdA, "Write", true, 0)
                                           << QStringList{QStringLiteral("Read"), QStringLiteral("Write")};
    }
    void repeatedIds()
    {
        QFETCH(QByteArray, tasks);
        QFETCH(QStringList, titles);
        const QByteArray json = file(tasks, "2026-03-14", 1);
        writeFocusFile(json);
        StoreEvents::shared().clear(StoreEvents::ownerOf(FocusModel::fileName()));
        FocusModel m(f.services());
        QStringList got;
        QSet<QUuid> ids;
        for (const FocusTask& t : m.tasks()) {
            got.append(t.title);
            ids.insert(t.id);
        }
        QCOMPARE(got, titles);
        QCOMPARE(ids.size(), titles.size());
        QCOMPARE(m.tasks().at(0).id, QUuid(QString::fromLatin1(kIdA)));
        const QList<StoreEvents::Problem> told = StoreEvents::shared().problems();
        QCOMPARE(std::count_if(told.cbegin(), told.cend(),
                               [](const StoreEvents::Problem& p) { return p.owner == QStringLiteral("Focus Timer & To-Do"); }),
                 1);
        QCOMPARE(asideCopies().size(), 1);
        QFile aside(Store::path(asideCopies().first()));
        QVERIFY(aside.open(QIODevice::ReadOnly));
        QCOMPARE(aside.readAll(), json);
    }

    // A hand-edited file with absurd lengths loads, runs without overflow
    // and is written back with the values as they were.
    void absurdLengthsKeptAsStored()
    {
        writeFocusFile(file({}, "2026-03-14", 0, {}, R"({"focusMinutes": 9000000000000000000,
            "shortBreakMinutes": -5, "longBreakMinutes": 0, "cyclesBeforeLong": -2, "autoStartNext": false})"));
        FocusModel m(f.services());
        QCOMPARE(m.config().focusMinutes, qint64(9000000000000000000));
        QCOMPARE(PomodoroState::clock(m.state().remaining), QStringLiteral("153722867280912930:07"));
        m.skip();
        QCOMPARE(m.state().phase, FocusPhase::longBreak); // cycles below 1 count as 1
        QCOMPARE(m.state().remaining, 60.0);
        m.persist();
        QCOMPARE(readFocusFile()->config, m.config());
    }

    void focusSessionEnds()
    {
        writeFocusFile(file(task(kIdA, "Read", false, 2) + "," + task(kIdB, "Write", false, 0), "2026-03-14", 1));
        FocusModel m(f.services());
        m.chooseTask(QUuid::fromString(QLatin1String(kIdB)));
        m.startPause();
        QVERIFY(m.timerActive());
        f.advance(1499.999);
        m.tick();
        QCOMPARE(m.state().phase, FocusPhase::focus); // 0.001 s left
        QVERIFY(f.posted.isEmpty());
        QVERIFY(!focusFileExists() || readFocusFile()->todayCount == 1);
        f.advance(0.001);
        m.tick();
        QCOMPARE(m.state().phase, FocusPhase::shortBreak);
        QCOMPARE(m.state().remaining, 300.0);
        QVERIFY(!m.state().running);
        QVERIFY(!m.timerActive());
        QCOMPARE(m.todayCount(), 2);
        QCOMPARE(m.tasks().at(0).pomodoros, 2);
        QCOMPARE(m.tasks().at(1).pomodoros, 1);
        QCOMPARE(f.posted.size(), 1);
        QCOMPARE(f.posted.first(), (FocusNotification{kFocusDone, QStringLiteral("Brindleworks by VEXO"),
                                                      QStringLiteral("Next: Short Break (05:00)")}));
        QCOMPARE(f.sounds, 1);
        const std::optional<FocusModel::Saved> saved = readFocusFile();
        QVERIFY(saved);
        QCOMPARE(saved->todayCount, 2);
        QCOMPARE(saved->day, QStringLiteral("2026-03-14"));
        QCOMPARE(saved->tasks.at(1).pomodoros, 1);
        QCOMPARE(saved->soundOn, std::optional<bool>(true));
    }

    // What the notification says after each kind of phase.
    void notifications_data()
    {
        QTest::addColumn<int>("phasesBefore");
        QTest::addColumn<bool>("autoStart");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("body");
        QTest::addColumn<bool>("sound");
        QTest::newRow("first focus") << 0 << false << kFocusDone << QStringLiteral("Next: Short Break (05:00)") << true;
        QTest::newRow("short break") << 1 << false << kBreakDone << QStringLiteral("Next: Focus (25:00)") << true;
        QTest::newRow("fourth focus, sound off") << 6 << false << kFocusDone
                                                 << QStringLiteral("Next: Long Break (15:00)") << false;
        QTest::newRow("long break") << 7 << false << kBreakDone << QStringLiteral("Next: Focus (25:00)") << true;
        QTest::newRow("automatic start, break") << 1 << true << kBreakDone << QStringLiteral("Next: Focus (25:00)")
                                                << true;
    }
    void notifications()
    {
        QFETCH(int, phasesBefore);
        QFETCH(bool, autoStart);
        QFETCH(bool, sound);
        FocusModel m(f.services());
        PomodoroConfig c;
        c.autoStartNext = autoStart;
        m.setConfig(c);
        m.setSoundOn(sound);
        for (int i = 0; i < phasesBefore; ++i)
            m.skip();
        finishPhase(m);
        QCOMPARE(f.posted.size(), 1);
        QTEST(f.posted.first().title, "title");
        QTEST(f.posted.first().body, "body");
        QCOMPARE(f.posted.first().subtitle, QStringLiteral("Brindleworks by VEXO"));
        QCOMPARE(f.sounds, sound ? 1 : 0); // the notification is posted either way
        QCOMPARE(m.state().running, autoStart);
        QCOMPARE(m.timerActive(), autoStart);
    }



    void finishedBreakSavesNothing()
    {
        FocusModel m(f.services());
        m.addTask(QStringLiteral("Read"));
        m.chooseTask(m.tasks().first().id);
        m.skip();
        QFile::remove(Store::path(FocusModel::fileName()));
        finishPhase(m);
        QCOMPARE(m.state().phase, FocusPhase::focus);
        QCOMPARE(m.todayCount(), 0);
        QCOMPARE(m.tasks().first().pomodoros, 0);
        QVERIFY(!focusFileExists());
        QCOMPARE(f.posted.size(), 1);
    }

    void creditGoesToAnExistingCurrentTask_data()
    {
        QTest::addColumn<int>("choice"); // 0 none, 1 chosen, 2 chosen then deleted
        QTest::newRow("no current task") << 0;
        QTest::newRow("current task") << 1;
        QTest::newRow("current task deleted") << 2;
    }
    void creditGoesToAnExistingCurrentTask()
    {
        QFETCH(int, choice);
        FocusModel m(f.services());
        m.addTask(QStringLiteral("Keep"));
        m.addTask(QStringLiteral("Chosen"));
        const QUuid chosen = m.tasks().at(1).id;
        if (choice > 0)
            m.chooseTask(chosen);
        if (choice == 2)
            m.removeTask(chosen);
        finishPhase(m);
        QCOMPARE(m.todayCount(), 1);
        QCOMPARE(m.tasks().first().pomodoros, 0);
        if (choice == 1)
            QCOMPARE(m.tasks().at(1).pomodoros, 1);
        QCOMPARE(m.currentTaskID(), choice > 0 ? chosen : QUuid());
    }

    void skipRunningFocus()
    {
        FocusModel m(f.services());
        m.startPause();
        f.advance(100);
        m.tick();
        m.skip();
        QCOMPARE(m.state().phase, FocusPhase::shortBreak);
        QCOMPARE(m.state().remaining, 300.0);
        QCOMPARE(m.state().completedFocus, 1);
        QVERIFY(m.state().running);
        QVERIFY(m.timerActive());
        QCOMPARE(m.todayCount(), 0);
        QVERIFY(f.posted.isEmpty());
        QCOMPARE(f.sounds, 0);
        QVERIFY(!focusFileExists());
    }


    void resetDuringLongBreak()
    {
        FocusModel m(f.services());
        for (int i = 0; i < 7; ++i)
            m.skip();
        m.startPause();
        f.advance(60);
        m.tick();
        QCOMPARE(m.state().remaining, 840.0);
        m.reset();
        QCOMPARE(m.state().phase, FocusPhase::longBreak);
        QCOMPARE(m.state().completedFocus, 4);
        QCOMPARE(PomodoroState::clock(m.state().remaining), QStringLiteral("15:00"));
        QVERIFY(!m.state().running);
        QVERIFY(!m.timerActive());
    }

    void configChange_data()
    {
        QTest::addColumn<bool>("running");
        QTest::addColumn<double>("remaining");
        QTest::newRow("stopped: refilled") << false << 1800.0;
        QTest::newRow("running: time left kept") << true << 1490.0;
    }
    void configChange()
    {
        QFETCH(bool, running);
        FocusModel m(f.services());
        m.startPause();
        f.advance(10);
        m.tick();
        if (!running)
            m.startPause();
        PomodoroConfig c = m.config();
        c.focusMinutes = 30;
        m.setConfig(c);
        QCOMPARE(m.state().config, c);
        QTEST(m.state().remaining, "remaining");
        QCOMPARE(m.state().total(), 1800.0);
        QCOMPARE(m.state().running, running);
        QCOMPARE(readFocusFile()->config.focusMinutes, 30);
    }

    // After a sleep far past the end of the phase, one tick ends that phase
    // only; the next starts full.
    void sleepThrough_data()
    {
        QTest::addColumn<bool>("autoStart");
        QTest::newRow("stops after the phase") << false;
        QTest::newRow("automatic start") << true;
    }
    void sleepThrough()
    {
        QFETCH(bool, autoStart);
        FocusModel m(f.services());
        PomodoroConfig c;
        c.autoStartNext = autoStart;
        m.setConfig(c);
        m.startPause();
        f.advance(10 * 3600);
        m.tick();
        QCOMPARE(m.state().phase, FocusPhase::shortBreak);
        QCOMPARE(m.state().remaining, 300.0);
        QCOMPARE(m.todayCount(), 1);
        QCOMPARE(f.posted.size(), 1);
        QCOMPARE(m.state().running, autoStart);
        f.advance(0.25);
        m.tick();
        QCOMPARE(m.state().remaining, autoStart ? 299.75 : 300.0);
        QCOMPARE(f.posted.size(), 1);
    }

    // A clock set back counts as no time at all; counting goes on from there.
    void clockSetBack()
    {
        FocusModel m(f.services());
        m.startPause();
        f.advance(-3600);
        m.tick();
        QCOMPARE(m.state().remaining, 1500.0);
        f.advance(1);
        m.tick();
        QCOMPARE(m.state().remaining, 1499.0);
    }

    // The day's count starts again at the first tick or save of a new day,
    // and a save never stamps an old count with a new date.
    void midnight_data()
    {
        QTest::addColumn<QString>("via");
        QTest::newRow("tick") << QStringLiteral("tick");
        QTest::newRow("save") << QStringLiteral("save");
        QTest::newRow("focus session ending after midnight") << QStringLiteral("finish");
    }
    void midnight()
    {
        QFETCH(QString, via);
        f.now = QDateTime(QDate(2026, 3, 14), QTime(23, 50), Qt::UTC);
        writeFocusFile(file(task(kIdA, "Read", false, 0), "2026-03-14", 5));
        FocusModel m(f.services());
        QCOMPARE(m.todayCount(), 5);
        QSignalSpy changed(&m, &FocusModel::todayCountChanged);
        m.startPause();
        f.now = QDateTime(QDate(2026, 3, 15), QTime(0, 0, 10), Qt::UTC);
        if (via == QLatin1String("tick")) {
            m.tick();
            QCOMPARE(m.todayCount(), 0);
            QCOMPARE(changed.count(), 1);
            m.persist();
        } else if (via == QLatin1String("save")) {
            m.addTask(QStringLiteral("Plan"));
            QCOMPARE(m.todayCount(), 0);
        } else {
            f.advance(1500);
            m.tick();
            QCOMPARE(m.todayCount(), 1);
        }
        const std::optional<FocusModel::Saved> saved = readFocusFile();
        QCOMPARE(saved->day, QStringLiteral("2026-03-15"));
        QCOMPARE(saved->todayCount, m.todayCount());
    }

    void countsStopAtTheLargestExactNumber()
    {
        writeFocusFile(file(task(kIdA, "Read", false, 9007199254740991), "2026-03-14", 1));
        FocusModel m(f.services());
        m.chooseTask(m.tasks().first().id);
        finishPhase(m);
        QCOMPARE(m.tasks().first().pomodoros, qint64(9007199254740991));
        QCOMPARE(readFocusFile()->tasks.first().pomodoros, qint64(9007199254740991));
    }

    void addTask_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("title"); // empty: nothing added
        QTest::newRow("spaces and a tab") << QStringLiteral("  Read chapter 4\t") << QStringLiteral("Read chapter 4");
        QTest::newRow("inner blanks kept") << QStringLiteral("a \t b") << QStringLiteral("a \t b");
        QTest::newRow("line breaks are not trimmed") << QStringLiteral(" \nx\n ") << QStringLiteral("\nx\n");
        QTest::newRow("spaces only") << QStringLiteral("   ") << QString();
        QTest::newRow("tabs and spaces only") << QStringLiteral("\t \t") << QString();
        QTest::newRow("empty") << QString() << QString();
    }
    void addTask()
    {
        QFETCH(QString, typed);
        QFETCH(QString, title);
        FocusModel m(f.services());
        QCOMPARE(m.addTask(typed), !title.isEmpty());
        if (title.isEmpty()) {
            QVERIFY(m.tasks().isEmpty());
            QVERIFY(!focusFileExists());
            return;
        }
        QCOMPARE(m.tasks().size(), 1);
        const FocusTask& t = m.tasks().first();
        QCOMPARE(t.title, title);
        QVERIFY(!t.done);
        QCOMPARE(t.pomodoros, 0);
        QCOMPARE(t.created, f.now);
        QCOMPARE(readFocusFile()->tasks, m.tasks());
    }



    void move_data()
    {
        QTest::addColumn<QList<int>>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QString>("order");
        QTest::newRow("last to first") << QList<int>{4} << 0 << QStringLiteral("eabcd");
        QTest::newRow("first to end") << QList<int>{0} << 5 << QStringLiteral("bcdea");
        QTest::newRow("down one (destination after it)") << QList<int>{1} << 3 << QStringLiteral("acbde");
        QTest::newRow("onto itself") << QList<int>{2} << 2 << QStringLiteral("abcde");
        QTest::newRow("just below itself") << QList<int>{2} << 3 << QStringLiteral("abcde");
        QTest::newRow("several keep their order") << QList<int>{3, 0} << 2 << QStringLiteral("badce");
        QTest::newRow("out of range ignored") << QList<int>{9, -1} << 0 << QStringLiteral("abcde");
        QTest::newRow("destination beyond the end") << QList<int>{0} << 99 << QStringLiteral("bcdea");
    }
    void move()
    {
        QFETCH(QList<int>, from);
        QFETCH(int, to);
        QList<FocusTask> tasks;
        for (QChar c : QStringLiteral("abcde"))
            tasks.append(FocusTask::make(QString(c), f.now));
        FocusTasks::move(tasks, from, to);
        QString order;
        for (const FocusTask& t : tasks)
            order += t.title;
        QTEST(order, "order");
    }


    // No wake-ups while stopped: the timer exists only while the clock runs.
    void timerOnlyWhileRunning()
    {
        FocusModel m(f.services());
        QSignalSpy ticks(&m, &FocusModel::stateChanged);
        QTest::qWait(600);
        QCOMPARE(ticks.count(), 0);
        m.startPause();
        QVERIFY(m.timerActive());
        QTRY_VERIFY_WITH_TIMEOUT(ticks.count() >= 3, 5000);
        m.startPause();
        QVERIFY(!m.timerActive());
        const int afterPause = int(ticks.count());
        QTest::qWait(600);
        QCOMPARE(ticks.count(), afterPause);
        m.startPause();
        m.reset();
        QVERIFY(!m.timerActive());
    }

    // A modal dialog (or an open menu) runs its own event loop: the clock
    // keeps counting through it.
    void countsWhileADialogIsOpen()
    {
        FocusModel m(f.services());
        m.startPause();
        QDialog dialog;
        int ticks = 0;
        // Closed by the third tick, or after 20 s at the latest.
        connect(&m, &FocusModel::stateChanged, &dialog, [&] {
            if (++ticks == 3)
                dialog.accept();
        });
        QTimer::singleShot(20000, &dialog, &QDialog::reject);
        QTimer stepper;
        connect(&stepper, &QTimer::timeout, this, [this] { f.advance(0.1); });
        stepper.start(100);
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
        QCOMPARE(ticks, 3);
        QVERIFY(m.state().remaining < 1500.0);
    }
};

QTEST_MAIN(FocusModelTest)
#include "tst_focusmodel.moc"
