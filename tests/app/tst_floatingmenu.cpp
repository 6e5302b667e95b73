#include "TestEnvironment.h"
#include "app/AppSettings.h"
#include "app/SettingsStore.h"
#include "app/views/FloatingMenuController.h"
#include "app/views/FloatingPanel.h"
#include "app/views/FloatingToolButton.h"
#include "app/views/MainMenu.h"
#include "app/views/WindowDragHandle.h"
#include "app/views/WindowManager.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QScreen>
#include <QTest>
#include <QToolButton>

namespace {

FloatingMenuController& fm()
{
    return FloatingMenuController::shared();
}

QRect available()
{
    return QGuiApplication::primaryScreen()->availableGeometry();
}

QStringList menuTitles(QMenu* menu)
{
    QStringList titles;
    for (QAction* a : menu->actions())
        titles << (a->isSeparator() ? QStringLiteral("—") : a->text());
    return titles;
}

QString toggleTitle()
{
    return MainMenu::title(MainMenu::shared().appToggleItem());
}

} // namespace

class FloatingMenuTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        MainMenu::shared().statusMenu();
    }

    // Each test starts from the default options and no panel.
    void init()
    {
        AppSettings& s = AppSettings::shared();
        s.setVertical(false);
        s.setLargeButtons(true);
        s.setShowLabels(true);
        s.setAlwaysOnTop(true);
        if (fm().panel()) {
            fm().hide();
            fm().rebuild();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        SettingsStore::settings().remove(FloatingMenuController::frameName(true));
        SettingsStore::settings().remove(FloatingMenuController::frameName(false));
    }

    void toggleBuildsHidesAndShowsAgain()
    {
        QVERIFY(!fm().panel());
        const int builds = fm().buildCount();
        fm().toggle();
        FloatingPanel* first = fm().panel();
        QVERIFY(first && first->isVisible());
        QCOMPARE(toggleTitle(), QStringLiteral("Hide Floating Menu"));
        fm().toggle();
        QCOMPARE(fm().panel(), first);
        QVERIFY(!first->isVisible());
        QCOMPARE(toggleTitle(), QStringLiteral("Show Floating Menu"));
        QCOMPARE(MainMenu::title(MainMenu::shared().statusToggleItem()), QStringLiteral("Show Floating Menu"));
        fm().toggle();
        QCOMPARE(fm().panel(), first);
        QVERIFY(first->isVisible());
        QCOMPARE(fm().buildCount(), builds + 1);
    }

    void rebuildOfAHiddenPanelDropsIt()
    {
        fm().toggle();
        fm().toggle();
        AppSettings::shared().setVertical(true); // rebuilds
        QVERIFY(!fm().panel());
        QVERIFY(!fm().isShowing());
        fm().toggle();
        QVERIFY(fm().panel()->view()->options().vertical);
        QVERIFY(fm().isShowing());
    }

    void rebuildWithoutPanelDoesNothing()
    {
        QVERIFY(!fm().panel());
        MainMenu::shared().appToggleItem()->setText(QStringLiteral("untouched"));
        const int builds = fm().buildCount();
        fm().rebuild();
        QVERIFY(!fm().panel());
        QCOMPARE(fm().buildCount(), builds);
        QCOMPARE(MainMenu::shared().appToggleItem()->text(), QStringLiteral("untouched"));
        MainMenu::refreshToggleTitles();
    }

    // The settings act on the live panel at once.
    void settingsActOnTheLivePanel()
    {
        fm().show();
        FloatingPanel* p = fm().panel();
        QVERIFY(p->isAlwaysOnTop());
        AppSettings::shared().setAlwaysOnTop(false);
        QCOMPARE(fm().panel(), p); // re-levelled, not rebuilt
        QVERIFY(!p->isAlwaysOnTop());
        QVERIFY(p->isVisible());
        AppSettings::shared().setAlwaysOnTop(true);
        QVERIFY(p->isAlwaysOnTop());

        AppSettings::shared().setVertical(true);
        QVERIFY(fm().panel() != p);
        QVERIFY(fm().isShowing());
        QVERIFY(fm().panel()->view()->options().vertical);
        QCOMPARE(toggleTitle(), QStringLiteral("Hide Floating Menu"));

        const QSize large = fm().panel()->size();
        AppSettings::shared().setLargeButtons(false);
        QVERIFY(fm().isShowing());
        QVERIFY(fm().panel()->size().width() < large.width());
        QVERIFY(fm().panel()->size().height() < large.height());
    }

    void hiddenPanelStaysHiddenOnChange()
    {
        fm().show();
        fm().hide();
        AppSettings::shared().setShowLabels(false);
        QVERIFY(!fm().isShowing());
        QVERIFY(!fm().panel());
        QCOMPARE(toggleTitle(), QStringLiteral("Show Floating Menu"));
    }

    void panelFlags()
    {
        fm().show();
        FloatingPanel* p = fm().panel();
        const Qt::WindowFlags f = p->windowFlags();
        QVERIFY(f.testFlag(Qt::FramelessWindowHint));
        QVERIFY(f.testFlag(Qt::WindowDoesNotAcceptFocus));
        QCOMPARE(p->windowType(), Qt::Tool);
        QVERIFY(p->testAttribute(Qt::WA_ShowWithoutActivating));
        QVERIFY(p->testAttribute(Qt::WA_TranslucentBackground));
        QCOMPARE(p->windowTitle(), QStringLiteral("Brindleworks Floating Menu"));
        QCOMPARE(p->minimumSize(), p->maximumSize());
        QVERIFY(!p->isActiveWindow());
        const QList<QWidget*> focusable = p->findChildren<QWidget*>();
        for (QWidget* w : focusable) {
            if (qobject_cast<QMenu*>(w))
                continue;
            QVERIFY2(w->focusPolicy() == Qt::NoFocus, qPrintable(w->objectName()));
        }
    }

    void firstPlacement_data()
    {
        QTest::addColumn<bool>("vertical");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QRect>("screen");
        QTest::addColumn<QPoint>("expected");
        QTest::newRow("column at the right edge") << true << QSize(80, 700) << QRect(0, 0, 1920, 1080)
                                                  << QPoint(1920 - 80 - 12, 190);
        QTest::newRow("row under the top") << false << QSize(900, 90) << QRect(0, 0, 1920, 1080) << QPoint(510, 10);
        QTest::newRow("screen with a panel on top") << false << QSize(900, 90) << QRect(0, 32, 1920, 1048)
                                                    << QPoint(510, 42);
        QTest::newRow("second screen") << true << QSize(80, 600) << QRect(1920, 0, 1280, 1024)
                                       << QPoint(1920 + 1280 - 92, 212);
        QTest::newRow("larger than the screen") << false << QSize(1000, 90) << QRect(0, 0, 800, 600)
                                                << QPoint(-100, 10);
    }
    void firstPlacement()
    {
        QFETCH(bool, vertical);
        QFETCH(QSize, size);
        QFETCH(QRect, screen);
        QFETCH(QPoint, expected);
        QCOMPARE(FloatingMenuController::firstPlacement(size, screen, vertical), expected);
    }

    void firstShowIsPlacedByTheRules()
    {
        AppSettings::shared().setVertical(true);
        fm().show();
        FloatingPanel* p = fm().panel();
        QCOMPARE(p->geometry().right() + 1, available().right() + 1 - 12);
        QVERIFY(qAbs(p->geometry().center().y() - available().center().y()) <= 1);
        fm().hide();
        AppSettings::shared().setVertical(false);
        fm().show();
        p = fm().panel();
        QCOMPARE(p->geometry().top(), available().top() + 10);
        QVERIFY(qAbs(p->geometry().center().x() - available().center().x()) <= 1);
    }

    // Each layout keeps its own place.
    void layoutsKeepTheirOwnPositions()
    {
        fm().show();
        fm().panel()->move(20, 30);
        AppSettings::shared().setVertical(true);
        fm().panel()->move(600, 40);
        AppSettings::shared().setVertical(false);
        QCOMPARE(fm().panel()->pos(), QPoint(20, 30));
        AppSettings::shared().setVertical(true);
        QCOMPARE(fm().panel()->pos(), QPoint(600, 40));
    }

    void unusableSavedPositionFallsBack_data()
    {
        QTest::addColumn<QString>("saved");
        QTest::newRow("off every screen") << "-5000 -5000 900 90";
        QTest::newRow("garbage") << "left top";
        QTest::newRow("too few numbers") << "10 20";
        QTest::newRow("absurd numbers") << "99999999999 1 1 1";
    }
    void unusableSavedPositionFallsBack()
    {
        QFETCH(QString, saved);
        SettingsStore::settings().setValue(FloatingMenuController::frameName(false), saved);
        fm().show();
        QCOMPARE(fm().panel()->geometry().top(), available().top() + 10);
    }

    // Moving straight from one button onto the next keeps the new name.
    void hoverRule()
    {
        fm().show();
        FloatingMenuView* v = fm().panel()->view();
        QVERIFY(v->showsCaption());
        QCOMPARE(v->captionText(), QStringLiteral("Brindleworks by Corvandel Softworks"));
        v->toolEntered(Tool::calculator);
        v->toolEntered(Tool::scientific);
        v->toolLeft(Tool::calculator);
        QCOMPARE(v->hovered(), std::optional<Tool>(Tool::scientific));
        QCOMPARE(v->captionText(), QStringLiteral("Scientific Calculator"));
        QCOMPARE(v->button(Tool::scientific)->targetScale(), FloatingToolButton::hoverScale);
        QCOMPARE(v->button(Tool::calculator)->targetScale(), 1.0);
        QTRY_COMPARE(v->button(Tool::scientific)->scale(), FloatingToolButton::hoverScale);
        v->toolLeft(Tool::scientific);
        QCOMPARE(v->hovered(), std::nullopt);
        QCOMPARE(v->captionText(), QStringLiteral("Brindleworks by Corvandel Softworks"));
        QTRY_COMPARE(v->button(Tool::scientific)->scale(), 1.0);
    }

    void captionOnlyInTheRowWithLabels_data()
    {
        QTest::addColumn<bool>("vertical");
        QTest::addColumn<bool>("labels");
        QTest::addColumn<bool>("caption");
        QTest::newRow("row with labels") << false << true << true;
        QTest::newRow("row without labels") << false << false << false;
        QTest::newRow("column with labels") << true << true << false;
        QTest::newRow("column without labels") << true << false << false;
    }
    void captionOnlyInTheRowWithLabels()
    {
        QFETCH(bool, vertical);
        QFETCH(bool, labels);
        QFETCH(bool, caption);
        std::unique_ptr<FloatingPanel> with(FloatingMenuController::makePanel({vertical, true, true}));
        std::unique_ptr<FloatingPanel> p(FloatingMenuController::makePanel({vertical, true, labels}));
        QCOMPARE(p->view()->showsCaption(), caption);
        if (!vertical && !labels)
            QVERIFY(p->height() < with->height());
        else
            QCOMPARE(p->size(), with->size());
    }

    // Twelve tools, the separator and the two games, then the menu.
    void stripContents_data()
    {
        QTest::addColumn<bool>("vertical");
        QTest::addColumn<bool>("large");
        QTest::addColumn<QSize>("separator");
        QTest::addColumn<int>("icon");
        QTest::newRow("column, large") << true << true << QSize(37, 6) << 46;
        QTest::newRow("column, small") << true << false << QSize(28, 6) << 34;
        QTest::newRow("row, large") << false << true << QSize(6, 35) << 46;
        QTest::newRow("row, small") << false << false << QSize(6, 26) << 34;
    }
    void stripContents()
    {
        QFETCH(bool, vertical);
        QFETCH(bool, large);
        QFETCH(QSize, separator);
        QFETCH(int, icon);
        std::unique_ptr<FloatingPanel> p(FloatingMenuController::makePanel({vertical, large, true}));
        p->show();
        FloatingMenuView* v = p->view();
        QCOMPARE(v->buttons().size(), 14);
        QCOMPARE(v->separator()->size(), separator);
        QCOMPARE(v->separator()->accessibleName(), QStringLiteral("Games"));
        for (FloatingToolButton* b : v->buttons()) {
            QCOMPARE(b->size(), QSize(icon, icon));
            QCOMPARE(b->toolTip(), b->tool().title());
        }
        // Order along the strip: grip, tools, separator, games, menu.
        QList<QWidget*> order{v->grip()};
        for (FloatingToolButton* b : v->buttons()) {
            if (b->tool() == Tool::solitaire)
                order << v->separator();
            order << b;
        }
        order << v->moreButton();
        for (int i = 1; i < order.size(); ++i) {
            const QPoint a = order[i - 1]->geometry().center(), b = order[i]->geometry().center();
            QVERIFY(vertical ? b.y() > a.y() : b.x() > a.x());
            QVERIFY(vertical ? qAbs(b.x() - a.x()) <= 1 : qAbs(b.y() - a.y()) <= 1);
        }
        QCOMPARE(v->grip()->toolTip(), QStringLiteral("Drag to move • Brindleworks by Corvandel Softworks"));
        QCOMPARE(v->moreButton()->toolTip(), QStringLiteral("More — settings, help, about"));
        QCOMPARE(v->moreButton()->accessibleName(), QStringLiteral("More options"));
    }

    void moreMenuItems()
    {
        fm().show();
        QMenu* more = fm().panel()->view()->moreMenu();
        QCOMPARE(menuTitles(more),
                 (QStringList{QStringLiteral("Settings…"), QStringLiteral("Brindleworks Help"),
                              QStringLiteral("About Brindleworks"), QStringLiteral("Visit the Corvandel Softworks Website"),
                              QStringLiteral("—"), QStringLiteral("Export My Data…"), QStringLiteral("—"),
                              QStringLiteral("Vertical Layout"), QStringLiteral("Hide Floating Menu"),
                              QStringLiteral("—"), QStringLiteral("Quit Brindleworks")}));
        // Hide keeps the panel and puts both toggles to "Show".
        FloatingPanel* p = fm().panel();
        more->findChild<QAction*>(QStringLiteral("hide"))->trigger();
        QCOMPARE(fm().panel(), p);
        QVERIFY(!p->isVisible());
        QCOMPARE(toggleTitle(), QStringLiteral("Show Floating Menu"));
        QCOMPARE(MainMenu::title(MainMenu::shared().statusToggleItem()), QStringLiteral("Show Floating Menu"));
        // Either toggle shows it again and both read "Hide".
        MainMenu::shared().statusToggleItem()->trigger();
    }

    void layoutItemFlipsTheSetting()
    {
        fm().show();
        QMenu* more = fm().panel()->view()->moreMenu();
        more->findChild<QAction*>(QStringLiteral("layout"))->trigger();
        QTRY_VERIFY(AppSettings::shared().vertical());
        QTRY_VERIFY(fm().panel() && fm().panel()->view()->options().vertical);
        QVERIFY(fm().isShowing());
        QCOMPARE(fm().panel()->view()->moreMenu()->findChild<QAction*>(QStringLiteral("layout"))->text(),
                 QStringLiteral("Horizontal Layout"));
    }

    void clickingAToolOpensIt()
    {
        fm().show();
        FloatingToolButton* b = fm().panel()->view()->button(Tool::converter);
        QTest::mouseClick(b, Qt::LeftButton);
        QWidget* w = WindowManager::shared().window(Tool::converter);
        QVERIFY(w && w->isVisible());
        QVERIFY(!fm().panel()->isActiveWindow());
        w->close();
    }

    // Where the window system offers no move, the grip follows the mouse.
    void gripMovesThePanel()
    {
        fm().show();
        FloatingPanel* p = fm().panel();
        p->move(100, 100);
        WindowDragHandle* grip = p->view()->grip();
        const QPoint start = grip->mapToGlobal(QPoint(3, 3));
        QVERIFY(grip->beginDrag(start));
        if (!grip->isFollowingMouse())
            QSKIP("the window system moves the panel itself");
        QMouseEvent move(QEvent::MouseMove, QPointF(grip->mapFromGlobal(start + QPoint(40, 25))),
                         QPointF(start + QPoint(40, 25)), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(grip, &move);
        QCOMPARE(p->pos(), QPoint(140, 125));
        QTRY_VERIFY(SettingsStore::stringValue(FloatingMenuController::frameName(false), QString())
                        .startsWith(QStringLiteral("140 125 ")));

        WindowDragHandle loose(true);
        QVERIFY(!loose.beginDrag(QPoint(1, 1)));
    }
};

QTEST_MAIN(FloatingMenuTest)
#include "tst_floatingmenu.moc"
