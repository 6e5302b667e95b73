#include "TestEnvironment.h"
#include "core/SettingsStore.h"
#include "app/views/ShellServices.h"
#include "app/views/WindowManager.h"
#include "ui/ToolScaffold.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

namespace {

QRect available()
{
    return QGuiApplication::primaryScreen()->availableGeometry();
}

QSize contentSize(QWidget* window)
{
    return WindowManager::contentArea(window)->size();
}

} // namespace

class WindowManagerTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void oneWindowPerTool_data()
    {
        QTest::addColumn<int>("tool");
        for (const Tool t : Tool::allCases()) {
            if (t != Tool::wordProcessor)
                QTest::newRow(qPrintable(t.rawValue())) << t.index();
        }
    }
    // The second open fronts the first window, also after it was closed;
    // the window is made with the tool's title and default content size
    // (widened where the view needs more room).
    void oneWindowPerTool()
    {
        QFETCH(int, tool);
        const Tool t = Tool::allCases().at(tool);
        WindowManager& wm = WindowManager::shared();
        QVERIFY(!wm.window(t));
        QWidget* w = wm.open(t);
        QVERIFY(w);
        QCOMPARE(wm.window(t), w);
        QVERIFY(w->isVisible());
        QCOMPARE(w->windowTitle(), t.title() + QStringLiteral(" — Brindleworks by VEXO"));
        auto* scaffold = qobject_cast<ToolScaffold*>(WindowManager::contentArea(w));
        QVERIFY(scaffold);
        QCOMPARE(scaffold->tool(), t);
        // Exactly the default size; a view that needs more room scrolls.
        QCOMPARE(contentSize(w), *t.defaultSize());
        QMenuBar* bar = qobject_cast<QMainWindow*>(w)->menuBar();
        QVERIFY(bar);
        // Every menu of the bar is in reach at the default width.
        auto* more = bar->findChild<QWidget*>(QStringLiteral("qt_menubar_ext_button"));
        QVERIFY2(!more || more->isHidden(), "menus hidden behind the overflow button");
        // At its own size the whole view is in sight; at the smallest size
        // it scrolls instead of holding the window larger.
        auto* scroll = w->findChild<QScrollArea*>(QStringLiteral("toolScroll"));
        QVERIFY(scroll);
        QTest::qWait(20);
        QVERIFY2(!scroll->horizontalScrollBar()->isVisible() && !scroll->verticalScrollBar()->isVisible(),
                     qPrintable(QStringLiteral("%1 needs %2 × %3").arg(t.rawValue()).arg(scroll->widget()->minimumSizeHint().width()).arg(scroll->widget()->minimumSizeHint().height())));
        const int barHeight = bar->sizeHint().height();
        w->resize(100, 80); // held at the minimum content size
        QCOMPARE(contentSize(w), QSize(320, 300));
        QCOMPARE(w->size(), QSize(320, 300 + barHeight));
        QCOMPARE(scroll->widget()->size().expandedTo(scroll->widget()->minimumSizeHint()), scroll->widget()->size());

        QCOMPARE(wm.open(t), w);
        w->close();
        QVERIFY(!w->isVisible());
        QCOMPARE(wm.open(t), w);
        QVERIFY(w->isVisible());
        QCOMPARE(wm.window(t), w);
        w->close();
    }

    void firstFocusIsNoButton_data() { oneWindowPerTool_data(); }
    // A new window does not start with a push button focused: Space or
    // Return typed into a window just opened must not press its first
    // button (a second sticky note, a cleared list).
    void firstFocusIsNoButton()
    {
        QFETCH(int, tool);
        const Tool t = Tool::allCases().at(tool);
        for (int round = 0; round < 2; ++round) { // first opening, then reopening
            QWidget* w = WindowManager::shared().open(t);
            QVERIFY(QTest::qWaitForWindowActive(w));
            QWidget* focus = QApplication::focusWidget();
            QVERIFY2(!qobject_cast<QAbstractButton*>(focus),
                     qPrintable(focus ? QString::fromLatin1(focus->metaObject()->className()) : QString()));
            w->close();
        }
    }

    // What the user typed survives closing and reopening.
    void closedWindowKeepsItsState()
    {
        QWidget* w = WindowManager::shared().open(Tool::calculator);
        auto* typed = new QLineEdit(WindowManager::contentArea(w));
        typed->setText(QStringLiteral("12.5"));
        w->close();
        QWidget* again = WindowManager::shared().open(Tool::calculator);
        QCOMPARE(again, w);
        QCOMPARE(typed->text(), QStringLiteral("12.5"));
        delete typed;
        w->close();
    }

    void extraWindows_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("resizable");
        QTest::addColumn<QSize>("minimum");
        QTest::newRow("settings") << "t-settings" << QSize(560, 620) << true << QSize(320, 300);
        QTest::newRow("about, fixed") << "t-about" << QSize(460, 470) << false << QSize(320, 300);
        QTest::newRow("narrow and tall") << "t-narrow" << QSize(250, 500) << true << QSize(250, 300);
    }
    void extraWindows()
    {
        QFETCH(QString, key);
        QFETCH(QSize, size);
        QFETCH(bool, resizable);
        QFETCH(QSize, minimum);
        int made = 0;
        auto make = [&made] {
            ++made;
            return new QWidget;
        };
        WindowManager& wm = WindowManager::shared();
        QWidget* w = wm.openExtra(key, QStringLiteral("Extra"), size, make, resizable);
        QCOMPARE(w->windowTitle(), QStringLiteral("Extra — Brindleworks by VEXO"));
        QCOMPARE(contentSize(w), size);
        QCOMPARE(WindowManager::contentArea(w)->minimumSize(), minimum);
        QCOMPARE(w->minimumSize() == w->maximumSize(), !resizable);
        w->close();
        QCOMPARE(wm.openExtra(key, QStringLiteral("Other"), QSize(900, 900), make, true), w);
        QCOMPARE(made, 1);
        QCOMPARE(w->windowTitle(), QStringLiteral("Extra — Brindleworks by VEXO"));
        QCOMPARE(wm.extraWindow(key), w);
        w->close();
    }

    void frameIsSavedAndRestored_data()
    {
        QTest::addColumn<bool>("open");
        QTest::newRow("on closing") << false;
        QTest::newRow("while open") << true;
    }
    // No saved frame: centred. A frame saved by one window, on closing or as
    // it moves, is restored by the next window made under that name (the
    // next run).
    void frameIsSavedAndRestored()
    {
        QFETCH(bool, open);
        const QString key = open ? QStringLiteral("t-frame-open") : QStringLiteral("t-frame-closed");
        WindowManager& wm = WindowManager::shared();
        QWidget* w = wm.openExtra(key, QStringLiteral("A"), QSize(420, 340), {}, true);
        QVERIFY(qAbs(w->geometry().center().x() - available().center().x()) <= 2);
        QVERIFY(qAbs(w->geometry().center().y() - available().center().y()) <= 2);
        const QString before = SettingsStore::stringValue(WindowManager::frameName(key), QString());
        w->setGeometry(40, 50, 500, 400);
        if (!open)
            w->close();
        QTRY_VERIFY(SettingsStore::stringValue(WindowManager::frameName(key), QString()) != before);
        // The same text under another name stands for a later run.
        const QString later = key + QStringLiteral("-later");
        SettingsStore::settings().setValue(WindowManager::frameName(later),
                                           SettingsStore::stringValue(WindowManager::frameName(key), QString()));
        QWidget* next = wm.openExtra(later, QStringLiteral("B"), QSize(420, 340), {}, true);
        QCOMPARE(next->geometry(), QRect(40, 50, 500, 400));
        w->close();
        next->close();
    }

    void unreadableFrameIsIgnored_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("not base64") << "%%%%";
        QTest::newRow("not a frame") << "aGVsbG8gd29ybGQ=";
        QTest::newRow("empty") << "";
    }
    void unreadableFrameIsIgnored()
    {
        QFETCH(QString, text);
        static int n = 0;
        const QString key = QStringLiteral("t-bad-%1").arg(++n);
        SettingsStore::settings().setValue(WindowManager::frameName(key), text);
        QWidget* w = WindowManager::shared().openExtra(key, QStringLiteral("Bad"), QSize(400, 320), {}, true);
        QCOMPARE(contentSize(w), QSize(400, 320));
        QVERIFY(qAbs(w->geometry().center().x() - available().center().x()) <= 2);
        w->close();
    }

    // The word processor opens through its documents when they exist and
    // then makes no tool window; without them its scaffold shows alone.
    void wordProcessorGoesThroughItsDocuments()
    {
        WindowManager& wm = WindowManager::shared();
        int fronted = 0;
        ShellServices::shared().openOrFrontWordDocument = [&fronted] { ++fronted; };
        wm.open(Tool::wordProcessor);
        wm.open(Tool::wordProcessor);
        QCOMPARE(fronted, 2);
        QVERIFY(!wm.window(Tool::wordProcessor));

        ShellServices::shared().openOrFrontWordDocument = nullptr;
        QWidget* w = wm.open(Tool::wordProcessor);
        QCOMPARE(wm.window(Tool::wordProcessor), w);
        auto* scaffold = qobject_cast<ToolScaffold*>(WindowManager::contentArea(w));
        QVERIFY(scaffold);
        QCOMPARE(scaffold->tool(), Tool::wordProcessor);
        w->close();
    }
};

QTEST_MAIN(WindowManagerTest)
#include "tst_windowmanager.moc"
