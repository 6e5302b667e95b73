#include "TestEnvironment.h"
#include "app/views/MainMenu.h"
#include "app/views/ResponderChain.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QVBoxLayout>
#include <QWindow>
#include <algorithm>

namespace {

// Stands in for the application delegate.
class FakeDelegate : public QObject {
    Q_OBJECT
public:
    QStringList got;
public Q_SLOTS:
    void showAbout() { got << QStringLiteral("showAbout"); }
    void showHelp() { got << QStringLiteral("showHelp"); }
    void terminate() { got << QStringLiteral("terminate"); }
};

// The keys go where a user's would: to the open menu, else to the window.
void press(QWidget* window, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWidget* popup = QApplication::activePopupWidget();
    QTest::keyClick(popup ? popup->windowHandle() : window->windowHandle(), key, modifiers);
}

QMenu* openMenu()
{
    return qobject_cast<QMenu*>(QApplication::activePopupWidget());
}

} // namespace

class MenuKeysTest : public QObject {
    Q_OBJECT
private:
    FakeDelegate m_delegate;
    int m_exports = 0;
    QMainWindow* m_window = nullptr;
    QLineEdit* m_field = nullptr;

private Q_SLOTS:
    void initTestCase()
    {
        MainMenu::shared().setDelegate(&m_delegate);
        MainMenu::shared().setExportAction([this] { ++m_exports; });
        ResponderChain::shared().addApplicationResponder(&m_delegate);
        m_window = new QMainWindow;
        m_window->setMenuBar(MainMenu::shared().build(m_window));
        auto* pane = new QWidget;
        m_field = new QLineEdit(pane);
        (new QVBoxLayout(pane))->addWidget(m_field);
        m_window->setCentralWidget(pane);
        m_window->resize(640, 300);
        m_window->show();
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window));
    }

    void cleanupTestCase() { delete m_window; }

    void init()
    {
        m_delegate.got.clear();
        m_exports = 0;
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window));
        m_field->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), m_field);
    }

    void cleanup()
    {
        while (QMenu* menu = openMenu())
            menu->close();
    }

    void openingKeys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("menu");
        QTest::newRow("F10") << int(Qt::Key_F10) << 0 << "Brindleworks";
        QTest::newRow("Alt+B") << int(Qt::Key_B) << int(Qt::AltModifier) << "Brindleworks";
        QTest::newRow("Alt+F") << int(Qt::Key_F) << int(Qt::AltModifier) << "File";
        QTest::newRow("Alt+E") << int(Qt::Key_E) << int(Qt::AltModifier) << "Edit";
        QTest::newRow("Alt+O") << int(Qt::Key_O) << int(Qt::AltModifier) << "Format";
        QTest::newRow("Alt+T") << int(Qt::Key_T) << int(Qt::AltModifier) << "Tools";
        QTest::newRow("Alt+W") << int(Qt::Key_W) << int(Qt::AltModifier) << "Window";
        QTest::newRow("Alt+H") << int(Qt::Key_H) << int(Qt::AltModifier) << "Help";
    }
    // F10 opens the first menu and Alt with a title's letter opens that
    // menu, each with an item chosen for the arrows and Return; Escape
    // hands the keyboard back to the field that had it.
    void openingKeys()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, menu);
        press(m_window, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QTRY_VERIFY(openMenu());
        QCOMPARE(openMenu()->objectName(), menu);
        // The first item that can be chosen is (none while every item of the
        // menu is disabled).
        const QList<QAction*> items = openMenu()->actions();
        const auto choosable = std::find_if(items.begin(), items.end(),
                                            [](QAction* a) { return !a->isSeparator() && a->isEnabled(); });
        QCOMPARE(openMenu()->activeAction(), choosable == items.end() ? nullptr : *choosable);
        QCOMPARE(m_window->menuBar()->activeAction(), openMenu()->menuAction());
        press(m_window, Qt::Key_Escape);
        QTRY_VERIFY(!openMenu());
        QTRY_COMPARE(QApplication::focusWidget(), m_field);
        QVERIFY(m_delegate.got.isEmpty());
    }

    void itemsWithoutKeysAreReachable_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("across");
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("command");
        const int alt = int(Qt::AltModifier);
        QTest::newRow("F10, right to File") << int(Qt::Key_F10) << 0 << 1 << "File" << "Export My Data…"
                                            << "exportData";
        QTest::newRow("F10, left round to Help") << int(Qt::Key_F10) << 0 << -1 << "Help" << "Brindleworks Help"
                                                 << "showHelp";
        QTest::newRow("Alt+E, left twice") << int(Qt::Key_E) << alt << -2 << "Brindleworks" << "About Brindleworks"
                                           << "showAbout";
    }
    // The items that have no key of their own are chosen with the arrows and
    // Return alone, and do what a click on them does; the keyboard then goes
    // back to the field.
    void itemsWithoutKeysAreReachable()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(int, across);
        QFETCH(QString, menu);
        QFETCH(QString, item);
        QFETCH(QString, command);
        press(m_window, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QTRY_VERIFY(openMenu());
        for (int i = 0; i < qAbs(across); ++i)
            press(m_window, across > 0 ? Qt::Key_Right : Qt::Key_Left);
        QTRY_VERIFY(openMenu() && openMenu()->objectName() == menu);
        QMenu* open = openMenu();
        for (int i = 0; i < 40 && MainMenu::title(open->activeAction()) != item; ++i)
            press(m_window, Qt::Key_Down);
        QCOMPARE(MainMenu::title(open->activeAction()), item);
        press(m_window, Qt::Key_Return);
        QTRY_VERIFY(!openMenu());
        QStringList got = m_delegate.got;
        if (m_exports)
            got << QStringLiteral("exportData");
        QCOMPARE(got, QStringList{command});
        QTRY_COMPARE(QApplication::focusWidget(), m_field);
    }
};

QTEST_MAIN(MenuKeysTest)
#include "tst_menukeys.moc"
