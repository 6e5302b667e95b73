#include "TestEnvironment.h"
#include "core/Json.h"
#include "core/Store.h"
#include "planner/TimelineMath.h"
#include "planner/TimelineModel.h"
#include "planner/views/GoalEditor.h"
#include "planner/views/GoalFormPanel.h"
#include "planner/views/GoalMilestonesPanel.h"
#include "planner/views/TimelineCanvas.h"
#include "planner/views/TimelinePainter.h"
#include "planner/views/TimelineSurface.h"
#include "planner/views/TimelineView.h"
#include "ui/Alert.h"
#include "ui/ChromeButton.h"
#include "ui/SegmentedPicker.h"
#include "ui/SpellLineEdit.h"

#include <QApplication>
#include <QDateEdit>
#include <QFile>
#include <QHelpEvent>
#include <QFontMetricsF>
#include <QLabel>
#include <QScrollArea>
#include <QSlider>
#include <QTextDocument>
#include <QToolTip>
#include <QTest>
#include <QTimeZone>
#include <cmath>
#include <memory>

namespace {

QDateTime todayAt(int dayOffset)
{
    return QDate::currentDate().addDays(dayOffset).startOfDay(TimelineMath::currentZone()).toUTC();
}

QByteArray fileBytes()
{
    QFile f(Store::path(TimelineModel::fileName()));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

std::unique_ptr<TimelineView> openView(const QList<StudyGoal>& goals = {})
{
    TestEnvironment::clearDataFolder();
    if (!goals.isEmpty())
        Store::save(Json::fromList(goals), TimelineModel::fileName());
    auto v = std::make_unique<TimelineView>();
    v->resize(1100, 760);
    v->show();
    return v;
}

// What a tooltip's label shows, read the way the label reads its text.
QString shownToolTip()
{
    for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* label = qobject_cast<QLabel*>(w);
        if (!label || w->objectName() != QLatin1String("qtooltip_label") || !w->isVisible())
            continue;
        if (!Qt::mightBeRichText(label->text()))
            return label->text();
        QTextDocument doc;
        doc.setHtml(label->text());
        return doc.toPlainText();
    }
    return QString();
}

QPoint surfacePoint(const QPointF& layoutPoint)
{
    return (layoutPoint + QPointF(TimelineLayout::kPadding, TimelineLayout::kPadding)).toPoint();
}

} // namespace

class TimelineViewTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { setAlertHandler({}); }

    void firstStart();
    void addButtonsAddAndSelect();
    void filterNarrowsButEditorStays_data();
    void filterNarrowsButEditorStays();
    void zoomSlider_data();
    void zoomSlider();
    void clickingSelects();
    void editsAreSavedOnceAfterABurst();
    void deleteAsksTheQuestion_data();
    void deleteAsksTheQuestion();
    void absurdValuesFromAFile();
    void monthLabelsAreNeverCut_data();
    void monthLabelsAreNeverCut();
    void toolTipsShowTitlesAsTyped_data();
    void toolTipsShowTitlesAsTyped();
};

void TimelineViewTest::firstStart()
{
    auto v = openView();
    QVERIFY(QTest::qWaitForWindowExposed(v.get()));
    QVERIFY(!v->editor());
    QVERIFY(v->hint()->isVisible());
    QCOMPARE(v->hint()->text(), TimelineView::hintText());
    QVERIFY(v->canvas()->height() >= 260);
    QCOMPARE(v->filterPicker()->width(), 280);
    QCOMPARE(v->filterPicker()->segments(), (QStringList{"All goals", "Short-term", "Long-term"}));
    QCOMPARE(v->zoomSlider()->toolTip(), QStringLiteral("Zoom the timeline"));
    const QSize surface = v->canvas()->surface()->size();
    QCOMPARE(surface.height(), 110);
    // 21 days of 8 points, and more only for a month label at the end.
    QCOMPARE(surface.width(), int(std::ceil(TimelinePainter::contentRight(v->canvas()->surface()->layout()) + 20)));
    QVERIFY(surface.width() >= 188);
    QTest::qWait(700);
    QVERIFY(!QFile::exists(Store::path(TimelineModel::fileName()))); // showing saves nothing
}

void TimelineViewTest::addButtonsAddAndSelect()
{
    auto v = openView();
    QTest::mouseClick(v->addShortButton(), Qt::LeftButton);
    QCOMPARE(v->model()->goals().size(), 1);
    QVERIFY(v->editor());
    QVERIFY(!v->hint()->isVisible());
    QCOMPARE(v->editor()->goalId(), v->model()->goals().at(0).id);
    QCOMPARE(v->editor()->form()->titleField()->text(), QStringLiteral("New short-term goal"));
    QTest::mouseClick(v->addLongButton(), Qt::LeftButton);
    QCOMPARE(v->editor()->goalId(), v->model()->goals().at(1).id);
    QCOMPARE(v->editor()->form()->titleField()->text(), QStringLiteral("New long-term goal"));
    QCOMPARE(v->canvas()->surface()->layout().bars.size(), 2);
}

void TimelineViewTest::filterNarrowsButEditorStays_data()
{
    QTest::addColumn<int>("segment");
    QTest::addColumn<int>("bars");
    QTest::newRow("All goals") << 0 << 3;
    QTest::newRow("Short-term") << 1 << 1;
    QTest::newRow("Long-term") << 2 << 2;
}

void TimelineViewTest::filterNarrowsButEditorStays()
{
    QFETCH(int, segment);
    QFETCH(int, bars);
    const StudyGoal s = StudyGoal::make(QStringLiteral("s"), GoalTerm::shortTerm, todayAt(0), todayAt(10));
    const StudyGoal l1 = StudyGoal::make(QStringLiteral("l1"), GoalTerm::longTerm, todayAt(0), todayAt(90));
    const StudyGoal l2 = StudyGoal::make(QStringLiteral("l2"), GoalTerm::longTerm, todayAt(0), todayAt(30));
    auto v = openView({s, l1, l2});
    SegmentedPicker* p = v->filterPicker();
    QTest::mouseClick(p, Qt::LeftButton, {}, p->segmentRect(segment).center());
    QCOMPARE(v->canvas()->surface()->layout().bars.size(), bars);
    if (segment == 2) {
        QCOMPARE(v->model()->filter(), std::optional<GoalTerm>(GoalTerm::longTerm));
        QCOMPARE(v->canvas()->surface()->layout().bars.first().goalId, l2.id); // earliest due first
    }
    QVERIFY(v->editor());
    QCOMPARE(v->editor()->goalId(), s.id);
}

void TimelineViewTest::zoomSlider_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<double>("dayWidth");
    QTest::newRow("left end") << 200 << 2.0;
    QTest::newRow("right end") << 3000 << 30.0;
    QTest::newRow("fractional") << 550 << 5.5;
}

void TimelineViewTest::zoomSlider()
{
    QFETCH(int, value);
    QFETCH(double, dayWidth);
    auto v = openView();
    QCOMPARE(v->zoomSlider()->value(), 800);
    v->zoomSlider()->setValue(value);
    QCOMPARE(v->model()->dayWidth(), dayWidth);
    QCOMPARE(v->canvas()->surface()->layout().width, 21 * dayWidth);
}

void TimelineViewTest::clickingSelects()
{
    StudyGoal a = StudyGoal::make(QStringLiteral("a"), GoalTerm::shortTerm, todayAt(-2), todayAt(10));
    StudyGoal b = StudyGoal::make(QStringLiteral("b"), GoalTerm::shortTerm, todayAt(-2), todayAt(20));
    b.milestones = {Milestone::make(QStringLiteral("m"), todayAt(6))};
    auto v = openView({a, b});
    QVERIFY(QTest::qWaitForWindowExposed(v.get()));
    TimelineSurface* s = v->canvas()->surface();
    const TimelineLayout& l = s->layout();
    QCOMPARE(v->model()->selected(), std::optional<QUuid>(a.id));
    QVERIFY(l.bars.at(0).selected && !l.bars.at(1).selected);

    QTest::mouseClick(s, Qt::LeftButton, {}, surfacePoint(l.bars.at(1).marks.first().square.center()));
    QCOMPARE(v->model()->selected(), std::optional<QUuid>(a.id));
    QTest::mouseClick(s, Qt::LeftButton, {}, surfacePoint(QPointF(l.width - 2, 5)));
    QCOMPARE(v->model()->selected(), std::optional<QUuid>(a.id));

    QTest::mouseClick(s, Qt::LeftButton, {}, surfacePoint(s->layout().bars.at(1).rect.center()));
    QCOMPARE(v->model()->selected(), std::optional<QUuid>(b.id));
    QVERIFY(!s->layout().bars.at(0).selected && s->layout().bars.at(1).selected);
    QCOMPARE(v->editor()->goalId(), b.id);
}

void TimelineViewTest::editsAreSavedOnceAfterABurst()
{
    auto v = openView({StudyGoal::make(QStringLiteral("t"), GoalTerm::shortTerm, todayAt(0), todayAt(9))});
    QFile::remove(Store::path(TimelineModel::fileName()));
    SpellLineEdit* title = v->editor()->form()->titleField();
    title->setFocus();
    title->end(false);
    for (int i = 0; i < 3; ++i) {
        QTest::keyClick(title, Qt::Key_A);
        QTest::qWait(100);
    }
    QVERIFY(!QFile::exists(Store::path(TimelineModel::fileName())));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(Store::path(TimelineModel::fileName())), 5000);
    QCOMPARE(Store::loadList<StudyGoal>(TimelineModel::fileName())->first().title, QStringLiteral("taaa"));
    QVERIFY(!QFile::exists(Store::path(TimelineModel::fileName() + QStringLiteral(".bak"))));
}

void TimelineViewTest::deleteAsksTheQuestion_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("deleted");
    QTest::newRow("Cancel") << alertFirstButton + 1 << false;
    QTest::newRow("Delete") << alertFirstButton << true;
}

void TimelineViewTest::deleteAsksTheQuestion()
{
    QFETCH(int, answer);
    QFETCH(bool, deleted);
    const StudyGoal g = StudyGoal::make(QStringLiteral("t"), GoalTerm::shortTerm, todayAt(0), todayAt(9));
    auto v = openView({g});
    const QByteArray before = fileBytes();
    GoalMilestonesPanel* entry = v->editor()->milestones();
    entry->entryField()->setText(QStringLiteral("half typed"));
    entry->entryDate()->setDate(QDate::currentDate().addDays(30));
    QList<AlertRequest> asked;
    setAlertHandler([&](const AlertRequest& r) {
        asked << r;
        return answer;
    });
    QTest::mouseClick(v->editor()->form()->deleteButton(), Qt::LeftButton);
    QCOMPARE(asked.size(), 1);
    QCOMPARE(asked.first().title, QStringLiteral("Delete this goal?"));
    QCOMPARE(asked.first().informative, QStringLiteral("Its milestones will be deleted too."));
    QCOMPARE(asked.first().style, AlertStyle::Warning);
    QCOMPARE(asked.first().buttons, (QStringList{"Delete", "Cancel"}));
    QCOMPARE(v->model()->goals().isEmpty(), deleted);
    QCOMPARE(v->editor() == nullptr, deleted);
    QCOMPARE(v->hint()->isVisible(), deleted);
    QTest::qWait(700);
    if (deleted)
        QCOMPARE(fileBytes().trimmed(), QByteArray("[\n]"));
    else
        QCOMPARE(fileBytes(), before);
    // The editor shown for the next goal starts afresh only after the hint
    // was shown; a goal that stays keeps what was typed.
    QTest::mouseClick(v->addShortButton(), Qt::LeftButton);
    QCOMPARE(entry->entryField()->text(), deleted ? QString() : QStringLiteral("half typed"));
    QCOMPARE(entry->entryDate()->date(), QDate::currentDate().addDays(deleted ? 0 : 30));
    QCOMPARE(TimelineMath::dayOf(entry->newDate(), TimelineMath::currentZone()), entry->entryDate()->date());
}

void TimelineViewTest::absurdValuesFromAFile()
{
    // A hand-edited file: the widest dates ISO text allows, a huge progress
    // and a colour index far below zero. The window opens and draws.
    StudyGoal g = StudyGoal::make(QStringLiteral("forever"), GoalTerm::longTerm,
                                  QDateTime(QDate(1, 1, 1), QTime(0, 0), QTimeZone::utc()),
                                  QDateTime(QDate(9999, 12, 31), QTime(0, 0), QTimeZone::utc()));
    g.manualProgress = 1e300;
    g.colorIndex = -9'000'000'000'000'000'000;
    auto v = openView({g});
    QCOMPARE(v->model()->goals().size(), 1);
    v->zoomSlider()->setValue(3000);
    QVERIFY(!v->grab().isNull());
    QCOMPARE(v->canvas()->surface()->layout().bars.first().label, QStringLiteral("forever  100%"));
    QCOMPARE(v->canvas()->surface()->layout().bars.first().colorSlot, 0);
}

QTEST_MAIN(TimelineViewTest)
#include "tst_timelineview.moc"

void TimelineViewTest::monthLabelsAreNeverCut_data()
{
    QTest::addColumn<double>("dayWidth");
    QTest::newRow("smallest zoom") << 2.0;
    QTest::newRow("short month format's last zoom") << 5.0;
    QTest::newRow("start") << 8.0;
}

void TimelineViewTest::monthLabelsAreNeverCut()
{
    // Whatever day the span ends on, including the first of a month, the
    // surface is wide enough for every month label whole.
    QFETCH(double, dayWidth);
    TestEnvironment::clearDataFolder();
    TimelineModel model;
    model.setDayWidth(dayWidth);
    TimelineSurface surface(&model);
    const QDateTime start = todayAt(0);
    const QFontMetricsF fm(TimelinePainter::monthFont());
    for (int days = 5; days < 80; ++days) {
        model.setGoals({StudyGoal::make(QStringLiteral("G"), GoalTerm::shortTerm, start, start.addDays(days))});
        surface.rebuild();
        for (const TimelineLayout::Month& m : surface.layout().months) {
            const qreal labelRight = TimelineLayout::kPadding + m.x + 4 + fm.horizontalAdvance(m.label);
            QVERIFY2(labelRight <= surface.width(),
                     qPrintable(QStringLiteral("%1 days: %2 ends at %3 of %4")
                                    .arg(days)
                                    .arg(m.label)
                                    .arg(labelRight)
                                    .arg(surface.width())));
        }
    }
}

void TimelineViewTest::toolTipsShowTitlesAsTyped_data()
{
    QTest::addColumn<QString>("goalTitle");
    QTest::addColumn<QString>("milestoneTitle");
    QTest::newRow("plain") << QStringLiteral("Revise algebra") << QStringLiteral("Past paper");
    QTest::newRow("a tag in the title") << QStringLiteral("Learn HTML <table> layouts")
                                        << QStringLiteral("<b>bold</b> and <i>italic</i>");
    QTest::newRow("a tag first") << QStringLiteral("<p> tags") << QStringLiteral("<br> after");
}

void TimelineViewTest::toolTipsShowTitlesAsTyped()
{
    QFETCH(QString, goalTitle);
    QFETCH(QString, milestoneTitle);
    StudyGoal g = StudyGoal::make(goalTitle, GoalTerm::longTerm, todayAt(-2), todayAt(40));
    g.milestones = {Milestone::make(milestoneTitle, todayAt(6), true)};
    auto v = openView({g});
    QVERIFY(QTest::qWaitForWindowExposed(v.get()));
    TimelineSurface* s = v->canvas()->surface();
    const TimelineLayout& l = s->layout();
    const QList<std::pair<QPointF, QString>> spots{
        {l.bars.at(0).rect.center(), l.barToolTip(0, QDateTime::currentDateTime())},
        {l.bars.at(0).marks.at(0).square.center(), l.markToolTip(0, 0)}};
    for (const auto& [at, expected] : spots) {
        QVERIFY(expected.contains(at == spots.first().first ? goalTitle : milestoneTitle));
        const QPoint p = surfacePoint(at);
        QHelpEvent help(QEvent::ToolTip, p, s->mapToGlobal(p));
        QApplication::sendEvent(s, &help);
        QTRY_COMPARE(shownToolTip(), expected);
        QToolTip::hideText();
    }
}
