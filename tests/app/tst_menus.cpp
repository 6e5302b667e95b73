#include "TestEnvironment.h"
#include "app/views/FloatingMenuController.h"
#include "app/views/MainMenu.h"
#include "app/views/MenuActions.h"
#include "app/views/ResponderChain.h"
#include "app/views/ShellServices.h"
#include "calc/ScientificModel.h"
#include "calc/views/FitLabel.h"
#include "calc/views/ScientificView.h"
#include "ui/FieldSpelling.h"
#include "ui/SpellLineEdit.h"
#include "wordproc/views/WPDocumentController.h"
#include "wordproc/views/WPWindowController.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
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
    mutable int tableChecks = 0;
    Q_INVOKABLE bool validateAction(const QString& action) const
    {
        if (action == QLatin1String("insertTable"))
            ++tableChecks;
        return action != QLatin1String("insertTable") || canInsertTable;
    }
public Q_SLOTS:
    void toggleBullets() { ++bullets; }
    void insertTable() {}
    void performTextFinderAction(QAction* item) { tags << MainMenu::tag(item); }
};

// The item of that object name in the given menus or their submenus.
QAction* find(const QString& objectName, QList<QMenu*> menus = MainMenu::shared().menus())
{
    for (int i = 0; i < menus.size(); ++i) {
        for (QAction* a : menus.at(i)->actions()) {
            if (a->objectName() == objectName)
                return a;
            if (a->menu())
                menus.append(a->menu());
        }
    }
    return nullptr;
}

QAction* statusItem(const QString& objectName)
{
    return find(objectName, {MainMenu::shared().statusMenu()});
}

// "Title|action|keys" of every item of a menu, "—" for a separator.
QStringList describe(QMenu* menu)
{
    QStringList lines;
    for (QAction* a : menu->actions())
        lines << (a->isSeparator() ? QStringLiteral("—")
                                   : MainMenu::title(a) + QLatin1Char('|') + MainMenu::actionName(a) + QLatin1Char('|')
                                         + a->shortcut().toString(QKeySequence::PortableText));
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

    // The tray menu: its toggle, the Tools menu's items, and Quit last.
    void statusMenu()
    {
        const QStringList status = describe(MainMenu::shared().statusMenu());
        const QStringList tools = describe(MainMenu::shared().menus().at(4));
        QCOMPARE(status.first(), MainMenu::title(MainMenu::shared().statusToggleItem()) + "|toggleFloatingMenu|");
        QCOMPARE(status.mid(2, tools.size()), tools);
        QCOMPARE(status.mid(2 + tools.size()),
                 (QStringList{"—", "Settings…|showSettings|", "Brindleworks Help|showHelp|",
                              "About Brindleworks|showAbout|", MainMenu::websiteTitle() + "|visitWebsite|", "—",
                              "Export My Data…|exportData|", "—", "Quit Brindleworks|terminate|Ctrl+Q"}));
    }

    // The items whose tag or Ctrl/Alt key carries meaning.
    void keysAndTags_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("tag");
        QTest::newRow("find") << "performTextFinderAction.1" << "Ctrl+F" << 1;
        QTest::newRow("find and replace") << "performTextFinderAction.12" << "Ctrl+Alt+F" << 12;
        QTest::newRow("use selection") << "performTextFinderAction.7" << "Ctrl+E" << 7;
        QTest::newRow("bold") << "addFontTrait.2" << "Ctrl+B" << 2;
        QTest::newRow("italic") << "addFontTrait.1" << "Ctrl+I" << 1;
        QTest::newRow("bigger") << "modifyFont.3" << "Ctrl++" << 3;
        QTest::newRow("paste and match style") << "pasteAsPlainText" << "Ctrl+Alt+Shift+V" << 0;
        QTest::newRow("first tool") << "tool.calculator" << "Ctrl+Alt+1" << 0;
        QTest::newRow("ninth tool") << "tool.timeline" << "Ctrl+Alt+9" << 0;
        QTest::newRow("tenth tool has none") << "tool.converter" << "" << 0;
        QTest::newRow("games have none") << "tool.solitaire" << "" << 0;
    }
    void keysAndTags()
    {
        QFETCH(QString, item);
        QFETCH(QString, keys);
        QFETCH(int, tag);
        QAction* a = find(item);
        QVERIFY(a);
        QCOMPARE(a->shortcut().toString(QKeySequence::PortableText), keys);
        QCOMPARE(MainMenu::tag(a), tag);
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
        QAction* heading = find(QStringLiteral("gamesHeading"));
        QSignalSpy chosen(heading, &QAction::triggered);
        heading->trigger();
        MainMenu::shared().revalidate();
        QVERIFY(!heading->isEnabled());
        QCOMPARE(chosen.count(), 0);
    }

    void everyWindowSharesTheMenus()
    {
        std::unique_ptr<QMenuBar> a(MainMenu::shared().build());
        std::unique_ptr<QMenuBar> b(MainMenu::shared().build());
        QCOMPARE(a->actions(), b->actions());
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
        QTest::newRow("line, selection") << "line" << true << false
                                         << QStringList{"cut", "copy", "paste", "deleteSelection", "selectAll"}
                                         << QStringList{"undo", "redo"};
        QTest::newRow("line, caret only") << "line" << false << false << QStringList{"paste", "selectAll"}
                                          << QStringList{"cut", "copy", "deleteSelection"};
        QTest::newRow("line, read-only") << "line" << true << true << QStringList{"copy", "selectAll"}
                                         << QStringList{"cut", "paste", "pasteAsPlainText", "deleteSelection"};
        QTest::newRow("plain text, selection") << "plain" << true << false
                                               << QStringList{"cut", "copy", "paste", "pasteAsPlainText"}
                                               << QStringList{"redo"};
        QTest::newRow("no text input") << "button" << false << false << QStringList{}
                                       << QStringList{"cut", "copy", "paste", "pasteAsPlainText", "selectAll", "undo"};
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
        auto* line = kind == QLatin1String("line") ? new QLineEdit(QStringLiteral("hello world")) : nullptr;
        auto* plain = kind == QLatin1String("plain") ? new QPlainTextEdit(QStringLiteral("hello world")) : nullptr;
        QWidget* input = line ? static_cast<QWidget*>(line) : plain ? static_cast<QWidget*>(plain) : new QWidget;
        input->setFocusPolicy(Qt::StrongFocus);
        if (line) {
            line->setReadOnly(readOnly);
            if (select)
                line->setSelection(0, 5);
        } else if (plain) {
            plain->setReadOnly(readOnly);
            if (select)
                plain->selectAll();
        }
        QMainWindow* w = makeWindow(input);
        QVERIFY(QTest::qWaitForWindowActive(w));
        input->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), input);
        // The focus change alone brings the menus up to date, once control
        // is back in the event loop.
        QCoreApplication::processEvents();
        for (const QString& a : enabled)
            QVERIFY2(find(a)->isEnabled(), qPrintable(a));
        for (const QString& a : disabled)
            QVERIFY2(!find(a)->isEnabled(), qPrintable(a));
        if (line && select && !readOnly) {
            find(QStringLiteral("copy"))->trigger();
            QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("hello"));
            find(QStringLiteral("deleteSelection"))->trigger();
            QCOMPARE(line->text(), QStringLiteral(" world"));
            MainMenu::shared().revalidate();
            QVERIFY(find(QStringLiteral("undo"))->isEnabled());
            find(QStringLiteral("undo"))->trigger();
            QCOMPARE(line->text(), QStringLiteral("hello world"));
        }
        if (plain && !readOnly) {
            find(QStringLiteral("pasteAsPlainText"))->trigger();
            QCOMPARE(plain->toPlainText(), QStringLiteral("pasted"));
        }
        delete w;
    }

    void pasteFollowsTheClipboard_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<bool>("pastable");
        QTest::newRow("plain text") << "text/plain" << true;
        QTest::newRow("web page text") << "text/html" << true;
        QTest::newRow("links") << "text/uri-list" << true;
        QTest::newRow("picture only") << "image/png" << false;
        QTest::newRow("private data") << "application/x-brindleworks-test" << false;
        QTest::newRow("empty") << "" << false;
    }
    // Paste is offered for whatever the field can take as text, and follows
    // each change of the clipboard while the focus stays put.
    void pasteFollowsTheClipboard()
    {
        QFETCH(QString, format);
        QFETCH(bool, pastable);
        auto* line = new QLineEdit(QStringLiteral("hello"));
        QMainWindow* w = makeWindow(line);
        QVERIFY(QTest::qWaitForWindowActive(w));
        line->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), line);
        for (const bool before : {true, false}) {
            // Every case follows both a pastable and an unpastable clipboard.
            if (before)
                QGuiApplication::clipboard()->setText(QStringLiteral("x"));
            else
                QGuiApplication::clipboard()->clear();
            MainMenu::shared().revalidate();
            QCOMPARE(find(QStringLiteral("paste"))->isEnabled(), before);
            auto* data = new QMimeData;
            if (!format.isEmpty())
                data->setData(format, QByteArrayLiteral("file:///tmp/a.txt"));
            QGuiApplication::clipboard()->setMimeData(data);
            MainMenu::shared().revalidate();
            QCOMPARE(find(QStringLiteral("paste"))->isEnabled(), pastable);
            QCOMPARE(find(QStringLiteral("pasteAsPlainText"))->isEnabled(), pastable);
        }
        line->setReadOnly(true);
        MainMenu::shared().revalidate();
        QVERIFY(!find(QStringLiteral("paste"))->isEnabled());
        delete w;
    }

    void menusAgreeWithTheChain_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::newRow("field with spelling") << "spelling";
        QTest::newRow("read-only field") << "readOnly";
        QTest::newRow("document pane's editor") << "document";
        QTest::newRow("word document") << "word";
        QTest::newRow("window without input") << "none";
    }
    // Every item the menus check at once is enabled, checked and aimed as
    // the chain answers its command asked alone.
    void menusAgreeWithTheChain()
    {
        QFETCH(QString, focus);
        WPDocumentController controller;
        controller.setWindowDecorator([](QMainWindow* w) { w->setMenuBar(MainMenu::shared().build(w)); });
        ResponderChain::shared().addApplicationResponder(&controller);
        QGuiApplication::clipboard()->setText(QStringLiteral("pasted"));
        auto* pane = new DocumentPane;
        auto* layout = new QVBoxLayout(pane);
        auto* field = new SpellLineEdit(QStringLiteral("Teh cat"));
        auto* readOnly = new QLineEdit(QStringLiteral("fixed"));
        readOnly->setReadOnly(true);
        readOnly->selectAll();
        auto* text = new QTextEdit;
        auto* button = new QPushButton(QStringLiteral("Go"));
        for (QWidget* child : {static_cast<QWidget*>(field), static_cast<QWidget*>(readOnly),
                               static_cast<QWidget*>(text), static_cast<QWidget*>(button)})
            layout->addWidget(child);
        QMainWindow* w = makeWindow(pane);
        QWidget* window = w;
        QVERIFY(QTest::qWaitForWindowActive(w));
        QWidget* input = focus == QLatin1String("spelling") ? static_cast<QWidget*>(field)
            : focus == QLatin1String("readOnly")             ? static_cast<QWidget*>(readOnly)
            : focus == QLatin1String("document")             ? static_cast<QWidget*>(text)
                                                             : static_cast<QWidget*>(button);
        if (focus == QLatin1String("word")) {
            find(QStringLiteral("newDocument"))->trigger();
            window = controller.windowFor(controller.documents().constFirst());
            QVERIFY(QTest::qWaitForWindowActive(window));
            input = window->focusWidget() ? window->focusWidget() : window;
        }
        input->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), input);
        MainMenu::shared().revalidate();
        const QStringList toDelegate{"showAbout",  "showSettings", "toggleFloatingMenu", "openToolFromMenu",
                                     "showHelp", "visitWebsite", "exportData"};
        int enabled = 0;
        QList<QMenu*> menus = MainMenu::shared().menus();
        for (int i = 0; i < menus.size(); ++i) {
            for (QAction* a : menus.at(i)->actions()) {
                if (a->menu())
                    menus.append(a->menu());
                const QString name = MainMenu::actionName(a);
                if (name.isEmpty() || a->isSeparator())
                    continue;
                // Items of the application go straight to the delegate.
                if (toDelegate.contains(name))
                    continue;
                QObject* target = ResponderChain::shared().target(name);
                QVERIFY2(a->isEnabled() == ResponderChain::shared().canPerform(name), qPrintable(name));
                enabled += a->isEnabled();
                const MenuActions::Entry* entry = MenuActions::find(name.toLatin1().constData());
                if (entry && entry->state) {
                    const QVariant on = target ? target->property(entry->state) : QVariant();
                    QVERIFY2(a->isCheckable() == on.isValid(), qPrintable(name));
                    QVERIFY2(a->isChecked() == on.toBool(), qPrintable(name));
                }
            }
        }
        QVERIFY(enabled > 3);
        ResponderChain::shared().removeApplicationResponder(&controller);
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
        QVERIFY(find(QStringLiteral("terminate"))->isEnabled()); // the delegate
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

        find(QStringLiteral("performClose"))->trigger(); // the window answers
        QVERIFY(!w->isVisible());
        delete w;
    }

    // Focus moving several times before control returns to the event loop
    // (as when a window opens) checks the items once, after the last move;
    // a menu about to open checks them at once.
    void focusMovesAreCheckedOnceAfterTheLast()
    {
        auto* pane = new DocumentPane;
        auto* layout = new QVBoxLayout(pane);
        QList<QLineEdit*> fields;
        for (int i = 0; i < 3; ++i) {
            fields << new QLineEdit;
            layout->addWidget(fields.last());
        }
        QMainWindow* w = makeWindow(pane);
        QVERIFY(QTest::qWaitForWindowActive(w));
        fields.first()->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), fields.first());
        QCoreApplication::processEvents();
        pane->tableChecks = 0;
        pane->canInsertTable = true;
        fields.at(1)->setFocus();
        fields.at(2)->setFocus();
        fields.at(0)->setFocus();
        QCOMPARE(pane->tableChecks, 0);
        QCoreApplication::processEvents();
        QCOMPARE(pane->tableChecks, 1);
        QVERIFY(find(QStringLiteral("insertTable"))->isEnabled());
        pane->canInsertTable = false;
        QMenu* menu = find(QStringLiteral("insertTable"))->associatedObjects().isEmpty()
            ? nullptr
            : qobject_cast<QMenu*>(find(QStringLiteral("insertTable"))->associatedObjects().first());
        QVERIFY(menu);
        emit menu->aboutToShow();
        QCOMPARE(pane->tableChecks, 2);
        QVERIFY(!find(QStringLiteral("insertTable"))->isEnabled());
        delete w;
    }

    // The File menu's document items reach the word processor's documents:
    // enabled only while a document window is in front.
    void documentItemsNeedADocumentWindow()
    {
        WPDocumentController controller;
        controller.setWindowDecorator([](QMainWindow* w) { w->setMenuBar(MainMenu::shared().build(w)); });
        ResponderChain::shared().addApplicationResponder(&controller);
        QMainWindow* other = makeWindow(new QTextEdit);
        QVERIFY(QTest::qWaitForWindowActive(other));
        MainMenu::shared().revalidate();
        QVERIFY(find(QStringLiteral("newDocument"))->isEnabled());
        QVERIFY(find(QStringLiteral("openDocument"))->isEnabled());
        for (const char* name : {"saveDocument", "saveDocumentAs", "printDocument", "runPageLayout", "exportPDF"})
            QVERIFY2(!find(QString::fromLatin1(name))->isEnabled(), name);

        find(QStringLiteral("newDocument"))->trigger();
        QCOMPARE(controller.documents().size(), 1);
        QMainWindow* window = controller.windowFor(controller.documents().constFirst());
        QVERIFY(QTest::qWaitForWindowActive(window));
        MainMenu::shared().revalidate();
        for (const char* name : {"saveDocument", "saveDocumentAs", "printDocument", "runPageLayout", "exportPDF"})
            QVERIFY2(find(QString::fromLatin1(name))->isEnabled(), name);
        QCOMPARE(ResponderChain::shared().target(QStringLiteral("saveDocument")), &controller);

        ResponderChain::shared().removeApplicationResponder(&controller);
        delete other;
    }

    void zoomNeedsAResizableWindow_data()
    {
        QTest::addColumn<bool>("fixed");
        QTest::newRow("resizable") << false;
        QTest::newRow("one fixed size, as About") << true;
    }
    void zoomNeedsAResizableWindow()
    {
        QFETCH(bool, fixed);
        QMainWindow* w = makeWindow(new QTextEdit);
        if (fixed)
            w->setFixedSize(w->size());
        QVERIFY(QTest::qWaitForWindowActive(w));
        MainMenu::shared().revalidate();
        QCOMPARE(find(QStringLiteral("performZoom"))->isEnabled(), !fixed);
        QVERIFY(find(QStringLiteral("performMiniaturize"))->isEnabled());
        QVERIFY(find(QStringLiteral("performClose"))->isEnabled());
        delete w;
    }

    void windowMenuNamesWindowsAsTheirTitleBars_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("edited");
        QTest::addColumn<QString>("item");
        QTest::newRow("saved") << "Letter.docx[*] \u2014 Word Processor" << false << "Letter.docx \u2014 Word Processor";
        QTest::newRow("edited") << "Untitled[*] \u2014 Word Processor" << true << "Untitled* \u2014 Word Processor";
        QTest::newRow("no mark") << "Calculator" << true << "Calculator";
        QTest::newRow("ampersand") << "R&D[*]" << false << "R&&D";
    }
    // The Window menu lists each window as its title bar shows it: the
    // edited mark where "[*]" stands, never the placeholder itself.
    void windowMenuNamesWindowsAsTheirTitleBars()
    {
        QFETCH(QString, title);
        QFETCH(bool, edited);
        QFETCH(QString, item);
        QMainWindow* w = makeWindow(new QTextEdit);
        w->setWindowTitle(title);
        w->setWindowModified(edited);
        QMenu* windowMenu = nullptr;
        for (QMenu* m : MainMenu::shared().menus()) {
            if (m->objectName() == QLatin1String("Window"))
                windowMenu = m;
        }
        QVERIFY(windowMenu);
        Q_EMIT windowMenu->aboutToShow();
        QStringList items;
        for (QAction* a : windowMenu->actions())
            items << a->text();
        delete w;
        QVERIFY2(items.contains(item), qPrintable(items.join(QLatin1String(" | "))));
    }

    // Open Recent lists the word processor's recent documents above
    // "Clear Menu"; choosing one opens it.
    void openRecentListsDocuments()
    {
        ShellServices& services = ShellServices::shared();
        QStringList opened;
        services.recentWordDocuments = [] {
            return QStringList{QStringLiteral("/tmp/a/Report.docx"), QStringLiteral("/tmp/b/R&D.rtf")};
        };
        services.openWordDocumentFile = [&opened](const QString& path) { opened << path; };
        QMenu* recent = nullptr;
        for (QMenu* m : MainMenu::shared().menus()) {
            for (QAction* a : m->actions()) {
                if (a->menu() && a->menu()->objectName() == QLatin1String("Open Recent"))
                    recent = a->menu();
            }
        }
        QVERIFY(recent);
        for (int round = 0; round < 2; ++round) {
            Q_EMIT recent->aboutToShow();
            QCOMPARE(describe(recent), (QStringList{QStringLiteral("Report.docx||"), QStringLiteral("R&D.rtf||"),
                                                    QStringLiteral("—"), QStringLiteral("Clear Menu|clearRecentDocuments|")}));
        }
        recent->actions().at(1)->trigger();
        QCOMPARE(opened, QStringList{QStringLiteral("/tmp/b/R&D.rtf")});
        services.recentWordDocuments = [] { return QStringList(); };
        Q_EMIT recent->aboutToShow();
        QCOMPARE(recent->actions().size(), 1);
        services.recentWordDocuments = nullptr;
        services.openWordDocumentFile = nullptr;
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
    }

    // The list keeps the order the windows were opened in, whatever the
    // titles, and shows each title as its window does (never "[*]").
    void windowMenuOrderAndTitles()
    {
        QList<QMainWindow*> made;
        for (const char* title : {"Zeta[*]", "Report[*] — Word Processor", "Alpha", "Sums [*][*]"}) {
            made << makeWindow(new QWidget);
            made.last()->setWindowTitle(QString::fromUtf8(title));
        }
        made[1]->setWindowModified(true);
        QMenu* window = MainMenu::shared().menus().at(5);
        const QStringList expected{QStringLiteral("Zeta"), QStringLiteral("Report* — Word Processor"),
                                   QStringLiteral("Alpha"), QStringLiteral("Sums [*]")};
        for (int look = 0; look < 3; ++look) {
            Q_EMIT window->aboutToShow();
            QStringList names;
            for (QAction* item : window->actions()) {
                const qsizetype at = expected.indexOf(MainMenu::title(item));
                if (at >= 0)
                    names << expected.at(at);
            }
            QCOMPARE(names, expected);
            made[look]->hide();
            made[look]->show();
        }
        qDeleteAll(made);
    }

    // The tool shortcuts work from any window that shows the menus, and
    // Quit's key is not ambiguous with the tray menu's Quit.
    void toolShortcutsOpenTools()
    {
        QMainWindow* w = makeWindow(new QLineEdit);
        QVERIFY(QTest::qWaitForWindowActive(w));
        QTest::keyClick(w, Qt::Key_1, Qt::ControlModifier | Qt::AltModifier);
        QTest::keyClick(w, Qt::Key_9, Qt::ControlModifier | Qt::AltModifier);
        QTest::keyClick(w, Qt::Key_Q, Qt::ControlModifier);
        QCOMPARE(m_delegate.got, (QStringList{"open calculator", "open timeline", "terminate"}));
        delete w;
    }

    void escapeGivesTheKeyboardBack_data()
    {
        QTest::addColumn<int>("menu");
        QTest::newRow("Edit") << 2;
        QTest::newRow("Help") << 6;
    }
    // A menu opened from the bar and closed with Escape hands the keyboard
    // straight back to the field that had it: what is typed next goes there.
    void escapeGivesTheKeyboardBack()
    {
        QFETCH(int, menu);
        auto* field = new QLineEdit;
        QMainWindow* w = makeWindow(field);
        QVERIFY(QTest::qWaitForWindowActive(w));
        field->setFocus();
        QMenuBar* bar = w->menuBar();
        QMenu* opened = MainMenu::shared().menus().at(menu);
        bar->setActiveAction(opened->menuAction());
        QTRY_VERIFY(opened->isVisible());
        QTest::keyClick(opened, Qt::Key_Escape);
        QTRY_VERIFY(!opened->isVisible());
        // The bar keeps no item of its own for the keyboard.
        QTRY_COMPARE(w->focusWidget(), field);
        QVERIFY(!bar->activeAction());
        delete w;
    }

    void applicationKeysWorkWithoutAMenuBar_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("got");
        const int ctrlAlt = int(Qt::ControlModifier | Qt::AltModifier);
        QTest::newRow("first tool") << int(Qt::Key_1) << ctrlAlt << "open calculator";
        QTest::newRow("ninth tool") << int(Qt::Key_9) << ctrlAlt << "open timeline";
        QTest::newRow("settings") << int(Qt::Key_Comma) << int(Qt::ControlModifier) << "showSettings";
        QTest::newRow("floating menu") << int(Qt::Key_M) << int(Qt::ControlModifier | Qt::ShiftModifier)
                                       << "toggleFloatingMenu";
        QTest::newRow("quit") << int(Qt::Key_Q) << int(Qt::ControlModifier) << "terminate";
    }
    // A window of ours without a menu bar (a sticky note) still answers the
    // application's keys, once and only once.
    void applicationKeysWorkWithoutAMenuBar()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, got);
        MainMenu::shared();
        auto* note = new QMainWindow;
        note->setCentralWidget(new QTextEdit);
        note->resize(300, 300);
        note->show();
        note->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(note));
        note->centralWidget()->setFocus();
        QTest::keyClick(note->centralWidget(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(m_delegate.got, QStringList{got});
        QVERIFY(!note->menuWidget());
        delete note;
    }

    // Ctrl+C and Edit ▸ Copy copy the Scientific Calculator's result line
    // once it has been clicked.
    void copyFromTheResultLine_data()
    {
        QTest::addColumn<bool>("byKey");
        QTest::newRow("Ctrl+C") << true;
        QTest::newRow("Edit menu") << false;
    }
    void copyFromTheResultLine()
    {
        QFETCH(bool, byKey);
        auto* view = new ScientificView;
        QMainWindow* w = makeWindow(view);
        QVERIFY(QTest::qWaitForWindowActive(w));
        view->model()->setExpression(QStringLiteral("6*7"));
        FitLabel* line = view->resultLabel();
        QTest::mouseClick(line, Qt::LeftButton, {}, line->rect().center());
        QTRY_VERIFY(line->hasFocus());
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        QAction* copy = find(QStringLiteral("copy"));
        QVERIFY(copy);
        MainMenu::shared().revalidate();
        QVERIFY(copy->isEnabled());
        if (byKey)
            QTest::keyClick(w, Qt::Key_C, Qt::ControlModifier);
        else
            copy->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("= 42"));
        delete w;
    }
};

QTEST_MAIN(MenusTest)
#include "tst_menus.moc"
