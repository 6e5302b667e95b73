#include "TestEnvironment.h"
#include "app/views/AppDelegate.h"
#include "app/views/MainMenu.h"
#include "app/views/MenuActions.h"
#include "app/views/ResponderChain.h"
#include "app/views/VEXOBWMenuTarget.h"
#include "ui/SpellingTarget.h"
#include "wordproc/views/WPDocumentController.h"
#include "wordproc/views/WPWindowController.h"

#include <QAction>
#include <QApplication>
#include <QHash>
#include <QMenu>
#include <QSet>
#include <QTest>
#include <QWidget>

namespace {

// The classes the table may name, as the program declares them.
const QHash<QString, const QMetaObject*>& handlerClasses()
{
    static const QHash<QString, const QMetaObject*> classes{
        {QStringLiteral("AppDelegate"), &AppDelegate::staticMetaObject},
        {QStringLiteral("VEXOBWMenuTarget"), &VEXOBWMenuTarget::staticMetaObject},
        {QStringLiteral("WPWindowController"), &WPWindowController::staticMetaObject},
        {QStringLiteral("WPDocumentController"), &WPDocumentController::staticMetaObject},
        {QStringLiteral("SpellingTarget"), &SpellingTarget::staticMetaObject},
    };
    return classes;
}

// A small family of classes for what a class hierarchy answers.
class Base : public QObject {
    Q_OBJECT
public Q_SLOTS:
    void copy() {}
    void toggleBullets(QAction*) {}
    void insertTable() {}
};

class HidesWithSignals : public Base {
    Q_OBJECT
Q_SIGNALS:
    void copy();
    void toggleBullets(QAction*);
};

class Redeclares : public HidesWithSignals {
    Q_OBJECT
public:
    Q_INVOKABLE void copy() {}
    Q_INVOKABLE void insertTable(QAction*) {}
    Q_INVOKABLE void alignLeft(int) {}
};

// Records which of its methods the menus called.
class Recorder : public Redeclares {
    Q_OBJECT
public:
    QString called;
    Q_INVOKABLE void copy() { called = QStringLiteral("most derived copy()"); }
    Q_INVOKABLE void insertTable(QAction*) { called = QStringLiteral("insertTable(QAction*)"); }
    Q_INVOKABLE void insertTable() { called = QStringLiteral("insertTable()"); }
};

// Every action name the menu bar and the tray menu send.
QSet<QString> menuActions()
{
    QList<QMenu*> menus = MainMenu::shared().menus();
    menus.append(MainMenu::shared().statusMenu());
    QSet<QString> names;
    for (int i = 0; i < menus.size(); ++i) {
        for (QAction* a : menus.at(i)->actions()) {
            if (a->menu())
                menus.append(a->menu());
            if (!MainMenu::actionName(a).isEmpty())
                names.insert(MainMenu::actionName(a));
        }
    }
    return names;
}

} // namespace

class ActionsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The menus send only names of the table, and every row is in use.
    void menusAndTableAgree()
    {
        const QSet<QString> sent = menuActions();
        QVERIFY(sent.size() > 50);
        for (const QString& name : sent)
            QVERIFY2(MenuActions::find(name.toLatin1().constData()), qPrintable(name));
        QSet<QString> rows;
        for (const MenuActions::Entry& e : MenuActions::table) {
            QVERIFY2(!rows.contains(QLatin1String(e.name)), e.name);
            rows.insert(QLatin1String(e.name));
        }
        QCOMPARE(rows, sent);
    }

    void everyActionHasItsHandlers_data()
    {
        QTest::addColumn<int>("row");
        for (int i = 0; i < int(std::size(MenuActions::table)); ++i)
            QTest::newRow(MenuActions::table[i].name) << i;
    }
    // Each class the table names declares the action (or the chain answers
    // it itself), and the check-mark property where there is one.
    void everyActionHasItsHandlers()
    {
        QFETCH(int, row);
        const MenuActions::Entry& e = MenuActions::table[row];
        const QString name = QLatin1String(e.name);
        int handlers = 0;
        for (const char* handler : e.handlers) {
            if (!handler)
                continue;
            ++handlers;
            if (QLatin1String(handler) == QLatin1String(MenuActions::nobody)) {
                // No class of the program may answer it, or its item would
                // promise what the desktop cannot do.
                for (const QMetaObject* meta : handlerClasses())
                    QVERIFY2(!ResponderChain::declares(*meta, name), meta->className());
                QVERIFY(!ResponderChain::answersItself(name));
                continue;
            }
            if (QLatin1String(handler) == QLatin1String(MenuActions::builtIn)) {
                QVERIFY2(ResponderChain::answersItself(name), "not answered by the chain itself");
                QVERIFY(!e.state);
                continue;
            }
            const QMetaObject* meta = handlerClasses().value(QLatin1String(handler));
            QVERIFY2(meta, handler);
            QVERIFY2(ResponderChain::declares(*meta, name), handler);
            if (e.state)
                QVERIFY2(meta->indexOfProperty(e.state) >= 0, e.state);
        }
        QVERIFY(handlers > 0);
    }

    // Commands a class declares are not mistaken for built-in ones, and a
    // name no class declares is not found by accident.
    void declarationsAreExact_data()
    {
        QTest::addColumn<QString>("handler");
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("declared");
        QTest::newRow("slot with the item") << "AppDelegate" << "openToolFromMenu" << true;
        QTest::newRow("slot without") << "AppDelegate" << "showAbout" << true;
        QTest::newRow("inherited slot") << "SpellingTarget" << "toggleGrammarChecking" << true;
        QTest::newRow("slot with the item, other class") << "WPDocumentController" << "openRecentDocument" << true;
        QTest::newRow("plain member") << "WPDocumentController" << "openOrFront" << false;
        QTest::newRow("signal") << "WPDocumentController" << "documentsChanged" << false;
        QTest::newRow("other class's") << "AppDelegate" << "saveDocument" << false;
        QTest::newRow("case matters") << "AppDelegate" << "ShowAbout" << false;
        QTest::newRow("base slot") << "Base" << "copy" << true;
        QTest::newRow("hidden by a signal") << "HidesWithSignals" << "copy" << false;
        QTest::newRow("hidden by a signal with the item") << "HidesWithSignals" << "toggleBullets" << false;
        QTest::newRow("not hidden") << "HidesWithSignals" << "insertTable" << true;
        QTest::newRow("declared again below a signal") << "Redeclares" << "copy" << true;
        QTest::newRow("still hidden further down") << "Redeclares" << "toggleBullets" << false;
        QTest::newRow("other parameters") << "Redeclares" << "alignLeft" << false;
    }
    void declarationsAreExact()
    {
        QFETCH(QString, handler);
        QFETCH(QString, action);
        QFETCH(bool, declared);
        static const QHash<QString, const QMetaObject*> family{
            {QStringLiteral("Base"), &Base::staticMetaObject},
            {QStringLiteral("HidesWithSignals"), &HidesWithSignals::staticMetaObject},
            {QStringLiteral("Redeclares"), &Redeclares::staticMetaObject},
        };
        const QMetaObject* meta = handlerClasses().value(handler, family.value(handler));
        QVERIFY(meta);
        QCOMPARE(ResponderChain::declares(*meta, action), declared);
    }

    void callsTheMethodAClassAnswersWith_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("called");
        QTest::newRow("own, with the item first") << "insertTable" << "insertTable(QAction*)";
        QTest::newRow("own over the base's") << "copy" << "most derived copy()";
        QTest::newRow("none") << "toggleBullets" << "";
    }
    // The menus reach the most derived method a class answers with, and the
    // one that receives the item before the plain one.
    void callsTheMethodAClassAnswersWith()
    {
        QFETCH(QString, action);
        QFETCH(QString, called);
        Recorder r;
        QAction item;
        QCOMPARE(ResponderChain::invoke(&r, action, &item), !called.isEmpty());
        QCOMPARE(r.called, called);
    }

    void builtInCommands_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("builtIn");
        QTest::newRow("copy") << "copy" << true;
        QTest::newRow("close") << "performClose" << true;
        QTest::newRow("zoom") << "performZoom" << true;
        QTest::newRow("bullets") << "toggleBullets" << false;
        QTest::newRow("spelling") << "checkSpelling" << false;
        QTest::newRow("unknown") << "fly" << false;
    }
    void builtInCommands()
    {
        QFETCH(QString, action);
        QFETCH(bool, builtIn);
        QCOMPARE(ResponderChain::answersItself(action), builtIn);
    }
};

QTEST_MAIN(ActionsTest)
#include "tst_actions.moc"
