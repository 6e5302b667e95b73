// The focus window over a model with fake services: the dial's texts and
// colours, Start/Pause on the space bar (never inside a text field), the
// settings shown as stored, the to-do list with hidden completed tasks,
// dragging, deleting after the alert and editing titles in place.
#include "FocusFakes.h"
#include "TestEnvironment.h"
#include "planner/views/FocusRing.h"
#include "planner/views/FocusStepper.h"
#include "planner/views/FocusTaskList.h"
#include "planner/FocusTaskListModel.h"
#include "planner/views/FocusTaskDelegate.h"
#include "planner/views/FocusTaskRow.h"
#include "planner/views/FocusView.h"
#include "ui/Alert.h"
#include "ui/Chrome.h"
#include "ui/ChromeButton.h"
#include "ui/SpellLineEdit.h"
#include "ui/ToolScaffold.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextDocument>
#include <QToolButton>
#include <limits>

namespace {

QByteArray bytesOfFile(const QString& name)
{
    QFile f(Store::path(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString titles(const FocusModel& m)
{
    QStringList t;
    for (const FocusTask& task : m.tasks())
        t.append(task.title);
    return t.join(QLatin1Char(','));
}

QString rowTitles(const FocusView& v)
{
    QStringList t;
    for (int r = 0; r < v.listModel()->rowCount(); ++r)
        t.append(v.listModel()->task(r).title);
    return t.join(QLatin1Char(','));
}

const qint64 kMax = std::numeric_limits<qint64>::max();
const qint64 kMin = std::numeric_limits<qint64>::min();

} // namespace

class FocusViewTest : public QObject {
    Q_OBJECT

    FocusFakes f;

    // Tasks a..e; those named in `done` are ticked off.
    void addTasks(FocusModel& m, const QString& names, const QString& done = {})
    {
        for (QChar c : names) {
            m.addTask(QString(c));
            if (done.contains(c))
                m.setTaskDone(m.tasks().last().id, true);
        }
    }

private Q_SLOTS:
    void init()
    {
        TestEnvironment::clearDataFolder();
        f = FocusFakes();
        setAlertHandler({});
    }

    void newWindow()
    {
        FocusModel m(f.services());
        FocusView v(m);
        QCOMPARE(v.ring()->phaseText(), QStringLiteral("FOCUS"));
        QCOMPARE(v.ring()->clockText(), QStringLiteral("25:00"));
        QCOMPARE(v.ring()->sessionText(), QStringLiteral("Session 1 of 4 • 0 today"));
        QCOMPARE(v.ring()->color(), Chrome::cherry());
        QCOMPARE(v.ring()->shownFraction(), 0.0);
        QCOMPARE(v.startButton()->text(), QStringLiteral("Start"));
        QVERIFY(v.startButton()->isProminent());
        QVERIFY(!v.resetButton()->isProminent() && !v.resetButton()->isCompact());
        QVERIFY(v.workingOn()->isHidden());
        QCOMPARE(v.footerText(), QStringLiteral("0 to do • 0 done"));
        QCOMPARE(v.newTaskField()->placeholderText(), QStringLiteral("Add a task and press Return"));
        QVERIFY(v.showDone());
        QVERIFY(!focusFileExists());
    }

    void sessionLine_data()
    {
        QTest::addColumn<qint64>("cycles");
        QTest::addColumn<int>("skips");
        QTest::addColumn<QString>("phase");
        QTest::addColumn<QString>("line");
        QTest::newRow("after two focus sessions") << qint64(4) << 4 << QStringLiteral("FOCUS")
                                                  << QStringLiteral("Session 3 of 4 • 0 today");
        QTest::newRow("long break after the fourth") << qint64(4) << 7 << QStringLiteral("LONG BREAK")
                                                     << QStringLiteral("Session 1 of 4 • 0 today");
        QTest::newRow("cycles 0 as stored") << qint64(0) << 2 << QStringLiteral("FOCUS")
                                            << QStringLiteral("Session 1 of 0 • 0 today");
        QTest::newRow("short break") << qint64(4) << 1 << QStringLiteral("SHORT BREAK")
                                     << QStringLiteral("Session 2 of 4 • 0 today");
    }
    void sessionLine()
    {
        QFETCH(qint64, cycles);
        QFETCH(int, skips);
        FocusModel m(f.services());
        PomodoroConfig c;
        c.cyclesBeforeLong = cycles;
        m.setConfig(c);
        FocusView v(m);
        for (int i = 0; i < skips; ++i)
            m.skip();
        QTEST(v.ring()->phaseText(), "phase");
        QTEST(v.ring()->sessionText(), "line");
        QCOMPARE(v.ring()->color(), m.state().phase == FocusPhase::focus ? Chrome::cherry() : Chrome::seafoam());
    }

    void todayCountAndArc()
    {
        FocusModel m(f.services());
        FocusView v(m);
        v.show();
        m.startPause();
        QCOMPARE(v.startButton()->text(), QStringLiteral("Pause"));
        f.advance(750);
        m.tick();
        QCOMPARE(v.ring()->fraction(), 0.5);
        QVERIFY(v.ring()->isAnimating());
        QTRY_COMPARE(v.ring()->shownFraction(), 0.5);
        f.advance(750);
        m.tick();
        QCOMPARE(v.ring()->sessionText(), QStringLiteral("Session 2 of 4 • 1 today"));
        QCOMPARE(v.ring()->clockText(), QStringLiteral("05:00"));
        QCOMPARE(v.startButton()->text(), QStringLiteral("Start"));
    }

    // Space starts and pauses, except while typing in a text field.
    void spaceBar()
    {
        FocusModel m(f.services());
        m.addTask(QStringLiteral("Read"));
        FocusView v(m);
        v.show();
        QApplication::setActiveWindow(&v);
        QVERIFY(QTest::qWaitForWindowActive(&v));
        v.resetButton()->setFocus();
        QTest::keyClick(v.resetButton(), Qt::Key_Space);
        QTRY_VERIFY(m.state().running);
        QTest::keyClick(v.startButton(), Qt::Key_Space);
        QTRY_VERIFY(!m.state().running);

        for (QLineEdit* field : {static_cast<QLineEdit*>(v.newTaskField()),
                                 static_cast<QLineEdit*>(v.openRow(0)->titleField())}) {
            field->setFocus();
            QTRY_VERIFY(field->hasFocus());
            field->setCursorPosition(field->text().size());
            const QString before = field->text();
            QTest::keyClick(field, Qt::Key_Space);
            QTest::qWait(250);
            QVERIFY(!m.state().running);
            QCOMPARE(field->text(), before + QLatin1Char(' '));
            QVERIFY(field->hasFocus());
        }
    }

    // Values from the file are shown as they stand, and showing them writes
    // nothing.
    void settingsShownAsStored()
    {
        writeFocusFile(R"({"tasks": [], "config": {"focusMinutes": 500, "shortBreakMinutes": 0,
            "longBreakMinutes": 9000000000000000000, "cyclesBeforeLong": 0, "autoStartNext": true},
            "todayCount": 0, "day": "2026-03-14", "soundOn": false})");
        const QByteArray before = bytesOfFile(FocusModel::fileName());
        FocusModel m(f.services());
        FocusView v(m);
        v.show();
        QCOMPARE(v.stepper(0)->text(), QStringLiteral("Focus: 500 min"));
        QCOMPARE(v.stepper(1)->text(), QStringLiteral("Short break: 0 min"));
        QCOMPARE(v.stepper(2)->text(), QStringLiteral("Long break: 9000000000000000000 min"));
        QCOMPARE(v.stepper(3)->text(), QStringLiteral("Long break every 0 sessions"));
        QVERIFY(v.autoStartSwitch()->isChecked());
        QVERIFY(!v.soundSwitch()->isChecked());
        QCOMPARE(bytesOfFile(FocusModel::fileName()), before);
        QVERIFY(!QFile::exists(Store::path(FocusModel::fileName() + QStringLiteral(".bak"))));

        // A click brings the value into range and saves.
        QVERIFY(!v.stepper(0)->upButton()->isEnabled());
        v.stepper(0)->downButton()->click();
        QCOMPARE(m.config().focusMinutes, 120);
        QCOMPARE(m.state().remaining, 7200.0);
        QVERIFY(!v.stepper(3)->downButton()->isEnabled());
        v.stepper(3)->upButton()->click();
        QCOMPARE(m.config().cyclesBeforeLong, 2);
        QCOMPARE(readFocusFile()->config.cyclesBeforeLong, 2);
        QCOMPARE(readFocusFile()->config.longBreakMinutes, qint64(9000000000000000000));

        v.soundSwitch()->click();
        QVERIFY(m.soundOn());
        QCOMPARE(readFocusFile()->soundOn, std::optional<bool>(true));
        v.autoStartSwitch()->click();
        QVERIFY(!m.config().autoStartNext);
    }

    void stepperSteps_data()
    {
        QTest::addColumn<qint64>("value");
        QTest::addColumn<int>("direction");
        QTest::addColumn<qint64>("result");
        QTest::newRow("up inside") << qint64(25) << 1 << qint64(26);
        QTest::newRow("down inside") << qint64(25) << -1 << qint64(24);
        QTest::newRow("up at the top stays") << qint64(120) << 1 << qint64(120);
        QTest::newRow("down at the bottom stays") << qint64(1) << -1 << qint64(1);
        QTest::newRow("down from above the range") << qint64(500) << -1 << qint64(120);
        QTest::newRow("up from below the range") << qint64(-4) << 1 << qint64(1);
        QTest::newRow("up from the largest number") << kMax << 1 << qint64(120);
        QTest::newRow("down from the largest number") << kMax << -1 << qint64(120);
        QTest::newRow("down from the lowest number") << kMin << -1 << qint64(1);
        QTest::newRow("up from the lowest number") << kMin << 1 << qint64(1);
    }
    void stepperSteps()
    {
        QFETCH(qint64, value);
        QFETCH(int, direction);
        QTEST(FocusStepper::stepped(value, direction, 1, 120), "result");
    }

    void addingClearsTheField_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("added");
        QTest::addColumn<bool>("viaReturn");
        QTest::newRow("Return") << QStringLiteral("  Read  ") << 1 << true;
        QTest::newRow("Add button") << QStringLiteral("Read") << 1 << false;
        QTest::newRow("spaces only, Return") << QStringLiteral("   ") << 0 << true;
        QTest::newRow("spaces only, Add") << QStringLiteral("\t ") << 0 << false;
    }
    void addingClearsTheField()
    {
        QFETCH(QString, typed);
        QFETCH(bool, viaReturn);
        FocusModel m(f.services());
        FocusView v(m);
        v.newTaskField()->setText(typed);
        if (viaReturn)
            QTest::keyClick(v.newTaskField(), Qt::Key_Return);
        else
            v.addButton()->click();
        QTEST(int(m.tasks().size()), "added");
        QCOMPARE(v.listModel()->rowCount(), int(m.tasks().size()));
        QVERIFY(v.newTaskField()->text().isEmpty());
        if (!m.tasks().isEmpty())
            QCOMPARE(v.openRow(0)->titleField()->text(), QStringLiteral("Read"));
    }

    void dots_data()
    {
        QTest::addColumn<qint64>("pomodoros");
        QTest::addColumn<int>("dots");
        QTest::addColumn<QString>("help");
        QTest::newRow("none") << qint64(0) << 0 << QString();
        QTest::newRow("negative (hand-edited)") << qint64(-3) << 0 << QString();
        QTest::newRow("one, same wording") << qint64(1) << 1 << QStringLiteral("1 focus sessions");
        QTest::newRow("eight") << qint64(8) << 8 << QStringLiteral("8 focus sessions");
        QTest::newRow("twelve shows eight") << qint64(12) << 8 << QStringLiteral("12 focus sessions");
    }
    void dots()
    {
        QFETCH(qint64, pomodoros);
        QFETCH(int, dots);
        writeFocusFile(QByteArray(R"({"tasks": [{"id": "0F6C9D8E-1111-4B7A-9C1D-2E3F4A5B6C7D", "title": "Read",
            "done": false, "pomodoros": )") + QByteArray::number(pomodoros) + R"(, "created": "2026-03-10T08:00:00Z"}],
            "config": {"focusMinutes": 25, "shortBreakMinutes": 5, "longBreakMinutes": 15, "cyclesBeforeLong": 4,
            "autoStartNext": false}, "todayCount": 0, "day": "2026-03-14"})");
        FocusModel m(f.services());
        FocusView v(m);
        QCOMPARE(m.tasks().size(), 1);
        QLabel* label = v.openRow(0)->dots();
        QCOMPARE(label->text(), QString(dots, QChar(0x25CF)));
        QCOMPARE(label->isHidden(), dots == 0);
        QTEST(label->toolTip(), "help");
    }

    void hidingCompletedKeepsTheFooter()
    {
        FocusModel m(f.services());
        addTasks(m, QStringLiteral("abcd"), QStringLiteral("ac"));
        FocusView v(m);
        QCOMPARE(rowTitles(v), QStringLiteral("a,b,c,d"));
        QCOMPARE(v.footer()->text(), QStringLiteral("2 to do • 2 done"));
        v.showCompletedSwitch()->click();
        QCOMPARE(rowTitles(v), QStringLiteral("b,d"));
        QCOMPARE(v.footer()->text(), QStringLiteral("2 to do • 2 done"));
        QVERIFY(v.openRow(0)->titleField()->font().strikeOut() == false);

        // Ticking a shown task off hides its row (the row asking goes away
        // safely).
        v.openRow(0)->doneButton()->click();
        QCOMPARE(rowTitles(v), QStringLiteral("d"));
        QCOMPARE(v.footer()->text(), QStringLiteral("1 to do • 3 done"));
        QCoreApplication::processEvents();
        v.showCompletedSwitch()->click();
        QCOMPARE(rowTitles(v), QStringLiteral("a,b,c,d"));
        QVERIFY(v.openRow(0)->titleField()->font().strikeOut());
        QCOMPARE(v.openRow(0)->doneButton()->accessibleName(), QStringLiteral("Mark not done"));
        QCOMPARE(v.openRow(3)->doneButton()->accessibleName(), QStringLiteral("Mark done"));
    }

    // With completed tasks hidden, a move lands at the right place in the
    // full list.
    void moveWithCompletedHidden_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("destination");
        QTest::addColumn<QString>("order");
        // Full list a(done) b c(done) d e; shown b d e.
        QTest::newRow("e to the top") << 2 << 0 << QStringLiteral("a,e,b,c,d");
        QTest::newRow("b to the end") << 0 << 3 << QStringLiteral("a,c,d,e,b");
        QTest::newRow("b below d") << 0 << 2 << QStringLiteral("a,c,d,b,e");
        QTest::newRow("d above b") << 1 << 0 << QStringLiteral("a,d,b,c,e");
    }
    void moveWithCompletedHidden()
    {
        QFETCH(int, row);
        QFETCH(int, destination);
        FocusModel m(f.services());
        addTasks(m, QStringLiteral("abcde"), QStringLiteral("ac"));
        FocusView v(m);
        v.setShowDone(false);
        v.moveShownRows({row}, destination);
        QTEST(titles(m), "order");
        QStringList saved;
        const std::optional<FocusModel::Saved> file = readFocusFile();
        for (const FocusTask& t : file->tasks)
            saved.append(t.title);
        QTEST(saved.join(QLatin1Char(',')), "order");
    }

    // The same through a drop on the list: the place under the pointer.
    void dropOnTheList()
    {
        FocusModel m(f.services());
        addTasks(m, QStringLiteral("abcd"), QStringLiteral("ac"));
        FocusView v(m);
        v.resize(760, 560);
        v.show();
        v.setShowDone(false); // shown: b, d
        FocusTaskList* list = v.list();
        list->setCurrentIndex(list->model()->index(1, 0));
        const QRect first = list->visualRect(list->model()->index(0, 0));
        QCOMPARE(list->dropDestination(first.topLeft() + QPoint(20, 2)), 0);
        QCOMPARE(list->dropDestination(first.bottomLeft() + QPoint(20, -2)), 1);
        QCOMPARE(list->dropDestination(QPoint(20, list->viewport()->height() - 2)), 2);
        list->dropSelectionAt(first.topLeft() + QPoint(20, 2));
        QCOMPARE(titles(m), QStringLiteral("a,d,b,c"));
        QCOMPARE(rowTitles(v), QStringLiteral("d,b"));
    }

    void rowsFollowTheListWidth_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("then");
        QTest::newRow("widened, then narrowed") << 1900 << 760;
        QTest::newRow("narrowed, then widened") << 760 << 1900;
    }
    // A row is as wide as the list: a window made wide and then narrow again
    // neither scrolls the list sideways nor leaves rows short of its edge.
    void rowsFollowTheListWidth()
    {
        QFETCH(int, first);
        QFETCH(int, then);
        FocusModel m(f.services());
        addTasks(m, QStringLiteral("ab"));
        FocusView v(m);
        v.resize(first, 560);
        v.show();
        QVERIFY(QTest::qWaitForWindowExposed(&v));
        QCoreApplication::processEvents();
        v.resize(then, 560);
        QTest::qWait(50);
        FocusTaskList* list = v.list();
        QVERIFY(!list->horizontalScrollBar()->isVisible());
        const QRect row = list->visualRect(list->model()->index(0, 0));
        QCOMPARE(row.width(), list->viewport()->width());
    }

    // At the window's own size every control is on screen without
    // scrolling: the view fits the scaffold's room for it.
    void everyControlFitsTheWindow()
    {
        FocusModel m(f.services());
        addTasks(m, QStringLiteral("abc"));
        m.chooseTask(m.tasks().at(0).id); // the "Working on" line takes room too
        auto* v = new FocusView(m);
        ToolScaffold scaffold(Tool::focus, v);
        const QSize size = *Tool(Tool::focus).defaultSize();
        scaffold.resize(size);
        scaffold.show();
        QVERIFY(QTest::qWaitForWindowExposed(&scaffold));
        QCOMPARE(scaffold.size(), size);
        const int room = scaffold.height() - v->y();
        QVERIFY2(v->minimumSizeHint().height() <= room,
                 qPrintable(QStringLiteral("%1 > %2").arg(v->minimumSizeHint().height()).arg(room)));
        QList<QWidget*> controls{v->ring(), v->startButton(), v->resetButton(), v->skipButton(), v->workingOn(),
                                 v->autoStartSwitch(), v->soundSwitch(), v->newTaskField(), v->addButton(),
                                 v->showCompletedSwitch(), v->list(), v->clearCompletedButton(), v->footer()};
        for (int i = 0; i < 4; ++i)
            controls.append(v->stepper(i));
        v->openRow(1);
        const QString dir = qEnvironmentVariable("BW_SNAPSHOT_DIR");
        if (!dir.isEmpty())
            QVERIFY(scaffold.grab().save(dir + QStringLiteral("/focus-at-its-size.png")));
        const QRect visible(QPoint(0, 0), scaffold.size());
        for (QWidget* c : controls) {
            const QRect r(c->mapTo(&scaffold, QPoint(0, 0)), c->size());
            QVERIFY2(c->isVisible() && visible.contains(r),
                     qPrintable(c->metaObject()->className() + QStringLiteral(" at ")
                                + QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height())));
        }
    }

    // The buttons of a drawn row act as the row widget's do; the title
    // opens the row for editing in place; elsewhere the row is for dragging.
    void drawnRowsAnswerTheirParts_data()
    {
        QTest::addColumn<QString>("part");
        QTest::addColumn<QString>("expect");
        QTest::newRow("done") << QStringLiteral("done") << QStringLiteral("b done");
        QTest::newRow("target") << QStringLiteral("target") << QStringLiteral("b current");
        QTest::newRow("trash") << QStringLiteral("trash") << QStringLiteral("asked: Delete “b”?");
        QTest::newRow("title") << QStringLiteral("title") << QStringLiteral("b open");
        QTest::newRow("blank") << QStringLiteral("blank") << QStringLiteral("b selected");
        QTest::newRow("blank, then Return") << QStringLiteral("blank+return") << QStringLiteral("b open");
    }
    void drawnRowsAnswerTheirParts()
    {
        QFETCH(QString, part);
        QFETCH(QString, expect);
        FocusModel m(f.services());
        addTasks(m, QStringLiteral("abc"));
        m.addTask(QStringLiteral("d"));
        FocusView v(m);
        v.resize(760, 560);
        v.show();
        QVERIFY(QTest::qWaitForWindowExposed(&v));
        QStringList asked;
        const AlertHandler before = setAlertHandler([&asked](const AlertRequest& r) {
            asked.append(r.title);
            return alertFirstButton + 1;
        });
        const QRect rect = v.list()->visualRect(v.listModel()->index(1));
        const FocusTaskDelegate::Layout l = v.delegate()->layout(rect, 0);
        const QPoint at = part == QLatin1String("done")     ? l.done.center()
                        : part == QLatin1String("target")   ? l.target.center()
                        : part == QLatin1String("trash")    ? l.trash.center()
                        : part == QLatin1String("title")    ? l.title.center()
                                                            : QPoint(l.target.left() - 3, rect.center().y());
        QTest::mouseClick(v.list()->viewport(), Qt::LeftButton, {}, at);
        if (part.endsWith(QLatin1String("+return")))
            QTest::keyClick(v.list(), Qt::Key_Return);
        setAlertHandler(before);
        QString got;
        if (m.tasks().at(1).done)
            got = QStringLiteral("b done");
        else if (m.currentTaskID() == m.tasks().at(1).id)
            got = QStringLiteral("b current");
        else if (!asked.isEmpty())
            got = QStringLiteral("asked: ") + asked.join(QLatin1Char(','));
        else if (v.editorRow() && v.editorRow()->id() == m.tasks().at(1).id && v.editorRow()->titleField()->hasFocus())
            got = QStringLiteral("b open");
        else if (v.list()->currentIndex().row() == 1 && !v.editorRow())
            got = QStringLiteral("b selected");
        QCOMPARE(got, expect);
        // The drawn parts carry the row widget's help texts.
        if (part == QLatin1String("target"))
            QCOMPARE(v.delegate()->toolTipAt(rect, 1, at), QStringLiteral("Work on this task (credits focus sessions to it)"));
        if (part == QLatin1String("trash"))
            QCOMPARE(v.delegate()->toolTipAt(rect, 1, at), QStringLiteral("Delete task"));
    }

    // The open row starts a drag when pressed and moved outside its title
    // field and buttons, never from the title field.
    void theOpenRowDragsFromItsBackground()
    {
        FocusModel m(f.services());
        addTasks(m, QStringLiteral("ab"));
        FocusView v(m);
        v.resize(760, 560);
        v.show();
        QVERIFY(QTest::qWaitForWindowExposed(&v));
        FocusTaskRow* row = v.openRow(0);
        QVERIFY(row);
        QSignalSpy drags(row, &FocusTaskRow::dragStarted);
        auto pressAndMove = [](QWidget* w, const QPoint& from) {
            QMouseEvent press(QEvent::MouseButtonPress, from, w->mapToGlobal(from), Qt::LeftButton, Qt::LeftButton,
                              Qt::NoModifier);
            QApplication::sendEvent(w, &press);
            const QPoint to = from + QPoint(0, 3 * QApplication::startDragDistance());
            QMouseEvent move(QEvent::MouseMove, to, w->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(w, &move);
            QMouseEvent release(QEvent::MouseButtonRelease, to, w->mapToGlobal(to), Qt::LeftButton, Qt::NoButton,
                                Qt::NoModifier);
            QApplication::sendEvent(w, &release);
        };
        pressAndMove(row->titleField(), QPoint(4, row->titleField()->height() / 2));
        QCOMPARE(drags.count(), 0);
        pressAndMove(row, QPoint(row->targetButton()->x() - 3, row->height() / 2));
        QCOMPARE(drags.count(), 1);
    }

    void deleteAsksThenRemovesAfterTheAlert_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("left");
        QTest::newRow("Cancel keeps") << 1001 << QStringLiteral("a,Read,c");
        QTest::newRow("Delete removes") << 1000 << QStringLiteral("a,c");
    }
    void deleteAsksThenRemovesAfterTheAlert()
    {
        QFETCH(int, answer);
        FocusModel m(f.services());
        addTasks(m, QStringLiteral("a"));
        m.addTask(QStringLiteral("Read"));
        addTasks(m, QStringLiteral("c"));
        m.chooseTask(m.tasks().at(1).id);
        FocusView v(m);
        QCOMPARE(v.workingOn()->text(), QStringLiteral("Working on: Read"));
        QList<AlertRequest> asked;
        setAlertHandler([&](const AlertRequest& r) {
            asked.append(r);
            return answer;
        });
        v.openRow(1)->trashButton()->click();
        QCOMPARE(asked.size(), 1);
        QCOMPARE(asked.first().title, QStringLiteral("Delete “Read”?"));
        QCOMPARE(asked.first().informative, QString());
        QCOMPARE(asked.first().style, AlertStyle::Warning);
        QCOMPARE(asked.first().buttons, (QStringList{QStringLiteral("Delete"), QStringLiteral("Cancel")}));
        QCOMPARE(m.tasks().size(), 3); // nothing removed while the alert runs
        QFETCH(QString, left);
        QTRY_COMPARE(titles(m), left);
        QTEST(rowTitles(v), "left");
        // Deleting the current task leaves the choice but no line.
        QCOMPARE(v.workingOn()->isHidden(), answer == 1000);
        QCOMPARE(m.currentTaskID().isNull(), false);
    }

    void targetChoosesAndClears()
    {
        FocusModel m(f.services());
        addTasks(m, QStringLiteral("ab"));
        FocusView v(m);
        v.show();
        v.openRow(1)->targetButton()->click();
        QCOMPARE(m.currentTaskID(), m.tasks().at(1).id);
        QVERIFY(!v.workingOn()->isHidden());
        QCOMPARE(v.workingOn()->text(), QStringLiteral("Working on: b"));
        QCOMPARE(v.openRow(1)->targetButton()->property("current").toBool(), true);
        QCOMPARE(v.openRow(0)->targetButton()->property("current").toBool(), false);
        v.openRow(1)->targetButton()->click();
        QVERIFY(m.currentTaskID().isNull());
        QVERIFY(v.workingOn()->isHidden());
        QCOMPARE(readFocusFile()->tasks, m.tasks()); // the choice is not saved
        QFile::remove(Store::path(FocusModel::fileName()));
        v.openRow(0)->targetButton()->click();
        QVERIFY(!focusFileExists());
    }

    void workingOnToolTipShowsTheTitle_data()
    {
        QTest::addColumn<QString>("title");
        QTest::newRow("plain") << QStringLiteral("Read chapter 4");
        QTest::newRow("tags") << QStringLiteral("<b>Essay</b> draft");
        QTest::newRow("a tag first") << QStringLiteral("<p>  spaced");
    }
    void workingOnToolTipShowsTheTitle()
    {
        // A tooltip that looks like markup is read as rich text: what shows
        // must still be the title as typed.
        QFETCH(QString, title);
        FocusModel m(f.services());
        m.addTask(title);
        m.chooseTask(m.tasks().at(0).id);
        FocusView v(m);
        const QString tip = v.workingOn()->toolTip();
        QString shown = tip;
        if (Qt::mightBeRichText(tip)) {
            QTextDocument doc;
            doc.setHtml(tip);
            shown = doc.toPlainText();
        }
        QCOMPARE(shown, QStringLiteral("Working on: ") + title);
    }

    // Choosing a task neither moves the buttons nor asks for more height than
    // the window was opened with (it keeps the minimum it had at first).
    void workingOnKeepsItsRoom()
    {
        FocusModel m(f.services());
        addTasks(m, QStringLiteral("ab"));
        FocusView v(m);
        v.show();
        QVERIFY(QTest::qWaitForWindowExposed(&v));
        const int minimum = v.minimumSizeHint().height();
        const QPoint start = v.startButton()->mapTo(&v, QPoint(0, 0));
        v.openRow(1)->targetButton()->click();
        QCoreApplication::processEvents();
        QVERIFY(!v.workingOn()->isHidden());
        QCOMPARE(v.minimumSizeHint().height(), minimum);
        QCOMPARE(v.startButton()->mapTo(&v, QPoint(0, 0)), start);
        const QRect line(v.workingOn()->mapTo(&v, QPoint(0, 0)), v.workingOn()->size());
        QVERIFY(line.top() >= start.y() + v.startButton()->height());
    }

    // Typing in a row's title saves each change and keeps the field, its
    // cursor and the focus.
    void editingATitleKeepsFocus()
    {
        FocusModel m(f.services());
        addTasks(m, QStringLiteral("ab"));
        FocusView v(m);
        v.show();
        QApplication::setActiveWindow(&v);
        QVERIFY(QTest::qWaitForWindowActive(&v));
        SpellLineEdit* field = v.openRow(0)->titleField();
        field->setFocus();
        field->setCursorPosition(1);
        QTest::keyClicks(field, QStringLiteral("ll "));
        QCOMPARE(m.tasks().at(0).title, QStringLiteral("all "));
        QCOMPARE(readFocusFile()->tasks.at(0).title, QStringLiteral("all "));
        QCOMPARE(v.openRow(0)->titleField(), field);
        QVERIFY(field->hasFocus());
        QCOMPARE(field->cursorPosition(), 4);
        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(readFocusFile()->tasks.at(0).title, QStringLiteral("all "));
    }

    void clearCompleted()
    {
        FocusModel m(f.services());
        addTasks(m, QStringLiteral("abc"), QStringLiteral("b"));
        FocusView v(m);
        v.clearCompletedButton()->click();
        QCOMPARE(titles(m), QStringLiteral("a,c"));
        QCOMPARE(rowTitles(v), QStringLiteral("a,c"));
        QFile::remove(Store::path(FocusModel::fileName()));
        v.clearCompletedButton()->click(); // nothing to clear: saved all the same
        QCOMPARE(readFocusFile()->tasks, m.tasks());
    }

    // A window shown on a new day shows the new day's count.
    void showingOnANewDay()
    {
        FocusModel m(f.services());
        finishPhaseHelper(m);
        FocusView v(m);
        QCOMPARE(v.ring()->sessionText(), QStringLiteral("Session 2 of 4 • 1 today"));
        f.now = f.now.addDays(1);
        v.show();
        QCOMPARE(v.ring()->sessionText(), QStringLiteral("Session 2 of 4 • 0 today"));
    }

    // An open window with the clock stopped wakes nothing; a running clock
    // of ordinary length wakes it four times a second and no more (the arc
    // steps by less than a pixel per tick: no animation in between).
    void wakeUps()
    {
        FocusModel::Services wallClock = f.services();
        wallClock.now = [] { return QDateTime::currentDateTime(); };
        FocusModel m(wallClock);
        addTasks(m, QStringLiteral("ab"), QStringLiteral("b"));
        FocusView v(m);
        v.show();
        QTest::qWait(200);
        struct Counter : QObject {
            int timers = 0;
            bool eventFilter(QObject*, QEvent* e) override
            {
                timers += e->type() == QEvent::Timer ? 1 : 0;
                return false;
            }
        } counter;
        qApp->installEventFilter(&counter);
        QTest::qWait(1000);
        QCOMPARE(counter.timers, 0);
        m.startPause();
        QTest::qWait(1000);
        QVERIFY2(counter.timers <= 6, qPrintable(QString::number(counter.timers)));
        QTRY_VERIFY(m.state().remaining < 1500.0);
        QVERIFY(!v.ring()->isAnimating());
        qApp->removeEventFilter(&counter);
        m.startPause();
    }


private:
    void finishPhaseHelper(FocusModel& m)
    {
        m.startPause();
        f.advance(m.state().remaining);
        m.tick();
    }
};

QTEST_MAIN(FocusViewTest)
#include "tst_focusview.moc"
