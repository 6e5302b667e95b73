#include "TestEnvironment.h"
#include "core/Json.h"
#include "core/Store.h"
#include "core/StoreEvents.h"
#include "planner/TimelineMath.h"
#include "planner/TimelineModel.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QSignalSpy>
#include <QTest>
#include <QTimeZone>

namespace {

const QTimeZone kNewYork("America/New_York");

QByteArray contents(const QString& name)
{
    QFile f(Store::path(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeRaw(const QByteArray& data)
{
    QFile f(Store::path(TimelineModel::fileName()));
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(data);
}

StudyGoal goal(const QString& title, GoalTerm term, int dueDay)
{
    return StudyGoal::make(title, term, QDateTime(QDate(2026, 3, 1), QTime(0, 0), QTimeZone::utc()),
                           QDateTime(QDate(2026, 3, dueDay), QTime(0, 0), QTimeZone::utc()));
}

void saveGoals(const QList<StudyGoal>& goals)
{
    QVERIFY(Store::save(Json::fromList(goals), TimelineModel::fileName()));
}

QStringList titles(const QList<StudyGoal>& goals)
{
    QStringList out;
    for (const StudyGoal& g : goals)
        out << g.title;
    return out;
}

QStringList unreadableCopies()
{
    return QDir(Store::folder()).entryList({TimelineModel::fileName() + QStringLiteral(".unreadable-*")});
}

// Answers the delete question with the first button ("Delete").
int confirm(const QString&, const QString&, const QStringList&)
{
    return 0;
}

} // namespace

class TimelineModelTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { TestEnvironment::clearDataFolder(); }

    void emptyFolder();
    void loadSelectsTheFirstGoalOfTheFile();
    void malformedFileLoadsEmptyAndIsKept_data();
    void malformedFileLoadsEmptyAndIsKept();
    void addShort();
    void addLongOnTheLastOfAugust_data();
    void addLongOnTheLastOfAugust();
    void addAcrossDaylightSaving();
    void coloursCycle();
    void visibleFiltersAndSortsStably();
    void pendingSaveIsWrittenAtQuit();
    void deleteRemovesAndReselects();
    void repeatedIdsAreMended();
};

void TimelineModelTest::emptyFolder()
{
    TimelineModel m;
    QVERIFY(m.goals().isEmpty());
    QVERIFY(!m.selected());
    QVERIFY(!m.filter());
    QCOMPARE(m.dayWidth(), 8.0);
    QVERIFY(!QFile::exists(Store::path(TimelineModel::fileName())));
}

void TimelineModelTest::loadSelectsTheFirstGoalOfTheFile()
{
    const StudyGoal late = goal(QStringLiteral("late"), GoalTerm::shortTerm, 28);
    const StudyGoal early = goal(QStringLiteral("early"), GoalTerm::shortTerm, 10);
    saveGoals({late, early});
    const QByteArray before = contents(TimelineModel::fileName());
    TimelineModel m;
    QCOMPARE(titles(m.goals()), (QStringList{"late", "early"}));
    QCOMPARE(m.selected(), std::optional<QUuid>(late.id));
    QCOMPARE(m.goals().first(), late);
    QTest::qWait(700);
    QCOMPARE(contents(TimelineModel::fileName()), before); // loading does not save
}

void TimelineModelTest::malformedFileLoadsEmptyAndIsKept_data()
{
    QTest::addColumn<QByteArray>("data");
    QJsonArray missingNotes;
    QJsonObject bad = goal(QStringLiteral("b"), GoalTerm::shortTerm, 9).toJson().toObject();
    bad.remove(QStringLiteral("notes"));
    missingNotes.append(goal(QStringLiteral("a"), GoalTerm::shortTerm, 9).toJson());
    missingNotes.append(bad);
    QTest::newRow("one goal without notes") << QJsonDocument(missingNotes).toJson();
    QTest::newRow("not an array") << QByteArray("{\"goals\": []}");
    QTest::newRow("not JSON") << QByteArray("[{\"title\": ");
}

void TimelineModelTest::malformedFileLoadsEmptyAndIsKept()
{
    QFETCH(QByteArray, data);
    writeRaw(data);
    {
        TimelineModel m;
        QVERIFY(m.goals().isEmpty());
        QVERIFY(!m.selected());
        QTest::qWait(700);
        QCOMPARE(contents(TimelineModel::fileName()), data); // untouched until a save
        m.add(GoalTerm::shortTerm);
        m.saver()->flush();
    }
    // The save replaced the file, but the user's bytes were kept aside first.
    const QStringList copies = unreadableCopies();
    QCOMPARE(copies.size(), 1);
    QCOMPARE(contents(copies.first()), data);
    QCOMPARE(Store::loadList<StudyGoal>(TimelineModel::fileName())->size(), 1);
}

void TimelineModelTest::addShort()
{
    TimelineModel m;
    QSignalSpy selected(&m, &TimelineModel::selectedChanged);
    m.add(GoalTerm::shortTerm, QDateTime(QDate(2026, 3, 5), QTime(15, 20), kNewYork), kNewYork);
    QCOMPARE(m.goals().size(), 1);
    const StudyGoal& g = m.goals().first();
    QCOMPARE(g.title, QStringLiteral("New short-term goal"));
    QCOMPARE(g.term, GoalTerm(GoalTerm::shortTerm));
    QCOMPARE(g.start, QDateTime(QDate(2026, 3, 5), QTime(0, 0), kNewYork));
    QCOMPARE(g.due, QDateTime(QDate(2026, 3, 19), QTime(0, 0), kNewYork));
    QCOMPARE(g.colorIndex, 0);
    QVERIFY(g.progressFromMilestones);
    QVERIFY(g.notes.isEmpty() && g.milestones.isEmpty() && g.manualProgress == 0);
    QCOMPARE(m.selected(), std::optional<QUuid>(g.id));
    QCOMPARE(selected.count(), 1);
    QVERIFY(m.saver()->isPending());
}

void TimelineModelTest::addLongOnTheLastOfAugust_data()
{
    QTest::addColumn<int>("year");
    QTest::addColumn<QDate>("due");
    QTest::newRow("non-leap year ahead") << 2026 << QDate(2027, 2, 28);
    QTest::newRow("leap year ahead") << 2027 << QDate(2028, 2, 29);
}

void TimelineModelTest::addLongOnTheLastOfAugust()
{
    QFETCH(int, year);
    QFETCH(QDate, due);
    TimelineModel m;
    m.add(GoalTerm::longTerm, QDateTime(QDate(year, 8, 31), QTime(23, 30), kNewYork), kNewYork);
    const StudyGoal& g = m.goals().first();
    QCOMPARE(g.title, QStringLiteral("New long-term goal"));
    QCOMPARE(g.start, QDateTime(QDate(year, 8, 31), QTime(0, 0), kNewYork));
    QCOMPARE(g.due, due.startOfDay(kNewYork));
}

void TimelineModelTest::addAcrossDaylightSaving()
{
    // Fourteen calendar days over the autumn change: midnight to midnight,
    // one hour longer than 14 x 24 hours.
    TimelineModel m;
    m.add(GoalTerm::shortTerm, QDateTime(QDate(2026, 10, 25), QTime(9, 0), kNewYork), kNewYork);
    const StudyGoal& g = m.goals().first();
    QCOMPARE(g.due, QDateTime(QDate(2026, 11, 8), QTime(0, 0), kNewYork));
    QCOMPARE(g.start.secsTo(g.due), qint64(14 * 86400 + 3600));
}

void TimelineModelTest::coloursCycle()
{
    TimelineModel m;
    for (int i = 0; i < 8; ++i)
        m.add(i % 2 ? GoalTerm::longTerm : GoalTerm::shortTerm);
    QList<qint64> colours;
    for (const StudyGoal& g : m.goals())
        colours << g.colorIndex;
    QCOMPARE(colours, (QList<qint64>{0, 1, 2, 3, 4, 5, 0, 1}));
    QCOMPARE(m.selected(), std::optional<QUuid>(m.goals().last().id));
}

void TimelineModelTest::visibleFiltersAndSortsStably()
{
    TimelineModel m;
    m.setGoals({goal(QStringLiteral("L20"), GoalTerm::longTerm, 20), goal(QStringLiteral("S5"), GoalTerm::shortTerm, 5),
                goal(QStringLiteral("L10a"), GoalTerm::longTerm, 10), goal(QStringLiteral("S10"), GoalTerm::shortTerm, 10),
                goal(QStringLiteral("L10b"), GoalTerm::longTerm, 10)});
    QCOMPARE(titles(m.visible()), (QStringList{"S5", "L10a", "S10", "L10b", "L20"}));
    m.setFilter(GoalTerm::longTerm);
    QCOMPARE(titles(m.visible()), (QStringList{"L10a", "L10b", "L20"}));
    m.setFilter(GoalTerm::shortTerm);
    QCOMPARE(titles(m.visible()), (QStringList{"S5", "S10"}));
    // Filtering leaves the stored order and the selection alone.
    QCOMPARE(titles(m.goals()).first(), QStringLiteral("L20"));
}

void TimelineModelTest::pendingSaveIsWrittenAtQuit()
{
    TimelineModel m;
    m.add(GoalTerm::shortTerm);
    QVERIFY(m.saver()->isPending());
    // What the shell does when the program quits.
    Debouncer::flushAll();
    QVERIFY(!m.saver()->isPending());
    QCOMPARE(Store::loadList<StudyGoal>(TimelineModel::fileName())->size(), 1);
}

void TimelineModelTest::deleteRemovesAndReselects()
{
    const StudyGoal a = goal(QStringLiteral("a"), GoalTerm::shortTerm, 20);
    const StudyGoal b = goal(QStringLiteral("b"), GoalTerm::shortTerm, 5);
    const StudyGoal c = goal(QStringLiteral("c"), GoalTerm::shortTerm, 9);
    saveGoals({a, b, c});
    TimelineModel m;
    m.deleteGoal(a.id); // nobody to ask: nothing is deleted
    QCOMPARE(m.goals().size(), 3);
    m.setAsker(confirm);
    m.setSelected(b.id);
    m.deleteGoal(a.id);
    QCOMPARE(titles(m.goals()), (QStringList{"b", "c"}));
    QCOMPARE(m.selected(), std::optional<QUuid>(b.id)); // first in stored order
    m.setSelected(c.id);
    m.deleteGoal(QUuid::createUuid()); // no such goal: still reselects and saves
    QCOMPARE(m.goals().size(), 2);
    QCOMPARE(m.selected(), std::optional<QUuid>(b.id));
    m.saver()->flush();
    QCOMPARE(titles(*Store::loadList<StudyGoal>(TimelineModel::fileName())), (QStringList{"b", "c"}));
}

QTEST_GUILESS_MAIN(TimelineModelTest)
#include "tst_timelinemodel.moc"

void TimelineModelTest::repeatedIdsAreMended()
{
    // A goal listed twice is read once; a goal or milestone that only
    // shares an id keeps its content under a new id.
    StudyGoal a = goal(QStringLiteral("A"), GoalTerm::shortTerm, 10);
    a.addMilestone(QStringLiteral("one"), a.start);
    a.addMilestone(QStringLiteral("two"), a.start);
    a.milestones[1].id = a.milestones[0].id;
    StudyGoal b = goal(QStringLiteral("B"), GoalTerm::longTerm, 20);
    b.id = a.id;
    saveGoals({a, b, a});
    StoreEvents::shared().clear(StoreEvents::ownerOf(TimelineModel::fileName()));
    TimelineModel m;
    QCOMPARE(titles(m.goals()), (QStringList{QStringLiteral("A"), QStringLiteral("B")}));
    QVERIFY(m.goals().at(0).id != m.goals().at(1).id);
    QCOMPARE(m.goals().at(0).id, a.id);
    const QList<Milestone>& ms = m.goals().at(0).milestones;
    QCOMPARE(ms.size(), 2);
    QVERIFY(ms.at(0).id != ms.at(1).id);
    const QList<StoreEvents::Problem> told = StoreEvents::shared().problems();
    QCOMPARE(std::count_if(told.cbegin(), told.cend(),
                           [](const StoreEvents::Problem& p) { return p.owner == QStringLiteral("Study Timeline"); }),
             1);
}
