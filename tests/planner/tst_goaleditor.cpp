#include "TestEnvironment.h"
#include "core/Json.h"
#include "core/Store.h"
#include "planner/TimelineMath.h"
#include "planner/TimelineModel.h"
#include "planner/views/GoalEditor.h"
#include "planner/views/GoalFormPanel.h"
#include "planner/views/GoalMilestoneRow.h"
#include "planner/views/GoalMilestonesPanel.h"
#include "planner/views/GoalSwatches.h"
#include "ui/Chrome.h"
#include "ui/ChromeButton.h"
#include "ui/SegmentedPicker.h"
#include "ui/SpellLineEdit.h"
#include "ui/SpellTextView.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>
#include <QTimeZone>
#include <QToolButton>
#include <memory>

namespace {

QDateTime todayAt(int dayOffset, int hour = 0)
{
    const QTimeZone zone = TimelineMath::currentZone();
    return QDate::currentDate().addDays(dayOffset).startOfDay(zone).addSecs(hour * 3600).toUTC();
}

StudyGoal goal(const QString& title, int startOffset, int dueOffset, double manual = 0)
{
    StudyGoal g = StudyGoal::make(title, GoalTerm::shortTerm, todayAt(startOffset), todayAt(dueOffset, 1));
    g.manualProgress = manual;
    return g;
}

// A model over the given goals (saved and loaded like a real file), and an
// editor of the goal `editing`.
struct Fixture {
    std::unique_ptr<TimelineModel> model;
    std::unique_ptr<GoalEditor> editor;

    Fixture(const QList<StudyGoal>& goals, qsizetype editing = 0,
            const QDateTime& newDate = QDateTime(QDate(2026, 4, 2), QTime(9, 30), QTimeZone::utc()))
    {
        TestEnvironment::clearDataFolder();
        Store::save(Json::fromList(goals), TimelineModel::fileName());
        model = std::make_unique<TimelineModel>();
        editor = std::make_unique<GoalEditor>(model.get(), goals.at(editing).id, newDate);
        editor->resize(900, GoalEditor::kHeight);
        editor->show();
    }
    ~Fixture() { editor.reset(); }

    GoalFormPanel* form() const { return editor->form(); }
    GoalMilestonesPanel* list() const { return editor->milestones(); }
    StudyGoal current() const { return *model->goal(editor->goalId()); }
};

} // namespace

class GoalEditorTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void openingWritesNothingBack();
    void editsFollowTheGoalByIdAfterResort();
    void statusLine_data();
    void statusLine();
    void progressRowVisibility_data();
    void progressRowVisibility();
    void sliderAndPercent_data();
    void sliderAndPercent();
    void titleTermColourNotes();
    void duePickerRefusesDaysBeforeStart();
    void movingStartPastDueLeavesDue();
    void addMilestoneFromTheEntryRow();
    void tickingStrikesThroughAndCounts();
    void trashRemovesThatMilestoneAfterTheClick();
};

void GoalEditorTest::openingWritesNothingBack()
{
    StudyGoal g = goal(QStringLiteral("Thesis"), -3, 40, 0.3337);
    g.start = g.start.addSecs(13 * 3600 + 45 * 60 + 17);
    g.notes = QStringLiteral("Line one\nLine two");
    g.progressFromMilestones = false;
    g.colorIndex = 9;
    g.milestones = {Milestone::make(QStringLiteral("Draft"), todayAt(5, 15), true)};
    TestEnvironment::clearDataFolder();
    Store::save(Json::fromList(QList<StudyGoal>{g}), TimelineModel::fileName());
    TimelineModel model;
    const QList<StudyGoal> before = model.goals();
    QSignalSpy changes(&model, &TimelineModel::goalsChanged);
    {
        GoalEditor editor(&model, g.id);
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        QCoreApplication::processEvents();
        QCOMPARE(editor.form()->progressSlider()->value(), 334);
        QCOMPARE(editor.form()->progressLabel()->text(), QStringLiteral("33%"));
        QCOMPARE(editor.form()->swatches()->current(), qint64(9)); // no ring: 9 is no swatch
    }
    QCOMPARE(changes.count(), 0);
    QCOMPARE(model.goals(), before);
    QVERIFY(!model.saver()->isPending());
}

void GoalEditorTest::editsFollowTheGoalByIdAfterResort()
{
    const StudyGoal a = goal(QStringLiteral("A"), 0, 30);
    const StudyGoal b = goal(QStringLiteral("B"), 0, 10);
    Fixture f({a, b}, 1);
    QCOMPARE(f.form()->titleField()->text(), QStringLiteral("B"));
    // The list changes order under the editor (for example a goal re-added).
    f.model->setGoals({f.model->goals().at(1), f.model->goals().at(0)});
    f.form()->titleField()->setFocus();
    f.form()->titleField()->end(false);
    QTest::keyClicks(f.form()->titleField(), QStringLiteral("2"));
    QCOMPARE(f.model->goal(b.id)->title, QStringLiteral("B2"));
    QCOMPARE(f.model->goal(a.id)->title, QStringLiteral("A"));
    QCOMPARE(f.form()->titleField()->text(), QStringLiteral("B2"));
}

void GoalEditorTest::statusLine_data()
{
    QTest::addColumn<int>("startOffset");
    QTest::addColumn<int>("dueOffset");
    QTest::addColumn<double>("progress");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("alarming");
    QTest::newRow("due today") << -5 << 0 << 0.5 << "Due soon • 0 days left • 50% complete" << false;
    QTest::newRow("due tomorrow") << -5 << 1 << 0.5 << "Due soon • 1 days left • 50% complete" << false;
    QTest::newRow("overdue") << -20 << -3 << 0.2 << "Overdue • 3 days overdue • 20% complete" << true;
    QTest::newRow("done but late") << -20 << -1 << 1.0 << "Done • 1 days overdue • 100% complete" << false;
    QTest::newRow("on track") << -1 << 12 << 0.5 << "On track • 12 days left • 50% complete" << false;
    QTest::newRow("behind") << -100 << 100 << 0.2 << "Behind • 100 days left • 20% complete" << true;
    QTest::newRow("0.29 reads 29") << -1 << 12 << 0.29 << "On track • 12 days left • 29% complete" << false;
}

void GoalEditorTest::statusLine()
{
    QFETCH(int, startOffset);
    QFETCH(int, dueOffset);
    QFETCH(double, progress);
    QFETCH(QString, text);
    QFETCH(bool, alarming);
    StudyGoal g = goal(QStringLiteral("g"), startOffset, dueOffset, progress);
    if (startOffset == -100) // exactly half of a 200-day span has passed
        g.start = QDateTime::currentDateTimeUtc().addDays(-100), g.due = QDateTime::currentDateTimeUtc().addDays(100);
    Fixture f({g});
    QCOMPARE(f.form()->statusLabel()->text(), text);
    QCOMPARE(f.form()->statusLabel()->palette().color(QPalette::WindowText),
             alarming ? Chrome::cherry() : Chrome::turquoiseDeep());
}

void GoalEditorTest::progressRowVisibility_data()
{
    QTest::addColumn<bool>("follow");
    QTest::addColumn<int>("milestones");
    QTest::addColumn<bool>("visible");
    QTest::newRow("follows, none yet") << true << 0 << true;
    QTest::newRow("follows milestones") << true << 1 << false;
    QTest::newRow("manual with milestones") << false << 2 << true;
    QTest::newRow("manual without") << false << 0 << true;
}

void GoalEditorTest::progressRowVisibility()
{
    QFETCH(bool, follow);
    QFETCH(int, milestones);
    QFETCH(bool, visible);
    StudyGoal g = goal(QStringLiteral("g"), -1, 20, 0.4);
    g.progressFromMilestones = follow;
    for (int i = 0; i < milestones; ++i)
        g.milestones.append(Milestone::make(QStringLiteral("m"), todayAt(i + 2), false));
    Fixture f({g});
    QCOMPARE(f.form()->progressRow()->isVisible(), visible);
    QCOMPARE(f.form()->statusLabel()->text().endsWith(follow && milestones ? QStringLiteral(" 0% complete")
                                                                           : QStringLiteral(" 40% complete")),
             true);
}

void GoalEditorTest::sliderAndPercent_data()
{
    QTest::addColumn<double>("stored");
    QTest::addColumn<int>("slider");
    QTest::addColumn<QString>("percent");
    QTest::newRow("0.29") << 0.29 << 290 << "29%";
    QTest::newRow("0.57") << 0.57 << 570 << "57%";
    QTest::newRow("1e300 from a file") << 1e300 << 1000 << "100%";
    QTest::newRow("-1e300 from a file") << -1e300 << 0 << "0%";
    QTest::newRow("above one") << 1.7 << 1000 << "100%";
}

void GoalEditorTest::sliderAndPercent()
{
    QFETCH(double, stored);
    QFETCH(int, slider);
    QFETCH(QString, percent);
    Fixture f({goal(QStringLiteral("g"), -1, 20, stored)});
    QCOMPARE(f.form()->progressSlider()->value(), slider);
    QCOMPARE(f.form()->progressLabel()->text(), percent);
    QCOMPARE(f.current().manualProgress, stored); // shown, not rewritten

    f.form()->progressSlider()->setValue(336);
    QCOMPARE(f.current().manualProgress, 0.336);
    QCOMPARE(f.form()->progressLabel()->text(), QStringLiteral("33%"));
}

void GoalEditorTest::titleTermColourNotes()
{
    Fixture f({goal(QStringLiteral("g"), -1, 20)});
    QTest::keyClicks(f.form()->titleField(), QStringLiteral("x"));
    QCOMPARE(f.current().title, QStringLiteral("gx"));

    SegmentedPicker* term = f.form()->termPicker();
    QCOMPARE(term->segments(), (QStringList{"Short-term", "Long-term"}));
    QTest::mouseClick(term, Qt::LeftButton, {}, term->segmentRect(1).center());
    QCOMPARE(f.current().term, GoalTerm(GoalTerm::longTerm));

    GoalSwatches* sw = f.form()->swatches();
    QTest::mouseClick(sw, Qt::LeftButton, {}, sw->swatchRect(2).center());
    QCOMPARE(f.current().colorIndex, qint64(2));
    QCOMPARE(sw->current(), qint64(2));

    f.form()->notesView()->setFocus();
    QTest::keyClicks(f.form()->notesView(), QStringLiteral("Read"));
    QCOMPARE(f.current().notes, QStringLiteral("Read"));

}

void GoalEditorTest::duePickerRefusesDaysBeforeStart()
{
    Fixture f({goal(QStringLiteral("g"), 2, 20)});
    const QDate startDay = QDate::currentDate().addDays(2);
    QCOMPARE(f.form()->duePicker()->minimumDate(), startDay);
    f.form()->duePicker()->setDate(startDay.addDays(-5)); // clamped by the picker
    QCOMPARE(TimelineMath::dayOf(f.current().due, TimelineMath::currentZone()), startDay);
    f.form()->duePicker()->setDate(startDay.addDays(3));
    QCOMPARE(f.current().due, todayAt(5, 1)); // the time of day is kept
}

void GoalEditorTest::movingStartPastDueLeavesDue()
{
    Fixture f({goal(QStringLiteral("g"), 0, 10)});
    const QDateTime due = f.current().due;
    f.form()->startPicker()->setDate(QDate::currentDate().addDays(15));
    QCOMPARE(f.current().start, todayAt(15));
    QCOMPARE(f.current().due, due);
    // The due picker still shows the real due day.
    QCOMPARE(f.form()->duePicker()->date(), QDate::currentDate().addDays(10));
}

void GoalEditorTest::addMilestoneFromTheEntryRow()
{
    // Ordering and trimming are the goal's own rules; here: the entry row's
    // field empties, its day stays, and the time of day is the row's.
    Fixture f({goal(QStringLiteral("g"), -1, 60)});
    GoalMilestonesPanel* list = f.list();
    list->entryDate()->setDate(QDate(2026, 3, 20));
    for (const QString& title : {QStringLiteral("  Read chapter 3  "), QStringLiteral("Quiz")}) {
        QTest::keyClicks(list->entryField(), title);
        QTest::mouseClick(list->addButton(), Qt::LeftButton);
        QVERIFY(list->entryField()->text().isEmpty());
        QCOMPARE(list->entryDate()->date(), QDate(2026, 3, 20));
    }
    QCOMPARE(list->rows().size(), 2);
    // Return in the field adds as the button does; a blank one adds nothing.
    QTest::keyClicks(list->entryField(), QStringLiteral("Mock exam"));
    QTest::keyClick(list->entryField(), Qt::Key_Return);
    QTest::keyClicks(list->entryField(), QStringLiteral("   "));
    QTest::keyClick(list->entryField(), Qt::Key_Return);
    QCOMPARE(list->rows().size(), 3);
    QCOMPARE(list->rows().at(0)->titleField()->text(), QStringLiteral("Read chapter 3"));
    QCOMPARE(f.current().milestones.at(1).date, QDateTime(QDate(2026, 3, 20), QTime(9, 30), QTimeZone::utc()));
    QCOMPARE(f.current().milestones.size(), 3);
}

void GoalEditorTest::tickingStrikesThroughAndCounts()
{
    StudyGoal g = goal(QStringLiteral("g"), -1, 60);
    g.milestones = {Milestone::make(QStringLiteral("a"), todayAt(3)), Milestone::make(QStringLiteral("b"), todayAt(4))};
    Fixture f({g});
    GoalMilestoneRow* row = f.list()->rows().at(1);
    QVERIFY(!row->titleField()->font().strikeOut());
    QTest::mouseClick(row->doneToggle(), Qt::LeftButton, {}, QPoint(8, row->doneToggle()->height() / 2));
    QVERIFY(f.current().milestones.at(1).done);
    QVERIFY(f.list()->rows().at(1)->titleField()->font().strikeOut());
    QVERIFY(f.form()->statusLabel()->text().endsWith(QStringLiteral(" 50% complete")));
}

void GoalEditorTest::trashRemovesThatMilestoneAfterTheClick()
{
    StudyGoal g = goal(QStringLiteral("g"), -1, 60);
    g.milestones = {Milestone::make(QStringLiteral("a"), todayAt(3)), Milestone::make(QStringLiteral("b"), todayAt(4)),
                    Milestone::make(QStringLiteral("c"), todayAt(5))};
    Fixture f({g});
    const QUuid b = g.milestones.at(1).id;
    QTest::mouseClick(f.list()->rows().at(1)->trashButton(), Qt::LeftButton);
    QCOMPARE(f.current().milestones.size(), 3); // not under the button's own click
    QTRY_COMPARE(f.current().milestones.size(), 2);
    const QList<Milestone> left = f.current().milestones;
    QVERIFY(std::none_of(left.begin(), left.end(), [&](const Milestone& m) { return m.id == b; }));
    QCOMPARE(f.list()->rows().size(), 2);
}

QTEST_MAIN(GoalEditorTest)
#include "tst_goaleditor.moc"
