#include "TestEnvironment.h"
#include "app/views/FloatingMenuController.h"
#include "app/views/MainMenu.h"
#include "app/views/ResponderChain.h"
#include "app/views/WindowManager.h"
#include "ui/FieldSpelling.h"
#include "ui/SpellLineEdit.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {

// Stands in for the application delegate: records the commands it gets.
class FakeDelegate : public QObject {
    Q_OBJECT
public:
    QStringList got;
public Q_SLOTS:
    void showAbout() { got << QStringLiteral("showAbout"); }
    void showSettings() { got << QStringLiteral("showSettings"); }
    void showHelp() { got << QStringLiteral("showHelp"); }
    void visitWebsite() { got << QStringLiteral("visitWebsite"); }
    void toggleFloatingMenu() { got << QStringLiteral("toggleFloatingMenu"); }
    void openToolFromMenu(QAction* item) { got << QStringLiteral("open ") + item->data().toString(); }
    void terminate() { got << QStringLiteral("terminate"); }
};

// A window content that answers some word-processor commands.
class DocumentPane : public QWidget {
    Q_OBJECT
public:
    QList<int> tags;
    int bullets = 0;
    bool canInsertTable = false;
    Q_INVOKABLE bool validateAction(const QString& action) const
    {
        return action != QLatin1String("insertTable") || canInsertTable;
    }
public Q_SLOTS:
    void toggleBullets() { ++bullets; }
    void insertTable() {}
    void performTextFinderAction(QAction* item) { tags << MainMenu::tag(item); }
};

QAction* find(const QString& objectName)
{
    for (QMenu* m : MainMenu::shared().menus()) {
        if (auto* a = m->findChild<QAction*>(objectName))
            return a;
        for (QAction* a : m->actions()) {
            if (a->objectName() == objectName)
                return a;
            if (a->menu()) {
                for (QAction* b : a->menu()->actions()) {
                    if (b->objectName() == objectName)
                        return b;
                }
            }
        }
    }
    return nullptr;
}

QAction* statusItem(const QString& objectName)
{
    for (QAction* a : MainMenu::shared().statusMenu()->actions()) {
        if (a->objectName() == objectName)
            return a;
    }
    return nullptr;
}

// "Title|action|keys|tag" of every item, submenus indented, "—" for a
// separator.
QStringList describe(QMenu* menu, const QString& indent = QString())
{
    QStringList lines;
    for (QAction* a : menu->actions()) {
        if (a->isSeparator()) {
            lines << indent + QStringLiteral("—");
            continue;
        }
        QString line = indent + MainMenu::title(a) + QLatin1Char('|') + MainMenu::actionName(a) + QLatin1Char('|')
            + a->shortcut().toString(QKeySequence::PortableText);
        if (MainMenu::tag(a))
            line += QLatin1Char('|') + QString::number(MainMenu::tag(a));
        lines << line;
        if (a->menu())
            lines << describe(a->menu(), indent + QStringLiteral("  "));
    }
    return lines;
}

QMainWindow* makeWindow(QWidget* content)
{
    auto* w = new QMainWindow;
    w->setMenuBar(MainMenu::shared().build(w));
    w->setCentralWidget(content);
    w->resize(400, 300);
    w->show();
    w->activateWindow();
    return w;
}

} // namespace

class MenusTest : public QObject {
    Q_OBJECT
private:
    FakeDelegate m_delegate;

private Q_SLOTS:
    void initTestCase()
    {
        MainMenu::shared().setDelegate(&m_delegate);
        ResponderChain::shared().addApplicationResponder(&m_delegate);
        MainMenu::shared().statusMenu();
    }

    void init() { m_delegate.got.clear(); }

    void menuBar()
    {
        QStringList titles;
        for (QMenu* m : MainMenu::shared().menus())
            titles << m->title();
        QCOMPARE(titles, (QStringList{"Brindleworks", "File", "Edit", "Format", "Tools", "Window", "Help"}));
        QStringList lines;
        for (QMenu* m : MainMenu::shared().menus()) {
            if (m->title() != QLatin1String("Tools"))
                lines << QStringLiteral("# ") + m->title() << describe(m);
        }
        const QStringList expected{
            "# Brindleworks",
            "About Brindleworks|showAbout|",
            "—",
            "Settings…|showSettings|Ctrl+,",
            QStringLiteral("%1|toggleFloatingMenu|Ctrl+Shift+M").arg(MainMenu::title(MainMenu::shared().appToggleItem())),
            "—",
            "Hide Brindleworks|hideApplication|Ctrl+H",
            "Hide Others|hideOtherApplications|Ctrl+Alt+H",
            "Show All|unhideAllApplications|",
            "—",
            "Quit Brindleworks|terminate|Ctrl+Q",
            "# File",
            "New Word Document|newDocument|Ctrl+N",
            "Open Document…|openDocument|Ctrl+O",
            "Open Recent||",
            "  Clear Menu|clearRecentDocuments|",
            "—",
            "Close|performClose|Ctrl+W",
            "Save|saveDocument|Ctrl+S",
            "Save As…|saveDocumentAs|Ctrl+Shift+S",
            "Revert to Saved|revertDocumentToSaved|",
            "Export as PDF…|exportPDF|Ctrl+Alt+E",
            "Export My Data…|exportData|",
            "—",
            "Page Setup…|runPageLayout|Ctrl+Shift+P",
            "Print…|printDocument|Ctrl+P",
            "# Edit",
            "Undo|undo|Ctrl+Z",
            "Redo|redo|Ctrl+Shift+Z",
            "—",
            "Cut|cut|Ctrl+X",
            "Copy|copy|Ctrl+C",
            "Paste|paste|Ctrl+V",
            "Paste and Match Style|pasteAsPlainText|Ctrl+Alt+Shift+V",
            "Delete|deleteSelection|",
            "Select All|selectAll|Ctrl+A",
            "—",
            "Find||",
            "  Find…|performTextFinderAction|Ctrl+F|1",
            "  Find and Replace…|performTextFinderAction|Ctrl+Alt+F|12",
            "  Find Next|performTextFinderAction|Ctrl+G|2",
            "  Find Previous|performTextFinderAction|Ctrl+Shift+G|3",
            "  Use Selection for Find|performTextFinderAction|Ctrl+E|7",
            "Spelling and Grammar||",
            "  Show Spelling and Grammar|showGuessPanel|Ctrl+:",
            "  Check Document Now|checkSpelling|Ctrl+;",
            "  —",
            "  Check Spelling While Typing|toggleContinuousSpellChecking|",
            "  Check Grammar With Spelling|toggleGrammarChecking|",
            "  Correct Spelling Automatically|toggleAutomaticSpellingCorrection|",
            "# Format",
            "Show Fonts|orderFrontFontPanel|Ctrl+T",
            "Bold|addFontTrait|Ctrl+B|2",
            "Italic|addFontTrait|Ctrl+I|1",
            "Underline|underline|Ctrl+U",
            "Bigger|modifyFont|Ctrl++|3",
            "Smaller|modifyFont|Ctrl+-|4",
            "Show Colors|orderFrontColorPanel|Ctrl+Shift+C",
            "—",
            "Align Left|alignLeft|Ctrl+{",
            "Center|alignCenter|Ctrl+|",
            "Justify|alignJustified|",
            "Align Right|alignRight|Ctrl+}",
            "—",
            "Bulleted List|toggleBullets|Ctrl+Shift+7",
            "Numbered List|toggleNumbers|Ctrl+Shift+8",
            "List Options…|orderFrontListPanel|",
            "Insert Table|insertTable|",
            "Table Options…|orderFrontTablePanel|",
            "Insert Image…|insertImage|Ctrl+Shift+I",
            "Header & Footer…|editHeaderFooter|",
            "# Window",
            "Minimize|performMiniaturize|Ctrl+M",
            "Zoom|performZoom|",
            "—",
            "Bring All to Front|arrangeInFront|",
            "# Help",
            "Brindleworks Help|showHelp|Ctrl+?",
            "Visit the Corvandel Softworks Website|visitWebsite|",
        };
        for (int i = 0; i < qMax(lines.size(), expected.size()); ++i)
            QCOMPARE(lines.value(i), expected.value(i));
    }

    void toolItems()
    {
        QMenu* tools = MainMenu::shared().menus().at(4);
        QStringList lines = describe(tools);
        QStringList expected;
        for (const Tool t : Tool::allCases()) {
            if (t.isGame())
                continue;
            const QString keys = t.index() < 9 ? QStringLiteral("Ctrl+Alt+%1").arg(t.index() + 1) : QString();
            expected << t.title() + QStringLiteral("|openToolFromMenu|") + keys;
        }
        expected << QStringLiteral("—") << QStringLiteral("Games||") << QStringLiteral("Solitaire|openToolFromMenu|")
                 << QStringLiteral("Bingo|openToolFromMenu|");
        QCOMPARE(lines, expected);
        QCOMPARE(describe(tools).filter(QStringLiteral("Unit Converter")).value(0),
                 QStringLiteral("Unit Converter|openToolFromMenu|"));
    }

    void statusMenu()
    {
        QStringList lines = describe(MainMenu::shared().statusMenu());
        const QString toggle = MainMenu::title(MainMenu::shared().statusToggleItem());
        QCOMPARE(lines.first(), toggle + QStringLiteral("|toggleFloatingMenu|"));
        QCOMPARE(lines.at(1), QStringLiteral("—"));
        QCOMPARE(lines.mid(2, 16), describe(MainMenu::shared().menus().at(4)));
        QCOMPARE(lines.mid(18), (QStringList{
                                    "—",
                                    "Settings…|showSettings|",
                                    "Brindleworks Help|showHelp|",
                                    "About Brindleworks|showAbout|",
                                    "Visit the Corvandel Softworks Website|visitWebsite|",
                                    "—",
                                    "Export My Data…|exportData|",
                                    "—",
                                    "Quit Brindleworks|terminate|Ctrl+Q",
                                }));
    }

    // Application items reach the delegate, with the item for the tools.
    void applicationItemsReachTheDelegate()
    {
        find(QStringLiteral("showAbout"))->trigger();
        find(QStringLiteral("tool.timeline"))->trigger();
        statusItem(QStringLiteral("status.showSettings"))->trigger();
        statusItem(QStringLiteral("status.terminate"))->trigger();
        QCOMPARE(m_delegate.got, (QStringList{"showAbout", "open timeline", "showSettings", "terminate"}));
    }

    void gamesHeadingCannotBeChosen()
    {
        QAction* heading = MainMenu::shared().statusMenu()->actions().at(15);
        QCOMPARE(heading->text(), QStringLiteral("Games"));
        QVERIFY(!heading->isEnabled());
        QSignalSpy chosen(heading, &QAction::triggered);
        heading->trigger();
        MainMenu::shared().revalidate();
        QVERIFY(!heading->isEnabled());
        QCOMPARE(chosen.count(), 0);
        QCOMPARE(MainMenu::shared().menus().at(4)->actions().at(13), heading);
    }

    // Both toggles follow the panel, whichever way it changed.
    void toggleTitlesStayInStep()
    {
        FloatingMenuController& fm = FloatingMenuController::shared();
        QAction* app = MainMenu::shared().appToggleItem();
        QAction* status = MainMenu::shared().statusToggleItem();
        MainMenu::refreshToggleTitles();
        QCOMPARE(app->text(), QStringLiteral("Show Floating Menu"));
        QCOMPARE(status->text(), QStringLiteral("Show Floating Menu"));
        fm.toggle();
        QCOMPARE(app->text(), QStringLiteral("Hide Floating Menu"));
        QCOMPARE(status->text(), QStringLiteral("Hide Floating Menu"));
        fm.hide();
        QCOMPARE(app->text(), QStringLiteral("Show Floating Menu"));
        QCOMPARE(status->text(), QStringLiteral("Show Floating Menu"));
        fm.show();
        QCOMPARE(status->text(), QStringLiteral("Hide Floating Menu"));
        fm.hide();
    }

    void everyWindowSharesTheMenus()
    {
        QMenuBar* a = MainMenu::shared().build();
        QMenuBar* b = MainMenu::shared().build();
        QCOMPARE(a->actions(), b->actions());
        QCOMPARE(a->actions().size(), 7);
        delete a;
        delete b;
    }

    void exportIsTheSameEverywhere()
    {
        int exports = 0;
        MainMenu::shared().setExportAction([&exports] { ++exports; });
        find(QStringLiteral("exportData"))->trigger();
        statusItem(QStringLiteral("status.exportData"))->trigger();
        QCOMPARE(exports, 2);
        MainMenu::shared().setExportAction({});
    }

    void editingFollowsTheFocusedInput_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("select");
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<QStringList>("enabled");
        QTest::addColumn<QStringList>("disabled");
        const QStringList all{"cut", "copy", "paste", "pasteAsPlainText", "deleteSelection", "selectAll", "undo", "redo"};
        QTest::newRow("line, selection") << "line" << true << false
                                         << QStringList{"cut", "copy", "paste", "deleteSelection", "selectAll"}
                                         << QStringList{"undo", "redo"};
        QTest::newRow("line, caret only") << "line" << false << false << QStringList{"paste", "selectAll"}
                                          << QStringList{"cut", "copy", "deleteSelection", "undo"};
        QTest::newRow("line, read-only") << "line" << true << true << QStringList{"copy", "selectAll"}
                                         << QStringList{"cut", "paste", "pasteAsPlainText", "deleteSelection"};
        QTest::newRow("plain text, selection") << "plain" << true << false
                                               << QStringList{"cut", "copy", "paste", "pasteAsPlainText"}
                                               << QStringList{"redo"};
        QTest::newRow("rich text, read-only") << "rich" << true << true << QStringList{"copy"}
                                              << QStringList{"cut", "paste", "undo"};
        QTest::newRow("no text input") << "button" << false << false << QStringList{} << all;
    }
    // Edit items reach the focused input and are enabled as it allows.
    void editingFollowsTheFocusedInput()
    {
        QFETCH(QString, kind);
        QFETCH(bool, select);
        QFETCH(bool, readOnly);
        QFETCH(QStringList, enabled);
        QFETCH(QStringList, disabled);
        QGuiApplication::clipboard()->setText(QStringLiteral("pasted"));
        auto* content = new QWidget;
        auto* layout = new QVBoxLayout(content);
        QWidget* input = nullptr;
        if (kind == QLatin1String("line")) {
            auto* e = new QLineEdit(QStringLiteral("hello world"));
            e->setReadOnly(readOnly);
            if (select)
                e->setSelection(0, 5);
            input = e;
        } else if (kind == QLatin1String("plain")) {
            auto* e = new QPlainTextEdit(QStringLiteral("hello world"));
            e->setReadOnly(readOnly);
            if (select)
                e->selectAll();
            input = e;
        } else if (kind == QLatin1String("rich")) {
            auto* e = new QTextEdit(QStringLiteral("hello world"));
            e->setReadOnly(readOnly);
            if (select)
                e->selectAll();
            input = e;
        } else {
            input = new QWidget;
            input->setFocusPolicy(Qt::StrongFocus);
        }
        layout->addWidget(input);
        QMainWindow* w = makeWindow(content);
        QVERIFY(QTest::qWaitForWindowActive(w));
        input->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), input);
        // The focus change alone brings the menus up to date.
        for (const QString& a : enabled)
            QVERIFY2(find(a)->isEnabled(), qPrintable(a));
        for (const QString& a : disabled)
            QVERIFY2(!find(a)->isEnabled(), qPrintable(a));
        if (kind == QLatin1String("line") && select && !readOnly) {
            find(QStringLiteral("copy"))->trigger();
            QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("hello"));
            find(QStringLiteral("deleteSelection"))->trigger();
            QCOMPARE(static_cast<QLineEdit*>(input)->text(), QStringLiteral(" world"));
            find(QStringLiteral("selectAll"))->trigger();
            find(QStringLiteral("cut"))->trigger();
            QCOMPARE(static_cast<QLineEdit*>(input)->text(), QString());
            QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral(" world"));
            MainMenu::shared().revalidate();
            QVERIFY(find(QStringLiteral("undo"))->isEnabled());
            find(QStringLiteral("undo"))->trigger();
            QCOMPARE(static_cast<QLineEdit*>(input)->text(), QStringLiteral(" world"));
        }
        if (kind == QLatin1String("plain") && !readOnly) {
            find(QStringLiteral("pasteAsPlainText"))->trigger();
            QCOMPARE(static_cast<QPlainTextEdit*>(input)->toPlainText(), QStringLiteral("pasted"));
        }
        delete w;
    }

    // Commands the focused content declares reach it through its ancestors;
    // nothing answering means disabled.
    void documentCommandsTravelTheChain()
    {
        auto* pane = new DocumentPane;
        auto* layout = new QVBoxLayout(pane);
        auto* text = new QTextEdit;
        layout->addWidget(text);
        QMainWindow* w = makeWindow(pane);
        QVERIFY(QTest::qWaitForWindowActive(w));
        text->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), text);
        MainMenu::shared().revalidate();
        QVERIFY(find(QStringLiteral("toggleBullets"))->isEnabled());
        QVERIFY(!find(QStringLiteral("insertTable"))->isEnabled()); // refused by validateAction
        QVERIFY(!find(QStringLiteral("toggleNumbers"))->isEnabled());
        QVERIFY(!find(QStringLiteral("saveDocument"))->isEnabled());
        QVERIFY(!find(QStringLiteral("hideOtherApplications"))->isEnabled());
        QVERIFY(!find(QStringLiteral("unhideAllApplications"))->isEnabled());
        QVERIFY(find(QStringLiteral("terminate"))->isEnabled()); // the delegate
        QVERIFY(find(QStringLiteral("performClose"))->isEnabled()); // the window
        find(QStringLiteral("toggleBullets"))->trigger();
        QCOMPARE(pane->bullets, 1);
        find(QStringLiteral("performTextFinderAction.12"))->trigger();
        find(QStringLiteral("performTextFinderAction.2"))->trigger();
        QCOMPARE(pane->tags, (QList<int>{12, 2}));
        pane->canInsertTable = true;
        MainMenu::shared().revalidate();
        QVERIFY(find(QStringLiteral("insertTable"))->isEnabled());
        QCOMPARE(ResponderChain::shared().target(QStringLiteral("copy")), text);
        QCOMPARE(ResponderChain::shared().target(QStringLiteral("toggleBullets")), pane);
        QCOMPARE(ResponderChain::shared().target(QStringLiteral("terminate")), &m_delegate);

        find(QStringLiteral("performClose"))->trigger();
        QVERIFY(!w->isVisible());
        delete w;
    }

    // The spelling items reach the focused field's checker and show its
    // switches as check marks.
    void spellingItemsFollowTheField()
    {
        auto* field = new SpellLineEdit(QStringLiteral("Teh cat"));
        QMainWindow* w = makeWindow(field);
        QVERIFY(QTest::qWaitForWindowActive(w));
        field->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), field);
        MainMenu::shared().revalidate();
        QAction* typing = find(QStringLiteral("toggleContinuousSpellChecking"));
        QAction* correct = find(QStringLiteral("toggleAutomaticSpellingCorrection"));
        QVERIFY(typing->isEnabled());
        QVERIFY(typing->isCheckable());
        QCOMPARE(typing->isChecked(), field->spelling()->continuousSpellCheckingEnabled());
        QVERIFY(!correct->isChecked()); // never on outside the word processor
        const bool before = field->spelling()->continuousSpellCheckingEnabled();
        typing->trigger();
        QCOMPARE(field->spelling()->continuousSpellCheckingEnabled(), !before);
        MainMenu::shared().revalidate();
        QCOMPARE(typing->isChecked(), !before);
        delete w;
        MainMenu::shared().revalidate();
        QVERIFY(!typing->isEnabled());
        QVERIFY(!typing->isChecked());
    }

    void withoutWindowOnlyTheApplicationAnswers()
    {
        QTRY_VERIFY(!QApplication::activeWindow());
        MainMenu::shared().revalidate();
        QVERIFY(!find(QStringLiteral("copy"))->isEnabled());
        QVERIFY(!find(QStringLiteral("performClose"))->isEnabled());
        QVERIFY(!find(QStringLiteral("performMiniaturize"))->isEnabled());
        QVERIFY(find(QStringLiteral("terminate"))->isEnabled());
        QVERIFY(!ResponderChain::shared().send(QStringLiteral("copy")));
        find(QStringLiteral("terminate"))->trigger();
        QCOMPARE(m_delegate.got, QStringList{QStringLiteral("terminate")});
    }

    // The Window menu lists the open windows, the active one checked;
    // choosing one fronts it.
    void windowMenuListsOpenWindows()
    {
        QMainWindow* a = makeWindow(new QWidget);
        a->setWindowTitle(QStringLiteral("Alpha & Co"));
        QMainWindow* b = makeWindow(new QWidget);
        b->setWindowTitle(QStringLiteral("Beta"));
        QVERIFY(QTest::qWaitForWindowActive(b));
        QMenu* window = MainMenu::shared().menus().at(5);
        auto listed = [window] {
            QStringList names;
            bool afterBringAll = false;
            for (QAction* item : window->actions()) {
                if (afterBringAll && !item->isSeparator())
                    names << MainMenu::title(item) + (item->isChecked() ? QStringLiteral(" *") : QString());
                if (MainMenu::actionName(item) == QLatin1String("arrangeInFront"))
                    afterBringAll = true;
            }
            return names;
        };
        Q_EMIT window->aboutToShow();
        QVERIFY(listed().contains(QStringLiteral("Beta *")));
        QVERIFY(listed().contains(QStringLiteral("Alpha & Co")));
        for (QAction* item : window->actions()) {
            if (MainMenu::title(item) == QLatin1String("Alpha & Co"))
                item->trigger();
        }
        QTRY_COMPARE(QApplication::activeWindow(), a);
        b->close();
        Q_EMIT window->aboutToShow();
        QVERIFY(!listed().join(QLatin1Char(',')).contains(QStringLiteral("Beta")));
        QCOMPARE(listed().count(QStringLiteral("Alpha & Co *")), 1);
        delete a;
        delete b;
        Q_EMIT window->aboutToShow();
        QVERIFY(listed().isEmpty());
    }

    // The tool shortcuts work from any window that shows the menus.
    void toolShortcutsOpenTools()
    {
        auto* fake = new FakeDelegate;
        MainMenu::shared().setDelegate(fake);
        QMainWindow* w = makeWindow(new QLineEdit);
        QVERIFY(QTest::qWaitForWindowActive(w));
        QTest::keyClick(w, Qt::Key_1, Qt::ControlModifier | Qt::AltModifier);
        QTest::keyClick(w, Qt::Key_9, Qt::ControlModifier | Qt::AltModifier);
        QCOMPARE(fake->got, (QStringList{"open calculator", "open timeline"}));
        // Quit's key is not ambiguous with the tray menu's Quit.
        QTest::keyClick(w, Qt::Key_Q, Qt::ControlModifier);
        QCOMPARE(m_delegate.got, QStringList{QStringLiteral("terminate")});
        MainMenu::shared().setDelegate(&m_delegate);
        delete w;
        delete fake;
    }
};

QTEST_MAIN(MenusTest)
#include "tst_menus.moc"
