#include "DenverClock.h"
#include "TestEnvironment.h"
#include "core/Store.h"
#include "calc/ConverterModel.h"
#include "calc/TimeZones.h"
#include "calc/views/ConverterCombo.h"
#include "calc/views/ConverterStyle.h"
#include "calc/views/ConverterUnitsTab.h"
#include "calc/views/ConverterView.h"
#include "calc/views/ConverterZonesTab.h"
#include "ui/SegmentedPicker.h"
#include "ui/ChromeButton.h"
#include "ui/Fonts.h"
#include "ui/ChromePanel.h"
#include "ui/SpellLineEdit.h"
#include "ui/ToolScaffold.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QEnterEvent>
#include <QDateTimeEdit>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>
#include <QToolButton>

namespace {

const bool kEnvironment = useDenverClock();

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

QList<int> highlighted(const ConverterUnitsTab* tab)
{
    QList<int> found;
    for (int i = 0; i < tab->cells().size(); ++i)
        if (tab->isHighlighted(i))
            found << i;
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

    void typingUpdatesEverything_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("result");
        QTest::addColumn<bool>("hint");
        QTest::newRow("as it starts") << "1" << "1.609344" << false;
        QTest::newRow("grouped") << "1,000" << "1609.344" << false;
        QTest::newRow("letters") << "abc" << kDash << true;
        QTest::newRow("empty") << "" << kDash << true;
    }
    void typingUpdatesEverything()
    {
        QFETCH(QString, text);
        QFETCH(QString, result);
        QFETCH(bool, hint);
        ConverterView view;
        view.show();
        ConverterUnitsTab* units = view.unitsTab();
        QVERIFY(qobject_cast<SpellLineEdit*>(units->valueField()));
        typeValue(units->valueField(), text);
        QCOMPARE(view.model()->input(), text);
        QCOMPARE(units->resultLabel()->text(), result);
        QCOMPARE(units->hintLabel()->isVisible(), hint);
        QCOMPARE(units->cells().at(4).value->text(), result + QStringLiteral(" km"));
        QCOMPARE(units->gridPanel()->title(), text + QStringLiteral(" mi in every length unit"));
        QCOMPARE(highlighted(units), QList<int>{4}); // the "to" unit
        // The typed value is not part of the saved state.
        QVERIFY(!QFile::exists(Store::path(ConverterModel::kFileName)));
    }

    void choosingUnitsSwappingAndCopying()
    {
        ConverterView view;
        view.show();
        ConverterUnitsTab* units = view.unitsTab();
        const int feet = units->toPicker()->findData(QStringLiteral("ft"));
        units->toPicker()->setCurrentIndex(feet);
        Q_EMIT units->toPicker()->activated(feet);
        QCOMPARE(units->resultLabel()->text(), QStringLiteral("5280"));
        QCOMPARE(highlighted(units), QList<int>{6});
        QCOMPARE(savedState().value(QStringLiteral("to")).toString(), QStringLiteral("ft"));

        QTest::mouseClick(units->swapButton(), Qt::LeftButton, {}, units->swapButton()->rect().center());
        QCOMPARE(units->fromPicker()->currentText(), QStringLiteral("Feet (ft)"));
        QCOMPARE(savedState().value(QStringLiteral("from")).toString(), QStringLiteral("ft"));
        QCOMPARE(highlighted(units), QList<int>{8});

        // Copy puts the number only, or the dash when there is none.
        QTest::mouseClick(units->copyButton(), Qt::LeftButton, {}, units->copyButton()->rect().center());
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("0.0001893939394"));
        view.model()->setInput(QStringLiteral("x"));
        QCOMPARE(units->valueField()->text(), QStringLiteral("x"));
        units->copy();
        QCOMPARE(QApplication::clipboard()->text(), kDash);

        // A new category brings its own units and cells.
        Q_EMIT units->categoryPicker()->activated(3);
        QCOMPARE(view.model()->category(), UnitCategory(UnitCategory::temperature));
        QCOMPARE(units->fromPicker()->currentText(), QStringLiteral("Fahrenheit (\u00B0F)"));
        QCOMPARE(units->cells().size(), 4);
        typeValue(units->valueField(), QStringLiteral("100"));
        QCOMPARE(units->resultLabel()->text(), QStringLiteral("37.77777778"));
        QCOMPARE(highlighted(units), QList<int>{0});
    }

    void figuresTurnSelectableUnderThePointer_data()
    {
        QTest::addColumn<QEvent::Type>("first");
        QTest::newRow("pointer enters") << QEvent::Enter;
        QTest::newRow("press without an enter") << QEvent::MouseButtonPress;
        QTest::newRow("context menu") << QEvent::ContextMenu;
    }
    void figuresTurnSelectableUnderThePointer()
    {
        QFETCH(QEvent::Type, first);
        ConverterView view;
        view.show();
        ConverterUnitsTab* units = view.unitsTab();
        QList<QLabel*> figures{units->resultLabel()};
        for (const auto& c : units->cells())
            figures << c.value;
        for (QLabel* l : std::as_const(figures)) {
            const QPoint at = l->rect().center();
            if (first == QEvent::Enter) {
                QEnterEvent e(at, l->mapToGlobal(at), l->mapToGlobal(at));
                QApplication::sendEvent(l, &e);
            } else if (first == QEvent::ContextMenu) {
                QContextMenuEvent e(QContextMenuEvent::Mouse, at, l->mapToGlobal(at));
                QApplication::sendEvent(l, &e);
            } else {
                QTest::mousePress(l, Qt::LeftButton, {}, at);
                QTest::mouseRelease(l, Qt::LeftButton, {}, at);
            }
            QVERIFY(l->textInteractionFlags().testFlag(Qt::TextSelectableByMouse));
        }
        // Selecting then works as on any selectable label.
        QLabel* result = units->resultLabel();
        result->setSelection(0, 1);
        QCOMPARE(result->selectedText(), QStringLiteral("1"));
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
        QVERIFY(units->hintLabel()->isHidden());
        QVERIFY(highlighted(units).isEmpty());

        // An unknown zone shows no choice, no conversion and a clock without offset.
        ConverterZonesTab* zones = view.zonesTab();
        QCOMPARE(zones->fromPicker()->currentIndex(), -1);
        QVERIFY(zones->resultBox()->isHidden());
        QCOMPARE(zones->clockRows().at(0).offset->text(), QString());
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
        // The second tab is not built until it is first wanted, and only once.
        QVERIFY(view.findChildren<ConverterZonesTab*>().isEmpty());
        view.setTab(1);
        view.setTab(0);
        QCOMPARE(view.findChildren<ConverterZonesTab*>().size(), 1);
        QCOMPARE(view.tab(), 0);
        QVERIFY(!view.zonesTab()->clockTimer().isActive());
        QTest::mouseClick(view.tabPicker(), Qt::LeftButton, {}, view.tabPicker()->segmentRect(1).center());
        QCOMPARE(view.tab(), 1);
        QVERIFY(view.zonesTab()->isVisible());
        QVERIFY(view.zonesTab()->clockTimer().isActive());
        view.setTab(0);
        QVERIFY(!view.zonesTab()->clockTimer().isActive());
        QCOMPARE(view.tabPicker()->currentIndex(), 0);
    }

    void convertATime()
    {
        ConverterView view;
        ConverterZonesTab* zones = view.zonesTab();
        ConverterModel* m = view.model();
        QCOMPARE(zones->fromPicker()->currentData().toString(), QStringLiteral("America/Denver"));
        const int ny = zones->fromPicker()->findData(QStringLiteral("America/New_York"));

        zones->datePicker()->setDateTime(QDateTime(QDate(2026, 7, 1), QTime(12, 0)));
        QCOMPARE(m->tzDate(), QDateTime(QDate(2026, 7, 1), QTime(12, 0)));
        Q_EMIT zones->fromPicker()->activated(ny);
        const int tokyo = zones->toPicker()->findData(QStringLiteral("Asia/Tokyo"));
        Q_EMIT zones->toPicker()->activated(tokyo);
        QVERIFY(!zones->resultBox()->isHidden());
        QCOMPARE(zones->resultLines().at(1)->text(), QStringLiteral("= Thu, Jul 2, 2026  1:00 AM"));
        QCOMPARE(savedState().value(QStringLiteral("tzTo")).toString(), QStringLiteral("Asia/Tokyo"));

        QTest::mouseClick(zones->swapButton(), Qt::LeftButton, {}, zones->swapButton()->rect().center());
        QCOMPARE(zones->fromPicker()->currentText(), QStringLiteral("Asia/Tokyo"));
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
        QCOMPARE(zones->clockRows().at(3).offset->text(), QStringLiteral("UTC+9")); // Asia/Tokyo

        // The menu: fifteen suggestions, a divider, the source zone as stored.
        zones->rebuildMenu();
        QStringList texts = menuTexts(zones->addClockMenu());
        QCOMPARE(texts.size(), 17);
        QCOMPARE(texts.at(15), QStringLiteral("---"));
        m->setTzFrom(QStringLiteral("America/New_York"));
        texts = menuTexts(zones->addClockMenu());
        QCOMPARE(texts.last(), QStringLiteral("Add \u201CFrom\u201D zone (America/New_York)"));

        // A suggestion already listed changes nothing; a new one is appended.
        zones->addClockMenu()->actions().at(3)->trigger(); // America/New_York
        QCOMPARE(zones->clockRows().size(), 4);
        zones->addClockMenu()->actions().at(10)->trigger(); // Asia/Kolkata
        QCOMPARE(zones->clockRows().last().name->text(), QStringLiteral("Asia/Kolkata"));

        // Removing through a row's own button.
        QToolButton* remove = zones->clockRows().at(0).remove;
        QTest::mouseClick(remove, Qt::LeftButton, {}, remove->rect().center());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(m->clocks().first(), QStringLiteral("America/New_York"));
        m->setClocks({});
        QCOMPARE(zones->clockRows().size(), 0);
        zones->tick();

        // Menu texts show an ampersand as it is, and add the zone as stored.
        m->setTzFrom(QStringLiteral("R&D/Lab"));
        QCOMPARE(menuTexts(zones->addClockMenu()).last(), QStringLiteral("Add \u201CFrom\u201D zone (R&&D/Lab)"));
        zones->addClockMenu()->actions().last()->trigger();
        QCOMPARE(m->clocks(), QStringList{QStringLiteral("R&D/Lab")});
    }

    void contentNeverGrowsTheWindow()
    {
        ConverterView view;
        const QSize before = view.minimumSizeHint();
        view.model()->setInput(QString(2000, QLatin1Char('9')));
        QCOMPARE(view.unitsTab()->resultLabel()->text(), QStringLiteral("\u221E"));
        QVERIFY(view.minimumSizeHint().width() <= before.width());
        // Many clocks scroll.
        view.setTab(1);
        const int height = view.minimumSizeHint().height();
        QStringList many;
        for (int i = 0; i < 200; ++i)
            many << QStringLiteral("Zone/%1").arg(i);
        view.model()->setClocks(many);
        QCOMPARE(view.zonesTab()->clockRows().size(), 200);
        QVERIFY(view.minimumSizeHint().height() <= height);
    }

    // The pickers take the size QComboBox gives under its "minimum contents
    // length with icon" policy, in any font, without building the popup list.
    void comboMeasuresLikeItsPolicy_data()
    {
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<int>("fontSize");
        QTest::newRow("empty") << QStringList{} << 0;
        QTest::newRow("long items") << QStringList{QStringLiteral("Nautical mile (nmi)"), QStringLiteral("Inch (in)")} << 0;
        QTest::newRow("large font") << QStringList{QStringLiteral("Europe/London")} << 22;
        QTest::newRow("small font") << QStringList{QStringLiteral("Gram (g)")} << 8;
    }

    void comboMeasuresLikeItsPolicy()
    {
        QFETCH(QStringList, items);
        QFETCH(int, fontSize);
        ConverterCombo combo;
        QComboBox reference;
        reference.setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        reference.setMinimumContentsLength(6);
        for (QComboBox* c : {static_cast<QComboBox*>(&combo), &reference}) {
            if (fontSize > 0) {
                QFont f = c->font();
                f.setPixelSize(fontSize);
                c->setFont(f);
            }
            c->addItems(items);
        }
        QCOMPARE(combo.sizeHint(), reference.sizeHint());
        QCOMPARE(combo.minimumSizeHint(), reference.minimumSizeHint());
        if (fontSize == 0) // (a new font reaches the list, so QComboBox builds it then)
            QCOMPARE(combo.findChild<QAbstractItemView*>(), nullptr);
        // The list comes with the first popup, and choosing from it works.
        combo.setCurrentIndex(-1);
        combo.view();
        QVERIFY(combo.findChild<QAbstractItemView*>());
        QCOMPARE(combo.count(), items.size());
    }

    // The converter's rounded fonts name no second family, yet every
    // character it shows (and one no rounded face has) is drawn as before.
    void roundedFontsDrawAsTheSystemRoundedFont_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("weight");
        QTest::newRow("names") << 12 << int(QFont::Normal);
        QTest::newRow("figures") << 12 << int(QFont::DemiBold);
        QTest::newRow("value") << 18 << int(QFont::Normal);
        QTest::newRow("symbol") << 20 << int(QFont::DemiBold);
        QTest::newRow("result") << 34 << int(QFont::Black);
    }

    void roundedFontsDrawAsTheSystemRoundedFont()
    {
        QFETCH(int, size);
        QFETCH(int, weight);
        const QString text = QStringLiteral("1.609344 \u00B5m \u00B0C m\u00B2 m\u00B3 \u2014 \u221E \u2248 \u263A \u4E2D");
        auto draw = [&](const QFont& font) {
            QImage image(QSize(QFontMetrics(font).horizontalAdvance(text) + 8, 2 * size), QImage::Format_RGB32);
            image.fill(Qt::white);
            QPainter p(&image);
            p.setFont(font);
            p.drawText(image.rect(), Qt::AlignCenter, text);
            p.end();
            return image;
        };
        const auto w = QFont::Weight(weight);
        QVERIFY(draw(ConverterStyle::rounded(size, w)) == draw(Fonts::system(size, w, Fonts::Design::Rounded)));
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
