#include "TestEnvironment.h"
#include "core/AppSettings.h"
#include "core/DataExport.h"
#include "core/LoginItem.h"
#include "core/SettingsStore.h"
#include "core/Store.h"
#include "core/Tool.h"
#include "core/Spelling.h"
#include "app/views/AboutView.h"
#include "app/views/AppIcon.h"
#include "ui/FileReveal.h"
#include "app/views/HelpView.h"
#include "app/views/SettingsView.h"
#include "app/views/ToolViewFactory.h"
#include "app/views/VEXOBWMenuTarget.h"
#include "ui/Alert.h"
#include "ui/AppLook.h"

#include <QApplication>
#include <QCheckBox>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTextEdit>
#include <QHash>
#include <memory>
#include <QTimer>

namespace {

// Stands in for the desktop's file manager on the session bus.
class FakeFileManager : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")
public:
    QStringList shown;
public Q_SLOTS:
    void ShowItems(const QStringList& uris, const QString&) { shown += uris; }
};

// Receives the URLs QDesktopServices would hand to the browser.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public Q_SLOTS:
    void open(const QUrl& url) { urls.append(url); }
};

void writeFile(const QString& path, const QByteArray& data)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(data);
}

// Answers the export's alerts and catches what it would show in the file
// browser; given a folder, it also stands in for the folder chooser.
struct ExportWatch {
    QList<AlertRequest> alerts;
    QStringList revealed;
    std::optional<VEXOBWExport::FolderChooser> chooser;
    AlertHandler alert = setAlertHandler([this](const AlertRequest& r) { return alerts.append(r), alertFirstButton; });
    FileReveal::Handler reveal = FileReveal::setHandler([this](const QString& p) { revealed.append(p); });
    explicit ExportWatch(std::optional<QString> folder = std::nullopt)
    {
        if (folder)
            chooser = VEXOBWExport::setFolderChooser([f = *folder] { return f; });
    }
    ~ExportWatch()
    {
        if (chooser)
            VEXOBWExport::setFolderChooser(*chooser);
        setAlertHandler(alert);
        FileReveal::setHandler(reveal);
    }
};

} // namespace

class ExtrasTest : public QObject {
    Q_OBJECT
private:
    UrlCatcher m_browser;

private Q_SLOTS:
    void initTestCase()
    {
        QDesktopServices::setUrlHandler(QStringLiteral("http"), &m_browser, "open");
        QDesktopServices::setUrlHandler(QStringLiteral("https"), &m_browser, "open");
        QDesktopServices::setUrlHandler(QStringLiteral("mailto"), &m_browser, "open");
    }
    void cleanupTestCase()
    {
        QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
        QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));
    }
    void init() { m_browser.urls.clear(); }

    // --- Settings -----------------------------------------------------

    void toggles_data()
    {
        QTest::addColumn<QString>("key");
        for (const char* k : {"showMenuAtLaunch", "alwaysOnTop", "vertical", "largeButtons", "showLabels"})
            QTest::newRow(k) << QString::fromLatin1(k);
    }
    // A click on a switch changes the setting and its stored value at once;
    // a change made elsewhere (the floating menu) moves the switch.
    void toggles()
    {
        QFETCH(QString, key);
        AppSettings& s = AppSettings::shared();
        const QByteArray name = key.toLatin1();
        SettingsView v;
        auto* box = v.findChild<QCheckBox*>(key);
        const bool before = s.property(name.constData()).toBool();
        QCOMPARE(box->isChecked(), before);
        box->click();
        QCOMPARE(s.property(name.constData()).toBool(), !before);
        QCOMPARE(SettingsStore::boolValue(key, before), !before);
        s.setProperty(name.constData(), before);
        QCOMPARE(box->isChecked(), before);
        QCOMPARE(SettingsStore::boolValue(key, !before), before);
    }

    void launchAtLogin_data()
    {
        QTest::addColumn<bool>("blocked");
        QTest::addColumn<bool>("wanted");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<QString>("message");
        QTest::newRow("on") << false << true << true << QStringLiteral("Brindleworks will open when you log in.");
        QTest::newRow("off") << false << false << false << QStringLiteral("Brindleworks will not open at login.");
        QTest::newRow("on fails") << true << true << false << QStringLiteral("Couldn’t change the login item: ");
    }
    // The switch asks the login-item service and then shows the real state
    // with the service's message under it.
    void launchAtLogin()
    {
        QFETCH(bool, blocked);
        QFETCH(bool, wanted);
        QFETCH(bool, shown);
        QFETCH(QString, message);
        const QString autostart = QFileInfo(LoginItem::entryPath()).absolutePath();
        QFile::remove(LoginItem::entryPath());
        QDir(autostart).removeRecursively();
        if (blocked)
            writeFile(autostart, "a file where the folder should be");
        else if (!wanted)
            QVERIFY(LoginItem::registerItem(nullptr));
        AppSettings::shared().refreshLoginItem();

        SettingsView v;
        auto* box = v.findChild<QCheckBox*>(QStringLiteral("launchAtLogin"));
        auto* label = v.findChild<QLabel*>(QStringLiteral("loginItemMessage"));
        QCOMPARE(box->isChecked(), !wanted);
        box->click();
        QCOMPARE(box->isChecked(), shown);
        QCOMPARE(AppSettings::shared().launchAtLogin(), shown);
        QCOMPARE(LoginItem::status() == LoginItem::Status::enabled, shown);
        QVERIFY2(label->text().startsWith(message), qPrintable(label->text()));
        QVERIFY(!label->isHidden());

        QFile::remove(autostart);
        QFile::remove(LoginItem::entryPath());
        AppSettings::shared().refreshLoginItem();
    }

    // The switch writes the Boolean first, then the open documents follow;
    // without the word processor it still writes.
    void autocorrectWritesThenApplies()
    {
        SettingsStore::settings().remove(Spelling::autocorrectKey);
        QList<QVariant> seen;
        const WPAutocorrect::Apply previous = WPAutocorrect::install(
            [&seen] { seen.append(SettingsStore::settings().value(Spelling::autocorrectKey)); });
        SettingsView v;
        auto* box = v.findChild<QCheckBox*>(QStringLiteral("wpAutocorrect"));
        QVERIFY(box->isChecked());
        box->click();
        QCOMPARE(seen, QList<QVariant>{QVariant(false)});
        QCOMPARE(Spelling::autocorrectInWordProcessor(), false);
        box->click();
        QCOMPARE(seen, (QList<QVariant>{QVariant(false), QVariant(true)}));
        WPAutocorrect::install({});
        box->click();
        QCOMPARE(SettingsStore::boolValue(Spelling::autocorrectKey, true), false);
        WPAutocorrect::install(previous);
        SettingsStore::settings().remove(Spelling::autocorrectKey);
    }

    void dataFolder()
    {
        QStringList revealed;
        const FileReveal::Handler previous
            = FileReveal::setHandler([&revealed](const QString& p) { revealed.append(p); });
        SettingsView v;
        QCOMPARE(v.findChild<QTextEdit*>(QStringLiteral("dataFolder"))->toPlainText(),
                 QDir::toNativeSeparators(QDir::cleanPath(TestEnvironment::dataFolder())));
        v.findChild<QPushButton*>(QStringLiteral("showInFiles"))->click();
        QCOMPARE(revealed, QStringList{Store::folder()});
        FileReveal::setHandler(previous);
    }

    // The file manager is asked over D-Bus to show the item selected.
    void revealOverDBus()
    {
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (!bus.isConnected())
            QSKIP("no session bus (run under dbus-run-session)");
        FakeFileManager fake;
        QVERIFY(bus.registerObject(QStringLiteral("/org/freedesktop/FileManager1"), &fake,
                                   QDBusConnection::ExportAllSlots));
        QVERIFY(bus.registerService(QStringLiteral("org.freedesktop.FileManager1")));
        UrlCatcher files;
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &files, "open");

        FileReveal::reveal(Store::folder());
        QTRY_COMPARE(fake.shown, QStringList{QUrl::fromLocalFile(Store::folder()).toString()});
        QCOMPARE(files.urls.size(), 0);

        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        bus.unregisterService(QStringLiteral("org.freedesktop.FileManager1"));
        bus.unregisterObject(QStringLiteral("/org/freedesktop/FileManager1"));
    }

    // Without a file manager on the bus, the folder holding the item opens.
    void revealFallsBackToTheFolder()
    {
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (bus.isConnected() && bus.interface()->isServiceRegistered(QStringLiteral("org.freedesktop.FileManager1")))
            QSKIP("a file manager runs on this session bus");
        UrlCatcher files;
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &files, "open");
        QTemporaryDir dir;
        const QString item = dir.filePath(QStringLiteral("Brindleworks Export 2026-03-14 0905"));
        QDir().mkpath(item);
        FileReveal::reveal(item);
        QCOMPARE(files.urls, QList<QUrl>{QUrl::fromLocalFile(dir.path())});
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    }

    // --- Help ---------------------------------------------------------

    void route_data()
    {
        QTest::addColumn<QUrl>("url");
        QTest::addColumn<int>("route");
        using R = HelpView::Route;
        QTest::newRow("upper-case scheme") << QUrl(QStringLiteral("HTTPS://example.com")) << int(R::browser);
        QTest::newRow("local file") << QUrl::fromLocalFile(QStringLiteral("/tmp/a.html")) << int(R::inside);
        QTest::newRow("javascript") << QUrl(QStringLiteral("javascript:alert(1)")) << int(R::ignored);
        QTest::newRow("data") << QUrl(QStringLiteral("data:text/html,hi")) << int(R::ignored);
        QTest::newRow("mail") << QUrl(QStringLiteral("mailto:help@example.com")) << int(R::desktop);
    }
    void route()
    {
        QFETCH(QUrl, url);
        QFETCH(int, route);
        QCOMPARE(int(HelpView::route(url)), route);
    }

    // Following links: web links go to the browser and leave the page; local
    // pages and anchors open inside.
    void following()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath(QStringLiteral("index.html")),
                  "<html><body><h1>Index</h1><a href=\"other.html\">other</a> "
                  "<a href=\"https://example.com/web\">web</a> <a href=\"#end\">end</a>"
                  "<p style=\"margin-top:2000px\"><a name=\"end\"></a>The end</p></body></html>");
        writeFile(dir.filePath(QStringLiteral("other.html")), "<html><body><h1>Other page</h1></body></html>");
        const QUrl index = QUrl::fromLocalFile(dir.filePath(QStringLiteral("index.html")));

        HelpView v(index);
        QTextBrowser* b = v.browser();
        Q_EMIT b->anchorClicked(QUrl(QStringLiteral("https://example.com/web")));
        QCOMPARE(m_browser.urls, QList<QUrl>{QUrl(QStringLiteral("https://example.com/web"))});
        QCOMPARE(b->source(), index);
        Q_EMIT b->anchorClicked(QUrl(QStringLiteral("other.html")));
        QVERIFY(b->toPlainText().contains(QStringLiteral("Other page")));

        b->backward();
        QCOMPARE(b->source(), index);
        // A mail link goes to the desktop's mail program; the page stays.
        Q_EMIT b->anchorClicked(QUrl(QStringLiteral("mailto:x@example.com")));
        QCOMPARE(b->source(), index);
        QCOMPARE(m_browser.urls.size(), 2);
        QCOMPARE(m_browser.urls.last(), QUrl(QStringLiteral("mailto:x@example.com")));
    }

    // Without a help page the built-in one is shown, and no alert; its link
    // goes to the browser.
    void builtInPage()
    {
        HelpView v{QUrl()};
        QTextBrowser* b = v.browser();
        QCOMPARE(b->toPlainText().simplified(), QStringLiteral("Brindleworks Help by Corvandel Softworks"));
        Q_EMIT b->anchorClicked(AppSettings::vexoURL());
        QCOMPARE(m_browser.urls, QList<QUrl>{AppSettings::vexoURL()});
    }

    // The shipped help page: every tool has a section, and every link
    // inside the page lands on an anchor that exists.
    void helpPageContent()
    {
        const QString path = QFINDTESTDATA("../../resources/Help.html");
        QVERIFY(!path.isEmpty());
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(f.readAll());
        HelpView v(QUrl::fromLocalFile(path));
        const QString text = v.browser()->toPlainText();
        for (const Tool t : Tool::allCases())
            QVERIFY2(text.contains(t.title()), qPrintable(t.title()));

        const QRegularExpression href(QStringLiteral("href=\"#([^\"]+)\""));
        int links = 0;
        for (auto it = href.globalMatch(html); it.hasNext(); ++links) {
            const QString anchor = it.next().captured(1);
            QVERIFY2(html.contains(QStringLiteral("name=\"%1\"").arg(anchor)), qPrintable(anchor));
        }
        QVERIFY(links >= 14);

        Q_EMIT v.browser()->anchorClicked(QUrl(QStringLiteral("#data")));
        QCOMPARE(v.browser()->source().fragment(), QStringLiteral("data"));
        QVERIFY(m_browser.urls.isEmpty());
    }

    // Each tool's section of the help page says the tool is missing from
    // this release exactly when its window shows the notice that says so
    // (the word processor opens documents of its own and is always there).
    void helpPageNamesMissingToolsOnly()
    {
        QFile f(QFINDTESTDATA("../../resources/Help.html"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(f.readAll());
        const QRegularExpression section(QStringLiteral("<h2><a name=\"[^\"]*\"></a>(.*?)</h2>(.*?)(?=<h2|$)"),
                                         QRegularExpression::DotMatchesEverythingOption);
        QHash<QString, QString> sections;
        for (auto it = section.globalMatch(html); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            sections.insert(QString(m.captured(1)).replace(QStringLiteral("&amp;"), QStringLiteral("&")), m.captured(2));
        }
        for (const Tool t : Tool::allCases()) {
            QVERIFY2(sections.contains(t.title()), qPrintable(t.title()));
            bool missing = false;
            if (t != Tool::wordProcessor) {
                std::unique_ptr<QWidget> view(makeToolView(t));
                missing = view->findChild<QLabel*>(QStringLiteral("unavailableMessage")) != nullptr;
            }
            QVERIFY2(sections.value(t.title()).contains(QStringLiteral("Not available in this release")) == missing,
                     qPrintable(t.title()));
        }
    }

    // --- Export command -----------------------------------------------

    void exportCommand_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("place"); // "folder", "file" or "" (cancelled)
        QTest::addColumn<QString>("title"); // of the alert, or none
        QTest::newRow("nothing saved yet") << QStringList{} << "folder" << "Exported 0 items";
        QTest::newRow("files, hidden file and a folder")
            << QStringList{"a.json", "a.json.bak", ".hidden", "Recordings/n.m4a"} << "folder" << "Exported 4 items";
        QTest::newRow("place is no folder") << QStringList{"a.json"} << "file" << "Couldn’t export your data.";
        QTest::newRow("cancelled") << QStringList{"a.json"} << "" << "";
    }
    // From the menu item to the alert: a dated folder in the chosen place,
    // shown in the file browser, and the count. A folder that cannot be made
    // is reported as a failure, and nothing is shown; cancelling does nothing.
    void exportCommand()
    {
        QFETCH(QStringList, files);
        QFETCH(QString, place);
        QFETCH(QString, title);
        QDir(Store::folder()).removeRecursively();
        QDir().mkpath(Store::folder());
        for (const QString& f : files)
            writeFile(Store::path(f), f.toUtf8());
        QTemporaryDir parent;
        const QString blocker = parent.filePath(QStringLiteral("plain-file"));
        writeFile(blocker, "x");

        ExportWatch watch(place == QLatin1String("folder") ? parent.path() : place.isEmpty() ? QString() : blocker);
        const QDateTime before = QDateTime::currentDateTime();
        VEXOBWMenuTarget::shared().exportData();
        const QDateTime after = QDateTime::currentDateTime();
        const QStringList made = QDir(parent.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        if (place != QLatin1String("folder")) {
            QVERIFY(made.isEmpty());
            QVERIFY(watch.revealed.isEmpty());
            QCOMPARE(watch.alerts.size(), title.isEmpty() ? 0 : 1);
            if (!title.isEmpty())
                QCOMPARE(watch.alerts[0].style, AlertStyle::Critical);
        } else {
            QCOMPARE(made.size(), 1);
            const QString name = made.constFirst();
            QVERIFY(name == VEXOBWExport::folderName(before) || name == VEXOBWExport::folderName(after));
            QCOMPARE(watch.revealed, QStringList{parent.filePath(name)});
            QCOMPARE(watch.alerts.size(), 1);
            QVERIFY(watch.alerts[0].informative.contains(name));
            const auto all = QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot;
            QCOMPARE(QDir(parent.filePath(name)).entryList(all), QDir(Store::folder()).entryList(all));
        }
        if (!title.isEmpty())
            QCOMPARE(watch.alerts[0].title, title);
        QDir(Store::folder()).removeRecursively();
        QDir().mkpath(Store::folder());
    }

    // The folder named in the dialog's name field wins over whatever the
    // dialog shows or has selected, once it is a folder.
    void chosenFolder_data()
    {
        QTest::addColumn<QString>("typed");    // "<t>" stands for the temporary folder
        QTest::addColumn<QStringList>("selected");
        QTest::addColumn<QString>("chosen");
        const QStringList parentSelected{"<t>"};
        QTest::newRow("absolute, no trailing slash") << "<t>/inner" << parentSelected << "<t>/inner";
        QTest::newRow("absolute, trailing slash") << "<t>/inner/" << parentSelected << "<t>/inner";
        QTest::newRow("relative to the shown folder") << "inner" << parentSelected << "<t>/inner";
        QTest::newRow("surrounding blanks") << "  <t>/inner " << parentSelected << "<t>/inner";
        QTest::newRow("dot dot") << "<t>/inner/deeper/.." << parentSelected << "<t>/inner";
        QTest::newRow("names a file") << "<t>/file.txt" << parentSelected << "<t>";
        QTest::newRow("names nothing") << "<t>/missing" << parentSelected << "<t>";
        QTest::newRow("empty: the selection") << "" << QStringList{"<t>/inner"} << "<t>/inner";
        QTest::newRow("empty, nothing selected: the shown folder") << "" << QStringList{} << "<t>";
        QTest::newRow("home") << "~" << parentSelected << "~";
    }
    void chosenFolder()
    {
        QFETCH(QString, typed);
        QFETCH(QStringList, selected);
        QFETCH(QString, chosen);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("inner/deeper")));
        writeFile(dir.filePath(QStringLiteral("file.txt")), "x");
        const QString t = QDir(dir.path()).canonicalPath();
        auto fill = [&t](QString s) { return s.replace(QStringLiteral("<t>"), t); };
        for (QString& s : selected)
            s = fill(s);
        const QString expected = chosen == QLatin1String("~") ? QDir::homePath() : fill(chosen);
        QCOMPARE(VEXOBWExport::chosenFolder(fill(typed), t, selected), expected);
    }

    // Typing a folder's path into the dialog and pressing Return exports
    // into that folder, and the message names the place.
    void exportIntoTypedFolder_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("focused"); // whether the name field has the keyboard focus
        QTest::newRow("absolute path") << "<t>/Backups" << true;
        QTest::newRow("absolute path, trailing slash") << "<t>/Backups/" << true;
        QTest::newRow("name in the shown folder") << "Backups" << true;
        QTest::newRow("absolute path, field without focus") << "<t>/Backups" << false;
        QTest::newRow("nested path, field without focus") << "<t>/Backups/2026" << false;
    }
    void exportIntoTypedFolder()
    {
        QFETCH(QString, typed);
        QFETCH(bool, focused);
        QTemporaryDir dir;
        const QString t = QDir(dir.path()).canonicalPath();
        QVERIFY(QDir(t).mkpath(QStringLiteral("Backups")));
        const QString target = t + (typed.endsWith(QLatin1String("2026")) ? QStringLiteral("/Backups/2026")
                                                                             : QStringLiteral("/Backups"));
        QVERIFY(QDir().mkpath(target));
        QDir().mkpath(Store::folder());
        writeFile(Store::path(QStringLiteral("a.json")), "{}");
        ExportWatch watch;
        // Should the export land in a folder on the way, it is removed again.
        const QStringList ways{QStringLiteral("/"), QDir::tempPath()};
        auto strays = [&ways] {
            QStringList found;
            for (const QString& w : ways) {
                for (const QString& n : QDir(w).entryList({QStringLiteral("Brindleworks Export *")}, QDir::Dirs))
                    found.append(QDir(w).filePath(n));
            }
            return found;
        };
        const QStringList before = strays();
        auto cleanup = qScopeGuard([&] {
            for (const QString& f : strays()) {
                if (!before.contains(f))
                    QDir(f).removeRecursively();
            }
        });
        bool typedIn = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            dialog->setDirectory(t);
            auto* field = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            QVERIFY(field);
            if (focused) {
                QApplication::setActiveWindow(dialog);
                QVERIFY(QTest::qWaitForWindowActive(dialog));
                field->setFocus();
                QVERIFY(field->hasFocus());
            }
            QTest::keyClicks(field, QString(typed).replace(QStringLiteral("<t>"), t));
            QTest::keyClick(field, Qt::Key_Return);
            typedIn = true;
            if (dialog->isVisible())
                dialog->reject();
        });
        VEXOBWMenuTarget::shared().exportData();
        QVERIFY(typedIn);
        QCOMPARE(watch.alerts.size(), 1);
        const QStringList made = QDir(target).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        QCOMPARE(made.size(), 1);
        QVERIFY(made.constFirst().startsWith(QLatin1String("Brindleworks Export ")));
        QVERIFY2(watch.alerts[0].informative.contains(QStringLiteral("“") + made.constFirst() + QStringLiteral("”")),
                 qPrintable(watch.alerts[0].informative));
        QVERIFY(QFile::exists(target + QLatin1Char('/') + made.constFirst() + QStringLiteral("/a.json")));
        QCOMPARE(QDir(t).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList{QStringLiteral("Backups")});
        QDir(Store::folder()).removeRecursively();
        QDir().mkpath(Store::folder());
    }

    // --- Icon ---------------------------------------------------------

    // At start the icon waits for the first window that shows one: a tool
    // panel (the floating menu) does not bring it, a window or a dialog does.
    void iconComesWithTheFirstWindow_data()
    {
        QTest::addColumn<int>("flags");
        QTest::addColumn<bool>("brings");
        QTest::newRow("tool panel") << int(Qt::Tool | Qt::FramelessWindowHint) << false;
        QTest::newRow("window") << int(Qt::Window) << true;
        QTest::newRow("dialog") << int(Qt::Dialog) << true;
    }
    void iconComesWithTheFirstWindow()
    {
        QFETCH(int, flags);
        QFETCH(bool, brings);
        QApplication::setWindowIcon(QIcon());
        AppIcon::applyWithFirstWindow(brings ? AppIcon::Decoding::after : AppIcon::Decoding::ahead);
        QVERIFY(QApplication::windowIcon().isNull());
        // Nothing shown yet that would bring the icon: what waits for it
        // runs at once.
        int ran = 0;
        AppIcon::afterFirstWindowDrawn([&ran] { ++ran; });
        QCOMPARE(ran, 1);
        QWidget window(nullptr, Qt::WindowFlags(flags));
        window.show();
        AppIcon::afterFirstWindowDrawn([&ran] { ++ran; });
        QCOMPARE(ran, brings ? 1 : 2);
        // Not while the window is being shown: once it has been drawn.
        QVERIFY(QApplication::windowIcon().isNull());
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        if (brings) {
            QTRY_VERIFY(!QApplication::windowIcon().isNull());
            QCOMPARE(ran, 2);
            QCOMPARE(window.windowIcon().cacheKey(), QApplication::windowIcon().cacheKey());
        } else {
            QTest::qWait(300);
            QVERIFY(QApplication::windowIcon().isNull());
        }
        // Whatever happened, a later normal window has it.
        QWidget later;
        later.show();
        QTRY_VERIFY(!QApplication::windowIcon().isNull());
    }

    // The About window shows the program's icon, and every window carries
    // it, even where no SVG image support is installed.
    void icon()
    {
        AppIcon::apply();
        const QIcon app = QApplication::windowIcon();
        QVERIFY(!app.isNull());
        QVERIFY(app.availableSizes().contains(QSize(128, 128)));
        QVERIFY(app.availableSizes().contains(QSize(256, 256)));
        QWidget window;
        QCOMPARE(window.windowIcon().cacheKey(), app.cacheKey());

        AboutView about;
        about.resize(AboutView::windowSize);
        about.show();
        auto* area = about.findChild<QLabel*>(QStringLiteral("appIcon"));
        QVERIFY(area);
        QCOMPARE(area->size(), QSize(128, 128));
        // Most of the band is drawn, in more than one colour.
        const QImage shown = area->grab().toImage().convertToFormat(QImage::Format_ARGB32);
        const QImage bare = [&] {
            QLabel empty(&about);
            empty.setGeometry(area->geometry());
            empty.show();
            return empty.grab().toImage().convertToFormat(QImage::Format_ARGB32);
        }();
        int changed = 0;
        QSet<QRgb> colours;
        for (int y = 0; y < shown.height(); ++y) {
            for (int x = 0; x < shown.width(); ++x) {
                if (shown.pixel(x, y) != bare.pixel(x, y))
                    ++changed;
                colours.insert(shown.pixel(x, y));
            }
        }
        QVERIFY2(changed > shown.width() * shown.height() / 2, qPrintable(QString::number(changed)));
        QVERIFY(colours.size() > 16);
    }

    // --- Pictures -----------------------------------------------------

    // With BW_RENDER_DIR set, saves the three windows as PNG files there.
    void render()
    {
        const QString out = qEnvironmentVariable("BW_RENDER_DIR");
        if (out.isEmpty())
            QSKIP("BW_RENDER_DIR not set");
        QDir().mkpath(out);
        AppLook::apply(*qApp);
        SettingsView settings;
        HelpView help(QUrl::fromLocalFile(QFINDTESTDATA("../../resources/Help.html")));
        AboutView about;
        const QList<std::pair<QWidget*, QSize>> views{
            {&settings, SettingsView::windowSize}, {&help, HelpView::windowSize}, {&about, AboutView::windowSize}};
        for (const auto& [view, size] : views) {
            view->resize(size);
            view->show();
            QTest::qWait(50);
            QVERIFY(view->grab().save(out + QLatin1Char('/') + QString::fromLatin1(view->metaObject()->className())
                                      + QStringLiteral(".png")));
        }
    }
};

QTEST_MAIN(ExtrasTest)
#include "tst_extras.moc"
