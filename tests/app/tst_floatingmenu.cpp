#include "TestEnvironment.h"
#include "core/AppSettings.h"
#include "core/SettingsStore.h"
#include "app/views/AppDelegate.h"
#include "app/views/FloatingMenuController.h"
#include "app/views/FloatingPanel.h"
#include "app/views/FloatingToolButton.h"
#include "app/views/MainMenu.h"
#include "app/views/WindowDragHandle.h"
#include "app/views/WindowManager.h"
#include "app/views/X11Desktop.h"
#include "ui/VEXOBadge.h"

#include <QAction>
#include <QBitmap>
#include <QFontMetrics>
#include <QApplication>
#include <QMenu>
#include <QScreen>
#include <QTest>
#include <QToolButton>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>
#include <cstdlib>
#include <memory>

namespace {

FloatingMenuController& fm()
{
    return FloatingMenuController::shared();
}

QRect available()
{
    return QGuiApplication::primaryScreen()->availableGeometry();
}

QString toggleTitle()
{
    return MainMenu::title(MainMenu::shared().appToggleItem());
}

xcb_connection_t* x11()
{
    return qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
}

xcb_atom_t atom(const char* name)
{
    xcb_intern_atom_reply_t* r = xcb_intern_atom_reply(x11(), xcb_intern_atom(x11(), 0, quint16(qstrlen(name)), name), nullptr);
    const xcb_atom_t a = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(r);
    return a;
}

// Whether the window's state, as the X server holds it, keeps it above.
bool keptAbove(QWidget* w)
{
    xcb_get_property_reply_t* r = xcb_get_property_reply(
        x11(), xcb_get_property(x11(), 0, xcb_window_t(w->windowHandle()->winId()), atom("_NET_WM_STATE"),
                                XCB_ATOM_ATOM, 0, 32),
        nullptr);
    bool above = false;
    if (r && r->format == 32) {
        const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(r));
        for (int i = 0; i < xcb_get_property_value_length(r) / 4; ++i)
            above = above || atoms[i] == atom("_NET_WM_STATE_ABOVE");
    }
    std::free(r);
    return above;
}

// Whether a window manager says it runs (it keeps the level of windows).
bool windowManagerRuns()
{
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x11())).data->root;
    xcb_get_property_reply_t* r = xcb_get_property_reply(
        x11(), xcb_get_property(x11(), 0, root, atom("_NET_SUPPORTING_WM_CHECK"), XCB_ATOM_WINDOW, 0, 1), nullptr);
    const bool runs = r && xcb_get_property_value_length(r) == 4;
    std::free(r);
    return runs;
}

bool mapped(QWidget* w)
{
    xcb_get_window_attributes_reply_t* r = xcb_get_window_attributes_reply(
        x11(), xcb_get_window_attributes(x11(), xcb_window_t(w->windowHandle()->winId())), nullptr);
    const bool viewable = r && r->map_state == XCB_MAP_STATE_VIEWABLE;
    std::free(r);
    return viewable;
}

} // namespace

class FloatingMenuTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        AppDelegate::connectShell();
        MainMenu::shared().statusMenu();
    }

    // The panel is laid out, and shown, before any font is loaded: the
    // badge and the caption have fixed sizes. They are what the faces
    // measure.
    void fixedSizesAreWhatTheFacesMeasure_data()
    {
        QTest::addColumn<bool>("small");
        QTest::newRow("small badge") << true;
        QTest::newRow("large badge") << false;
    }
    void fixedSizesAreWhatTheFacesMeasure()
    {
        QFETCH(bool, small);
        const QFontMetricsF fm(VEXOBadge::letterFont(small));
        const QSize measured(qCeil(fm.horizontalAdvance(QStringLiteral("VEXO")) + 2 * (small ? 6 : 8)),
                             qCeil(fm.height() + 2 * (small ? 2 : 3)));
        QCOMPARE(VEXOBadge::designSize(small), measured);
        QCOMPARE(VEXOBadge(small).sizeHint(), measured);
        const QFontMetrics caption(FloatingMenuView::captionFont());
        QCOMPARE(FloatingMenuView::captionHeight, caption.height() + 4);
        // The row is wider than the credit, which therefore never widens it.
        const FloatingMenuView row({false, false, true});
        QVERIFY(row.sizeHint().width() > caption.horizontalAdvance(FloatingMenuView::defaultCaption()));
    }

    // The panel takes its size from the parts' fixed sizes before its
    // content is made: that is the size the content lays itself out to.
    void naturalSizeIsTheLaidOutSize_data()
    {
        QTest::addColumn<bool>("vertical");
        QTest::addColumn<bool>("large");
        QTest::addColumn<bool>("labels");
        for (const bool vertical : {false, true}) {
            for (const bool large : {false, true}) {
                for (const bool labels : {false, true})
                    QTest::addRow("%s%s%s", vertical ? "column" : "row", large ? "" : ", small",
                                  labels ? ", labels" : "")
                        << vertical << large << labels;
            }
        }
    }
    void naturalSizeIsTheLaidOutSize()
    {
        QFETCH(bool, vertical);
        QFETCH(bool, large);
        QFETCH(bool, labels);
        const FloatingMenuView::Options options{vertical, large, labels};
        const FloatingMenuView view(options);
        QCOMPARE(view.moreButton()->size(), view.moreButton()->sizeHint());
        QCOMPARE(FloatingMenuView::naturalSize(options), view.sizeHint());
        // Made but never shown, the panel has no content yet; made when it
        // shows, the content fills it.
        FloatingPanel panel(options, false);
        QCOMPARE(panel.size(), view.sizeHint());
        QVERIFY(!panel.hasView());
        panel.show();
        QVERIFY(panel.hasView());
        QVERIFY(panel.view()->isVisible());
        QCOMPARE(panel.view()->geometry(), panel.rect());
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

    // The panel is built once and then hidden and shown; both toggles follow.
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
        QCOMPARE(MainMenu::title(MainMenu::shared().statusToggleItem()), QStringLiteral("Hide Floating Menu"));
        QCOMPARE(fm().buildCount(), builds + 1);
    }

    // A change of layout drops a hidden panel, and a rebuild without a panel
    // builds nothing; the next show builds it anew.
    void rebuildOfAHiddenPanelDropsIt()
    {
        fm().show();
        fm().hide();
        AppSettings::shared().setVertical(true); // rebuilds
        QVERIFY(!fm().panel());
        QCOMPARE(toggleTitle(), QStringLiteral("Show Floating Menu"));
        const int builds = fm().buildCount();
        fm().rebuild();
        QVERIFY(!fm().panel());
        QCOMPARE(fm().buildCount(), builds);
        fm().toggle();
        QVERIFY(fm().panel()->view()->options().vertical);
        QVERIFY(fm().isShowing());
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

    // The panel never takes the focus from the window the user works in.
    void panelTakesNoFocus()
    {
        fm().show();
        FloatingPanel* p = fm().panel();
        QVERIFY(p->windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus));
        QVERIFY(p->testAttribute(Qt::WA_ShowWithoutActivating));
        QVERIFY(!p->isActiveWindow());
        for (QWidget* w : p->findChildren<QWidget*>()) {
            if (!qobject_cast<QMenu*>(w))
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
        const QString idle = v->captionText();
        v->toolEntered(Tool::calculator);
        v->toolEntered(Tool::scientific);
        v->toolLeft(Tool::calculator);
        QCOMPARE(v->hovered(), std::optional<Tool>(Tool::scientific));
        QCOMPARE(v->captionText(), QStringLiteral("Scientific Calculator"));
        QCOMPARE(v->button(Tool::calculator)->targetScale(), 1.0);
        QTRY_COMPARE(v->button(Tool::scientific)->scale(), FloatingToolButton::hoverScale);
        v->toolLeft(Tool::scientific);
        QCOMPARE(v->hovered(), std::nullopt);
        QCOMPARE(v->captionText(), idle);
        QTRY_COMPARE(v->button(Tool::scientific)->scale(), 1.0);
    }

    // Along the strip: grip, the twelve tools, the separator, the two games,
    // then the menu. The caption shows only in the row with labels, which is
    // taller for it.
    void strip_data()
    {
        QTest::addColumn<bool>("vertical");
        QTest::addColumn<bool>("labels");
        QTest::newRow("row with labels") << false << true;
        QTest::newRow("row without labels") << false << false;
        QTest::newRow("column with labels") << true << true;
        QTest::newRow("column without labels") << true << false;
    }
    void strip()
    {
        QFETCH(bool, vertical);
        QFETCH(bool, labels);
        std::unique_ptr<FloatingPanel> with(FloatingMenuController::makePanel({vertical, true, true}));
        std::unique_ptr<FloatingPanel> p(FloatingMenuController::makePanel({vertical, true, labels}));
        p->show();
        FloatingMenuView* v = p->view();
        QCOMPARE(v->showsCaption(), !vertical && labels);
        if (!vertical && !labels)
            QVERIFY(p->height() < with->height());
        else
            QCOMPARE(p->size(), with->size());
        QCOMPARE(v->buttons().size(), 14);
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
    }

    // The menu's layout item flips the setting; its Hide keeps the panel and
    // puts both toggles to "Show".
    void moreMenuItems()
    {
        fm().show();
        fm().panel()->view()->moreMenu()->findChild<QAction*>(QStringLiteral("layout"))->trigger();
        QTRY_VERIFY(AppSettings::shared().vertical());
        QTRY_VERIFY(fm().panel() && fm().panel()->view()->options().vertical);
        QMenu* more = fm().panel()->view()->moreMenu();
        QCOMPARE(more->findChild<QAction*>(QStringLiteral("layout"))->text(), QStringLiteral("Horizontal Layout"));
        FloatingPanel* p = fm().panel();
        more->findChild<QAction*>(QStringLiteral("hide"))->trigger();
        QCOMPARE(fm().panel(), p);
        QVERIFY(!p->isVisible());
        QCOMPARE(toggleTitle(), QStringLiteral("Show Floating Menu"));
        QCOMPARE(MainMenu::title(MainMenu::shared().statusToggleItem()), QStringLiteral("Show Floating Menu"));
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

    // Without a compositing manager the window is cut to its capsule or
    // rounded column: no corner of the window shows, all of the middle does.
    void shapeWithoutCompositing_data()
    {
        QTest::addColumn<bool>("vertical");
        QTest::addColumn<bool>("large");
        QTest::newRow("row") << false << true;
        QTest::newRow("small row") << false << false;
        QTest::newRow("column") << true << true;
    }
    void shapeWithoutCompositing()
    {
        QFETCH(bool, vertical);
        QFETCH(bool, large);
        AppSettings::shared().setVertical(vertical);
        AppSettings::shared().setLargeButtons(large);
        fm().show();
        FloatingPanel* p = fm().panel();
        QVERIFY(p);
        p->applyShape(false);
        const QRegion mask = p->mask();
        QVERIFY(!mask.isEmpty());
        const QRect r = p->rect();
        for (const QPoint corner : {r.topLeft(), r.topRight(), r.bottomLeft(), r.bottomRight(),
                                    r.topLeft() + QPoint(9, 9), r.bottomRight() - QPoint(9, 9)})
            QVERIFY2(!mask.contains(corner), qPrintable(QStringLiteral("%1,%2").arg(corner.x()).arg(corner.y())));
        // The outer padding is see-through; the surface inside is whole.
        const QRect surface = r.adjusted(8, 8, -8, -8);
        const int radius = vertical ? (large ? 31 : 25) : surface.height() / 2;
        const QRect core = surface.adjusted(radius, 2, -radius, -2);
        QCOMPARE(mask.intersected(core), QRegion(core));
        const QRect band = surface.adjusted(2, radius, -2, -radius);
        QCOMPARE(mask.intersected(band), QRegion(band));
        // Shaped again and again (each show, each change of level), the
        // panel keeps the same whole shape.
        for (int round = 0; round < 3; ++round) {
            fm().hide();
            fm().show();
            p->applyShape(false);
            QCOMPARE(p->mask(), mask);
            fm().applyLevel(round % 2 == 0 ? false : true);
            p->applyShape(false);
            QCOMPARE(p->mask(), mask);
        }
        // With a compositor the window is whole again.
        p->applyShape(true);
        QVERIFY(p->mask().isEmpty());
    }

    // Shown for the first time, the panel ends up cut to its whole shape
    // where no compositor runs (never to the pixel it is mapped with), and
    // not cut at all where one does.
    void firstShowIsShaped()
    {
        fm().show();
        FloatingPanel* p = fm().panel();
        QVERIFY(p && p->isVisible());
        if (X11Desktop::compositing())
            QVERIFY(p->mask().isEmpty());
        else
            QCOMPARE(p->mask(), p->opaqueRegion());
    }

    // A launch shapes the panel before it is first shown: the shape is
    // already that of the whole surface, the same as once it is on screen.
    void shapeBeforeFirstShow_data()
    {
        QTest::addColumn<bool>("vertical");
        QTest::newRow("row") << false;
        QTest::newRow("column") << true;
    }
    void shapeBeforeFirstShow()
    {
        QFETCH(bool, vertical);
        const FloatingMenuView::Options options{vertical, true, true};
        const std::unique_ptr<FloatingPanel> before(FloatingMenuController::makePanel(options));
        before->applyShape(false);
        const std::unique_ptr<FloatingPanel> shown(FloatingMenuController::makePanel(options));
        shown->show();
        shown->applyShape(false);
        QCOMPARE(before->mask(), shown->mask());
        QCOMPARE(before->mask().boundingRect(), before->rect().adjusted(8, 8, -8, -8));
    }

    // The shape is cut from the surface alone: nothing drawn on the panel
    // (icons, grip, badge, caption) may reach past it, or it would be cut
    // off without a compositor.
    void shapeHoldsEverythingDrawn_data()
    {
        QTest::addColumn<bool>("vertical");
        QTest::addColumn<bool>("large");
        QTest::addColumn<bool>("labels");
        QTest::newRow("row with caption") << false << true << true;
        QTest::newRow("small row with caption") << false << false << true;
        QTest::newRow("row") << false << true << false;
        QTest::newRow("column") << true << true << false;
        QTest::newRow("small column") << true << false << false;
    }
    void shapeHoldsEverythingDrawn()
    {
        QFETCH(bool, vertical);
        QFETCH(bool, large);
        QFETCH(bool, labels);
        AppSettings::shared().setVertical(vertical);
        AppSettings::shared().setLargeButtons(large);
        AppSettings::shared().setShowLabels(labels);
        fm().show();
        FloatingPanel* p = fm().panel();
        QVERIFY(p);
        p->applyShape(false);
        QImage drawn(p->size(), QImage::Format_ARGB32_Premultiplied);
        drawn.fill(Qt::transparent);
        p->view()->render(&drawn, p->view()->pos(), QRegion(), QWidget::DrawChildren);
        const QRegion everything(QBitmap::fromImage(drawn.createAlphaMask(Qt::ThresholdAlphaDither | Qt::MonoOnly)));
        QCOMPARE(p->mask(), everything);
        p->applyShape(true);
    }

    // On X11 the panel asks to be on every desktop, and still is after its
    // level changes (which makes its native window anew).
    void everyDesktopAfterLevelChanges()
    {
        if (!X11Desktop::isX11())
            QSKIP("needs an X server");
        fm().show();
        FloatingPanel* p = fm().panel();
        QVERIFY(QTest::qWaitForWindowExposed(p));
        for (const bool onTop : {false, true, false}) {
            fm().applyLevel(onTop);
            QVERIFY(p->isVisible());
            QTRY_COMPARE(X11Desktop::desktopOf(p), std::optional<quint32>(0xFFFFFFFF));
        }
        fm().hide();
        fm().show();
        QTRY_COMPARE(X11Desktop::desktopOf(p), std::optional<quint32>(0xFFFFFFFF));
    }

    // The window manager hears of each change of level while the panel is
    // shown, and the panel stays shaped and on screen.
    void levelReachesTheWindowManager()
    {
        if (!X11Desktop::isX11() || !windowManagerRuns())
            QSKIP("needs an X server with a window manager");
        fm().show();
        FloatingPanel* p = fm().panel();
        QVERIFY(QTest::qWaitForWindowExposed(p));
        for (const bool onTop : {false, true, false, true}) {
            fm().applyLevel(onTop);
            QTRY_COMPARE(keptAbove(p), onTop);
            QVERIFY(mapped(p));
        }
    }

    void displayScreen_data()
    {
        QTest::addColumn<QString>("display");
        QTest::addColumn<int>("screen");
        QTest::newRow("plain") << ":0" << 0;
        QTest::newRow("second screen") << ":0.1" << 1;
        QTest::newRow("remote host") << "host.example:10.2" << 2;
        QTest::newRow("unix socket path") << "/tmp/.X11-unix/X1:1.3" << 3;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("garbage screen") << ":0.x" << 0;
        QTest::newRow("negative") << ":0.-4" << 0;
    }
    void displayScreen()
    {
        QFETCH(QString, display);
        QFETCH(int, screen);
        QCOMPARE(X11Desktop::screenOfDisplay(display), screen);
        QCOMPARE(X11Desktop::compositingSelection(screen), QStringLiteral("_NET_WM_CM_S%1").arg(screen));
    }

    // Off X11 there is nothing to ask: translucency is taken as working and
    // the desktop request does nothing.
    void offX11()
    {
        QVERIFY(!X11Desktop::isX11());
        QVERIFY(X11Desktop::compositing());
        fm().show();
        X11Desktop::showOnAllDesktops(fm().panel());
        QVERIFY(fm().panel()->mask().isEmpty());
    }
};

QTEST_MAIN(FloatingMenuTest)
#include "tst_floatingmenu.moc"
