#include "TestEnvironment.h"
#include "app/Store.h"
#include "calc/ConverterModel.h"
#include "calc/TimeZones.h"
#include "calc/views/ConverterUnitsTab.h"
#include "calc/views/ConverterView.h"
#include "calc/views/ConverterZonesTab.h"
#include "calc/views/SegmentedPicker.h"
#include "ui/ChromeButton.h"
#include "ui/ChromePanel.h"
#include "ui/SpellLineEdit.h"
#include "ui/ToolScaffold.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>
#include <QToolButton>
#include <ctime>

namespace {

const bool kEnvironment = [] {
    qputenv("TZ", "America/Denver");
    qputenv("LC_ALL", "C.UTF-8");
    tzset();
    return true;
}();

const QString kDash = QStringLiteral("\u2014");

void writeState(const QJsonObject& o)
{
    QFile f(Store::path(ConverterModel::kFileName));
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(QJsonDocument(o).toJson());
}

QJsonObject savedState()
{
    QFile f(Store::path(ConverterModel::kFileName));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(f.readAll()).object();
}

void typeValue(QLineEdit* field, const QString& text)
{
    field->setFocus();
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Backspace);
    QTest::keyClicks(field, text);
}

int highlightedCell(const ConverterUnitsTab* tab, int* count)
{
    int found = -1;
    *count = 0;
    for (int i = 0; i < tab->cells().size(); ++i) {
        if (tab->isHighlighted(i)) {
            found = i;
            ++*count;
        }
    }
    return found;
}

QStringList menuTexts(QMenu* menu)
{
    QStringList out;
    for (QAction* a : menu->actions())
        out << (a->isSeparator() ? QStringLiteral("---") : a->text());
    return out;
}

} // namespace

class ConverterViewTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QVERIFY(kEnvironment); }
    void init() { TestEnvironment::clearDataFolder(); }

    void firstStart()
    {
        ConverterView view;
        ConverterUnitsTab* units = view.unitsTab();
        QCOMPARE(view.tab(), 0);
        QCOMPARE(view.tabPicker()->segments(), (QStringList{"Units", "Time Zones"}));
        QCOMPARE(view.tabPicker()->width(), 260);
        QCOMPARE(units->categoryPicker()->segments(),
                 (QStringList{"Length", "Weight", "Volume", "Temperature", "Area", "Speed", "Data Size", "Time"}));
        QCOMPARE(units->categoryPicker()->currentIndex(), 0);
        QVERIFY(qobject_cast<SpellLineEdit*>(units->valueField()));
        QCOMPARE(units->valueField()->text(), QStringLiteral("1"));
        QCOMPARE(units->valueField()->placeholderText(), QStringLiteral("Value"));
        QCOMPARE(units->valueField()->width(), 160);
        QCOMPARE(units->fromPicker()->count(), 10);
        QCOMPARE(units->fromPicker()->currentText(), QStringLiteral("Miles (mi)"));
        QCOMPARE(units->toPicker()->currentText(), QStringLiteral("Kilometers (km)"));
        QCOMPARE(units->fromPicker()->itemText(0), QStringLiteral("Micrometers (\u00B5m)"));
        QCOMPARE(units->resultLabel()->text(), QStringLiteral("1.609344"));
        QCOMPARE(units->symbolLabel()->text(), QStringLiteral("km"));
        QVERIFY(units->hintLabel()->isHidden());
        QCOMPARE(units->swapButton()->toolTip(), QStringLiteral("Swap units"));
        QVERIFY(units->swapButton()->isCompact() && !units->swapButton()->isProminent());
        QVERIFY(units->copyButton()->isCompact() && !units->copyButton()->isProminent());
        QCOMPARE(units->gridPanel()->title(), QStringLiteral("1 mi in every length unit"));
        QCOMPARE(units->cells().size(), 10);
        QCOMPARE(units->cells().at(4).name->text(), QStringLiteral("Kilometers"));
        QCOMPARE(units->cells().at(4).value->text(), QStringLiteral("1.609344 km"));
        QCOMPARE(units->cells().at(8).value->text(), QStringLiteral("1 mi"));
        int count = 0;
        QCOMPARE(highlightedCell(units, &count), 4);
        QCOMPARE(count, 1);
        QVERIFY(!QFile::exists(Store::path(ConverterModel::kFileName)));
    }

    void typingUpdatesEverything_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("result");
        QTest::addColumn<bool>("hint");
        QTest::newRow("grouped") << "1,000" << "1609.344" << false;
        QTest::newRow("padded") << " 2 " << "3.218688" << false;
        QTest::newRow("letters") << "abc" << kDash << true;
        QTest::newRow("empty") << "" << kDash << true;
        QTest::newRow("inner space") << "1 000" << kDash << true;
    }
    void typingUpdatesEverything()
    {
        QFETCH(QString, text);
        QFETCH(QString, result);
        QFETCH(bool, hint);
        ConverterView view;
        view.show();
        ConverterUnitsTab* units = view.unitsTab();
        typeValue(units->valueField(), text);
        QCOMPARE(view.model()->input(), text);
        QCOMPARE(units->resultLabel()->text(), result);
        QCOMPARE(units->hintLabel()->isVisible(), hint);
        QCOMPARE(units->cells().at(4).value->text(), result + QStringLiteral(" km"));
        QCOMPARE(units->gridPanel()->title(), text + QStringLiteral(" mi in every length unit"));
        // The typed value is not part of the saved state.
        QVERIFY(!QFile::exists(Store::path(ConverterModel::kFileName)));
    }

    void choosingACategory()
    {
        ConverterView view;
        view.show();
        ConverterUnitsTab* units = view.unitsTab();
        Q_EMIT units->categoryPicker()->activated(3);
        QCOMPARE(view.model()->category(), UnitCategory(UnitCategory::temperature));
        QCOMPARE(units->fromPicker()->currentText(), QStringLiteral("Fahrenheit (\u00B0F)"));
        QCOMPARE(units->toPicker()->currentText(), QStringLiteral("Celsius (\u00B0C)"));
        QCOMPARE(units->cells().size(), 4);
        typeValue(units->valueField(), QStringLiteral("100"));
        QCOMPARE(units->resultLabel()->text(), QStringLiteral("37.77777778"));
        QCOMPARE(units->symbolLabel()->text(), QStringLiteral("\u00B0C"));
        QCOMPARE(units->gridPanel()->title(), QStringLiteral("100 \u00B0F in every temperature unit"));
        QCOMPARE(savedState().value(QStringLiteral("category")).toString(), QStringLiteral("temperature"));
        int count = 0;
        QCOMPARE(highlightedCell(units, &count), 0);
        QCOMPARE(count, 1);
    }

    void choosingUnitsAndSwapping()
    {
        ConverterView view;
        ConverterUnitsTab* units = view.unitsTab();
        const int feet = units->toPicker()->findData(QStringLiteral("ft"));
        units->toPicker()->setCurrentIndex(feet);
        Q_EMIT units->toPicker()->activated(feet);
        QCOMPARE(view.model()->to(), QStringLiteral("ft"));
        QCOMPARE(units->resultLabel()->text(), QStringLiteral("5280"));
        QCOMPARE(units->symbolLabel()->text(), QStringLiteral("ft"));
        int count = 0;
        QCOMPARE(highlightedCell(units, &count), 6);
        QCOMPARE(savedState().value(QStringLiteral("to")).toString(), QStringLiteral("ft"));

        QTest::mouseClick(units->swapButton(), Qt::LeftButton, {}, units->swapButton()->rect().center());
        QCOMPARE(units->fromPicker()->currentText(), QStringLiteral("Feet (ft)"));
        QCOMPARE(units->toPicker()->currentText(), QStringLiteral("Miles (mi)"));
        QCOMPARE(savedState().value(QStringLiteral("from")).toString(), QStringLiteral("ft"));
        QCOMPARE(savedState().value(QStringLiteral("to")).toString(), QStringLiteral("mi"));
        QCOMPARE(units->gridPanel()->title(), QStringLiteral("1 ft in every length unit"));
        QCOMPARE(highlightedCell(units, &count), 8);
    }

    void copyPutsTheNumberOnly()
    {
        ConverterView view;
        ConverterUnitsTab* units = view.unitsTab();
        QApplication::clipboard()->setText(QStringLiteral("old"));
        QTest::mouseClick(units->copyButton(), Qt::LeftButton, {}, units->copyButton()->rect().center());
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("1.609344"));
        view.model()->setInput(QStringLiteral("x"));
        QCOMPARE(units->valueField()->text(), QStringLiteral("x"));
        units->copy();
        QCOMPARE(QApplication::clipboard()->text(), kDash);
    }

    void storedUnitsOfAnotherCategoryShowNoSelection()
    {
        writeState(QJsonObject{{"category", "area"}, {"from", "mi"}, {"to", "km"}, {"tzFrom", "Nowhere/Atlantis"},
                               {"tzTo", "UTC"}, {"clocks", QJsonArray{"Nowhere/Atlantis", "Asia/Kolkata"}}});
        ConverterView view;
        ConverterUnitsTab* units = view.unitsTab();
        QCOMPARE(units->categoryPicker()->currentIndex(), 4);
        QCOMPARE(units->fromPicker()->currentIndex(), -1);
        QCOMPARE(units->toPicker()->currentIndex(), -1);
        QCOMPARE(units->resultLabel()->text(), kDash);
        QCOMPARE(units->symbolLabel()->text(), QString());
        QVERIFY(units->hintLabel()->isHidden());
        int count = 0;
        highlightedCell(units, &count);
        QCOMPARE(count, 0);

        ConverterZonesTab* zones = view.zonesTab();
        QCOMPARE(zones->fromPicker()->currentIndex(), -1);
        QVERIFY(zones->resultBox()->isHidden());
        QCOMPARE(zones->clockRows().size(), 2);
        QCOMPARE(zones->clockRows().at(0).offset->text(), QString());
        QVERIFY(!zones->clockRows().at(0).time->text().isEmpty());
        QCOMPARE(zones->clockRows().at(1).offset->text(), QStringLiteral("UTC+5:30"));

        // Choosing a unit mends the pair.
        const int acres = units->fromPicker()->findData(QStringLiteral("ac"));
        Q_EMIT units->fromPicker()->activated(acres);
        const int hectares = units->toPicker()->findData(QStringLiteral("ha"));
        Q_EMIT units->toPicker()->activated(hectares);
        QCOMPARE(units->resultLabel()->text(), QStringLiteral("0.4046856422"));
    }

    void tabsSwitch()
    {
        ConverterView view;
        view.show();
        QVERIFY(view.unitsTab()->isVisible());
        QVERIFY(!view.zonesTab()->clockTimer().isActive());
        QTest::mouseClick(view.tabPicker(), Qt::LeftButton, {}, view.tabPicker()->segmentRect(1).center());
        QCOMPARE(view.tab(), 1);
        QVERIFY(view.zonesTab()->isVisible());
        QVERIFY(view.zonesTab()->clockTimer().isActive());
        QCOMPARE(view.zonesTab()->clockTimer().interval(), 1000);
        view.setTab(0);
        QVERIFY(!view.zonesTab()->clockTimer().isActive());
        QCOMPARE(view.tabPicker()->currentIndex(), 0);
    }

    void convertATime()
    {
        ConverterView view;
        ConverterZonesTab* zones = view.zonesTab();
        ConverterModel* m = view.model();
        QCOMPARE(zones->fromPicker()->count(), int(ConverterModel::zones().size()));
        QCOMPARE(zones->fromPicker()->currentData().toString(), QStringLiteral("America/Denver"));
        QCOMPARE(zones->toPicker()->currentText(), QStringLiteral("UTC"));
        const int ny = zones->fromPicker()->findData(QStringLiteral("America/New_York"));
        QCOMPARE(zones->fromPicker()->itemText(ny), QStringLiteral("America/New York"));

        zones->datePicker()->setDateTime(QDateTime(QDate(2026, 7, 1), QTime(12, 0)));
        QCOMPARE(m->tzDate(), QDateTime(QDate(2026, 7, 1), QTime(12, 0)));
        Q_EMIT zones->fromPicker()->activated(ny);
        const int tokyo = zones->toPicker()->findData(QStringLiteral("Asia/Tokyo"));
        Q_EMIT zones->toPicker()->activated(tokyo);
        QVERIFY(!zones->resultBox()->isHidden());
        QCOMPARE(zones->resultLines().at(0)->text(), QStringLiteral("Wed, Jul 1  12:00 PM in America/New York (UTC-4)"));
        QCOMPARE(zones->resultLines().at(1)->text(), QStringLiteral("= Thu, Jul 2, 2026  1:00 AM"));
        QCOMPARE(zones->resultLines().at(2)->text(), QStringLiteral("in Asia/Tokyo (UTC+9)"));
        QCOMPARE(savedState().value(QStringLiteral("tzTo")).toString(), QStringLiteral("Asia/Tokyo"));

        QTest::mouseClick(zones->swapButton(), Qt::LeftButton, {}, zones->swapButton()->rect().center());
        QCOMPARE(zones->fromPicker()->currentText(), QStringLiteral("Asia/Tokyo"));
        QCOMPARE(zones->toPicker()->currentText(), QStringLiteral("America/New York"));
        QCOMPARE(savedState().value(QStringLiteral("tzFrom")).toString(), QStringLiteral("Asia/Tokyo"));
        QCOMPARE(zones->resultLines().at(1)->text(), QStringLiteral("= Tue, Jun 30, 2026  11:00 PM"));

        QTest::mouseClick(zones->nowButton(), Qt::LeftButton, {}, zones->nowButton()->rect().center());
        QVERIFY(std::abs(m->tzDate().secsTo(QDateTime::currentDateTime())) < 60);
        QVERIFY(std::abs(zones->datePicker()->dateTime().secsTo(QDateTime::currentDateTime())) < 60);
    }

    void worldClocks()
    {
        ConverterView view;
        view.show();
        view.setTab(1);
        ConverterZonesTab* zones = view.zonesTab();
        ConverterModel* m = view.model();
        QCOMPARE(zones->clockRows().size(), 4);
        QCOMPARE(zones->clockRows().at(1).name->text(), QStringLiteral("America/New York"));
        QCOMPARE(zones->clockRows().at(1).name->width(), 220);
        const QDateTime now = QDateTime::currentDateTime();
        QVERIFY(zones->clockRows().at(3).time->text() == ConverterModel::display(now, QStringLiteral("Asia/Tokyo"))
                || zones->clockRows().at(3).time->text()
                       == ConverterModel::display(now.addSecs(-60), QStringLiteral("Asia/Tokyo")));
        QCOMPARE(zones->clockRows().at(3).offset->text(), QStringLiteral("UTC+9"));

        // The menu: fifteen suggestions, a divider, the source zone as stored.
        zones->rebuildMenu();
        QStringList texts = menuTexts(zones->addClockMenu());
        QCOMPARE(texts.size(), 17);
        QCOMPARE(texts.first(), QStringLiteral("America/Los Angeles"));
        QCOMPARE(texts.at(14), QStringLiteral("UTC"));
        QCOMPARE(texts.at(15), QStringLiteral("---"));
        QCOMPARE(zones->addClockButton()->width(), 140);
        QCOMPARE(zones->addClockButton()->text(), QStringLiteral("Add Clock"));
        m->setTzFrom(QStringLiteral("America/New_York"));
        texts = menuTexts(zones->addClockMenu());
        QCOMPARE(texts.last(), QStringLiteral("Add \u201CFrom\u201D zone (America/New_York)"));

        // A suggestion already listed changes nothing; a new one is appended.
        zones->addClockMenu()->actions().at(3)->trigger(); // America/New_York
        QCOMPARE(zones->clockRows().size(), 4);
        zones->addClockMenu()->actions().at(10)->trigger(); // Asia/Kolkata
        QCOMPARE(zones->clockRows().size(), 5);
        QCOMPARE(zones->clockRows().last().name->text(), QStringLiteral("Asia/Kolkata"));
        QCOMPARE(savedState().value(QStringLiteral("clocks")).toArray().size(), 5);

        // Removing through a row's own button.
        QToolButton* remove = zones->clockRows().at(0).remove;
        QTest::mouseClick(remove, Qt::LeftButton, {}, remove->rect().center());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(zones->clockRows().size(), 4);
        QCOMPARE(m->clocks().first(), QStringLiteral("America/New_York"));
        for (int i = 0; i < 4; ++i)
            m->removeClock(m->clocks().first());
        QCOMPARE(zones->clockRows().size(), 0);
        QCOMPARE(savedState().value(QStringLiteral("clocks")).toArray().size(), 0);
        zones->tick();
    }

    void menuShowsAmpersands()
    {
        ConverterView view;
        view.model()->setTzFrom(QStringLiteral("R&D/Lab"));
        const QStringList texts = menuTexts(view.zonesTab()->addClockMenu());
        QCOMPARE(texts.last(), QStringLiteral("Add \u201CFrom\u201D zone (R&&D/Lab)"));
        view.zonesTab()->addClockMenu()->actions().last()->trigger();
        QCOMPARE(view.model()->clocks().last(), QStringLiteral("R&D/Lab"));
    }

    void longInputDoesNotWidenTheWindow()
    {
        ConverterView view;
        const int before = view.minimumSizeHint().width();
        view.model()->setInput(QString(2000, QLatin1Char('9')));
        QCOMPARE(view.unitsTab()->resultLabel()->text(), QStringLiteral("\u221E"));
        QVERIFY(view.minimumSizeHint().width() <= before);
    }

    void manyClocksScroll()
    {
        ConverterView view;
        view.setTab(1);
        const int before = view.minimumSizeHint().height();
        QStringList many;
        for (int i = 0; i < 200; ++i)
            many << QStringLiteral("Zone/%1").arg(i);
        view.model()->setClocks(many);
        QCOMPARE(view.zonesTab()->clockRows().size(), 200);
        QVERIFY(view.minimumSizeHint().height() <= before);
    }

    // Renders both tabs in the tool frame; with BW_SNAPSHOT_DIR set, the
    // pictures are kept there for a look.
    void render()
    {
        auto* view = new ConverterView;
        ToolScaffold frame(Tool::converter, view);
        frame.resize(Tool(Tool::converter).defaultSize().value_or(QSize(760, 600)));
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        const QImage units = frame.grab().toImage();
        view->setTab(1);
        view->model()->setTzFrom(QStringLiteral("America/New_York"));
        view->model()->addClock(QStringLiteral("Asia/Kolkata"));
        view->model()->addClock(QStringLiteral("Nowhere/Atlantis"));
        QCoreApplication::processEvents();
        const QImage zones = frame.grab().toImage();
        QVERIFY(!units.isNull() && !zones.isNull());
        QVERIFY(units != zones);
        const QString dir = qEnvironmentVariable("BW_SNAPSHOT_DIR");
        if (!dir.isEmpty()) {
            QDir().mkpath(dir);
            units.save(dir + QStringLiteral("/converter-units.png"));
            zones.save(dir + QStringLiteral("/converter-zones.png"));
        }
    }
};

QTEST_MAIN(ConverterViewTest)
#include "tst_converterview.moc"
