#include "TestEnvironment.h"
#include "app/AppSettings.h"
#include "app/DataExport.h"
#include "app/LoginItem.h"
#include "app/SettingsStore.h"
#include "app/Store.h"
#include "app/Tool.h"
#include "app/WPAutocorrect.h"
#include "app/views/AboutView.h"
#include "app/views/FileReveal.h"
#include "app/views/HelpView.h"
#include "app/views/SettingsView.h"
#include "app/views/VEXOBWMenuTarget.h"
#include "ui/Alert.h"
#include "ui/AppLook.h"
#include "ui/Spelling.h"

#include <QApplication>
#include <QCheckBox>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QTimer>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTextEdit>

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

using Getter = bool (AppSettings::*)() const;
using Setter = void (AppSettings::*)(bool);

struct Option {
    Getter get;
    Setter set;
};

Option option(const QString& key)
{
    if (key == QLatin1String("showMenuAtLaunch"))
        return {&AppSettings::showMenuAtLaunch, &AppSettings::setShowMenuAtLaunch};
    if (key == QLatin1String("alwaysOnTop"))
        return {&AppSettings::alwaysOnTop, &AppSettings::setAlwaysOnTop};
    if (key == QLatin1String("vertical"))
        return {&AppSettings::vertical, &AppSettings::setVertical};
    if (key == QLatin1String("largeButtons"))
        return {&AppSettings::largeButtons, &AppSettings::setLargeButtons};
    return {&AppSettings::showLabels, &AppSettings::setShowLabels};
}

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
    }
    void cleanupTestCase()
    {
        QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    }
    void init() { m_browser.urls.clear(); }

    // --- Settings -----------------------------------------------------

    // Runs first, while no login-item message has been set in this process.
    void loginMessageHiddenWhenEmpty()
    {
        QVERIFY(AppSettings::shared().loginItemMessage().isEmpty());
        SettingsView v;
        auto* message = v.findChild<QLabel*>(QStringLiteral("loginItemMessage"));
        QVERIFY(message);
        QVERIFY(message->isHidden());
    }

    void toggles_data()
    {
        QTest::addColumn<QString>("key");
        for (const char* k : {"showMenuAtLaunch", "alwaysOnTop", "vertical", "largeButtons", "showLabels"})
            QTest::newRow(k) << QString::fromLatin1(k);
    }
    // A click on a switch changes the setting and its stored value at once;
    // a change made elsewhere (the floating menu's layout item) moves the
    // switch.
    void toggles()
    {
        QFETCH(QString, key);
        AppSettings& s = AppSettings::shared();
        const Option o = option(key);
        SettingsView v;
        auto* box = v.findChild<QCheckBox*>(key);
        QVERIFY(box);
        QCOMPARE(box->isChecked(), (s.*o.get)());

        const bool before = (s.*o.get)();
        box->click();
        QCOMPARE((s.*o.get)(), !before);
        QCOMPARE(SettingsStore::boolValue(key, before), !before);

        (s.*o.set)(before);
        QCOMPARE(box->isChecked(), before);
        (s.*o.set)(!before);
        QCOMPARE(box->isChecked(), !before);
        (s.*o.set)(before);
        QCOMPARE(SettingsStore::boolValue(key, !before), before);
    }

    // Two open Settings views stay in step with each other.
    void twoViewsAgree()
    {
        AppSettings& s = AppSettings::shared();
        SettingsView a;
        SettingsView b;
        const bool before = s.vertical();
        a.findChild<QCheckBox*>(QStringLiteral("vertical"))->click();
        QCOMPARE(b.findChild<QCheckBox*>(QStringLiteral("vertical"))->isChecked(), !before);
        s.setVertical(before);
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

    void autocorrectReads_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<bool>("checked");
        QTest::newRow("absent") << QVariant() << true;
        QTest::newRow("false") << QVariant(false) << false;
        QTest::newRow("true") << QVariant(true) << true;
        QTest::newRow("text") << QVariant(QStringLiteral("no")) << true;
    }
    void autocorrectReads()
    {
        QFETCH(QVariant, stored);
        QFETCH(bool, checked);
        if (stored.isValid())
            SettingsStore::settings().setValue(Spelling::autocorrectKey, stored);
        else
            SettingsStore::settings().remove(Spelling::autocorrectKey);
        SettingsView v;
        QCOMPARE(v.findChild<QCheckBox*>(QStringLiteral("wpAutocorrect"))->isChecked(), checked);
        SettingsStore::settings().remove(Spelling::autocorrectKey);
    }

    // The switch writes the Boolean first, then the open documents follow.
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
        WPAutocorrect::install(previous);
        SettingsStore::settings().remove(Spelling::autocorrectKey);
    }

    void autocorrectWithoutWordProcessor()
    {
        const WPAutocorrect::Apply previous = WPAutocorrect::install({});
        SettingsView v;
        v.findChild<QCheckBox*>(QStringLiteral("wpAutocorrect"))->click();
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
        auto* path = v.findChild<QTextEdit*>(QStringLiteral("dataFolder"));
        QVERIFY(path);
        QCOMPARE(path->toPlainText(), QDir::toNativeSeparators(QDir::cleanPath(TestEnvironment::dataFolder())));
        QVERIFY(path->isReadOnly());
        auto* button = v.findChild<QPushButton*>(QStringLiteral("showInFiles"));
        QVERIFY(button);
        QCOMPARE(button->text(), QStringLiteral("Show in Files"));
        button->click();
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
        const int inside = int(HelpView::Route::inside);
        const int browser = int(HelpView::Route::browser);
        const int ignored = int(HelpView::Route::ignored);
        QTest::newRow("https") << QUrl(QStringLiteral("https://example.com/a")) << browser;
        QTest::newRow("http") << QUrl(QStringLiteral("http://example.com")) << browser;
        QTest::newRow("upper-case scheme") << QUrl(QStringLiteral("HTTPS://example.com")) << browser;
        QTest::newRow("local file") << QUrl::fromLocalFile(QStringLiteral("/tmp/other.html")) << inside;
        QTest::newRow("resource") << QUrl(QStringLiteral("qrc:/Help.html#data")) << inside;
        QTest::newRow("relative") << QUrl(QStringLiteral("other.html")) << inside;
        QTest::newRow("anchor") << QUrl(QStringLiteral("#calculator")) << inside;
        QTest::newRow("mail") << QUrl(QStringLiteral("mailto:someone@example.com")) << ignored;
        QTest::newRow("javascript") << QUrl(QStringLiteral("javascript:alert(1)")) << ignored;
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
        v.resize(HelpView::windowSize);
        QTextBrowser* b = v.browser();
        QCOMPARE(b->source(), index);

        Q_EMIT b->anchorClicked(QUrl(QStringLiteral("https://example.com/web")));
        QCOMPARE(m_browser.urls, QList<QUrl>{QUrl(QStringLiteral("https://example.com/web"))});
        QCOMPARE(b->source(), index);
        QVERIFY(b->toPlainText().contains(QStringLiteral("Index")));

        Q_EMIT b->anchorClicked(QUrl(QStringLiteral("other.html")));
        QCOMPARE(b->source(), QUrl::fromLocalFile(dir.filePath(QStringLiteral("other.html"))));
        QVERIFY(b->toPlainText().contains(QStringLiteral("Other page")));
        QCOMPARE(m_browser.urls.size(), 1);

        b->backward();
        QCOMPARE(b->source(), index);
        Q_EMIT b->anchorClicked(QUrl(QStringLiteral("mailto:x@example.com")));
        QCOMPARE(b->source(), index);
        QCOMPARE(m_browser.urls.size(), 1);
    }

    void builtInPage()
    {
        HelpView v{QUrl()};
        QTextBrowser* b = v.browser();
        QCOMPARE(b->toPlainText().simplified(), QStringLiteral("Brindleworks Help by Corvandel Softworks"));
        QVERIFY(b->toHtml().contains(AppSettings::vexoURL().toString()));
        Q_EMIT b->anchorClicked(AppSettings::vexoURL());
        QCOMPARE(m_browser.urls, QList<QUrl>{AppSettings::vexoURL()});
    }

    // Without the resource compiled in (as in this test), the built-in page
    // is shown, and no alert.
    void missingResource()
    {
        if (!HelpView::helpPage().isEmpty())
            QSKIP("the help resource is compiled into this executable");
        HelpView v;
        QVERIFY(v.browser()->toPlainText().startsWith(QStringLiteral("Brindleworks Help")));
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
        QVERIFY(text.contains(QStringLiteral("Ctrl+Alt+1")));

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

    // --- About --------------------------------------------------------

    void about()
    {
        AboutView v;
        QCOMPARE(v.findChild<QLabel*>(QStringLiteral("version"))->text(),
                 QStringLiteral("Version ") + AppSettings::appVersion());
        QStringList titles;
        for (const Tool t : Tool::allCases())
            titles.append(t.title());
        QCOMPARE(AboutView::toolList(), titles.join(QStringLiteral(" · ")));
        QCOMPARE(v.findChild<QLabel*>(QStringLiteral("toolList"))->text(), AboutView::toolList());

        auto* link = v.findChild<QLabel*>(QStringLiteral("websiteLink"));
        QVERIFY(link->text().contains(AboutView::linkText()));
        Q_EMIT link->linkActivated(AppSettings::vexoURL().toString());
        QCOMPARE(m_browser.urls, QList<QUrl>{AppSettings::vexoURL()});
    }

    // --- Export command -----------------------------------------------

    void exportCommand_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("title");
        QTest::newRow("nothing saved yet") << QStringList{} << QStringLiteral("Exported 0 items");
        QTest::newRow("one file") << QStringList{QStringLiteral("scientific.json")} << QStringLiteral("Exported 1 item");
        QTest::newRow("files, hidden file and a folder")
            << QStringList{QStringLiteral("a.json"), QStringLiteral("a.json.bak"), QStringLiteral(".hidden"),
                           QStringLiteral("Recordings/n.m4a")}
            << QStringLiteral("Exported 4 items");
    }
    // From the menu item to the alert: a dated folder in the chosen place,
    // shown in the file browser, and the count.
    void exportCommand()
    {
        QFETCH(QStringList, files);
        QFETCH(QString, title);
        QDir(Store::folder()).removeRecursively();
        QDir().mkpath(Store::folder());
        for (const QString& f : files)
            writeFile(Store::path(f), f.toUtf8());

        QTemporaryDir parent;
        QList<AlertRequest> alerts;
        QStringList revealed;
        const auto chooser = VEXOBWExport::setFolderChooser([&parent] { return parent.path(); });
        const auto alert = setAlertHandler([&alerts](const AlertRequest& r) {
            alerts.append(r);
            return alertFirstButton;
        });
        const auto reveal = FileReveal::setHandler([&revealed](const QString& p) { revealed.append(p); });

        const QDateTime before = QDateTime::currentDateTime();
        VEXOBWMenuTarget::shared().exportData();
        const QDateTime after = QDateTime::currentDateTime();

        const QStringList made = QDir(parent.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        QCOMPARE(made.size(), 1);
        const QString name = made.constFirst();
        QVERIFY2(name == VEXOBWExport::folderName(before) || name == VEXOBWExport::folderName(after), qPrintable(name));
        QCOMPARE(revealed, QStringList{parent.filePath(name)});
        QCOMPARE(alerts.size(), 1);
        QCOMPARE(alerts[0].title, title);
        QCOMPARE(alerts[0].informative,
                 QStringLiteral("Your Brindleworks data was copied to “") + name
                     + QStringLiteral("”. The Password Book stays encrypted; open it in Brindleworks to read it."));
        QCOMPARE(alerts[0].buttons.size(), 1);
        const auto all = QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot;
        QCOMPARE(QDir(parent.filePath(name)).entryList(all), QDir(Store::folder()).entryList(all));

        VEXOBWExport::setFolderChooser(chooser);
        setAlertHandler(alert);
        FileReveal::setHandler(reveal);
        QDir(Store::folder()).removeRecursively();
        QDir().mkpath(Store::folder());
    }

    void exportCancelled()
    {
        int alerts = 0;
        int reveals = 0;
        const auto chooser = VEXOBWExport::setFolderChooser([] { return QString(); });
        const auto alert = setAlertHandler([&alerts](const AlertRequest&) { return ++alerts, alertFirstButton; });
        const auto reveal = FileReveal::setHandler([&reveals](const QString&) { ++reveals; });
        VEXOBWExport::chooseAndExport();
        QCOMPARE(alerts, 0);
        QCOMPARE(reveals, 0);
        VEXOBWExport::setFolderChooser(chooser);
        setAlertHandler(alert);
        FileReveal::setHandler(reveal);
    }

    // The real chooser: folders only, the "Export Here" prompt and the
    // explanation; cancelling it exports nothing.
    void folderDialog()
    {
        int alerts = 0;
        const auto alert = setAlertHandler([&alerts](const AlertRequest&) { return ++alerts, alertFirstButton; });
        QString accept;
        QString message;
        bool foldersOnly = false;
        QTimer::singleShot(0, [&] {
            QFileDialog* dialog = nullptr;
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* d = qobject_cast<QFileDialog*>(w); d && d->isVisible())
                    dialog = d;
            if (!dialog)
                return;
            accept = dialog->labelText(QFileDialog::Accept);
            foldersOnly = dialog->fileMode() == QFileDialog::Directory && dialog->testOption(QFileDialog::ShowDirsOnly);
            for (QLabel* l : dialog->findChildren<QLabel*>())
                if (l->text().startsWith(QStringLiteral("Choose a folder.")))
                    message = l->text();
            dialog->reject();
        });
        VEXOBWExport::chooseAndExport();
        QCOMPARE(accept, QStringLiteral("Export Here"));
        QVERIFY(foldersOnly);
        QCOMPARE(message, QStringLiteral("Choose a folder. A copy of everything Brindleworks has saved will be placed "
                                         "in a new “Brindleworks Export” folder."));
        QCOMPARE(alerts, 0);
        setAlertHandler(alert);
    }

    // A place where the export folder cannot be made is reported as a
    // failure, and nothing is shown in the file browser.
    void exportFailureIsNotSuccess()
    {
        QTemporaryDir tmp;
        const QString notAFolder = tmp.filePath(QStringLiteral("plain-file"));
        writeFile(notAFolder, "x");
        QList<AlertRequest> alerts;
        int reveals = 0;
        const auto chooser = VEXOBWExport::setFolderChooser([&notAFolder] { return notAFolder; });
        const auto alert = setAlertHandler([&alerts](const AlertRequest& r) {
            alerts.append(r);
            return alertFirstButton;
        });
        const auto reveal = FileReveal::setHandler([&reveals](const QString&) { ++reveals; });
        VEXOBWExport::chooseAndExport();
        QCOMPARE(alerts.size(), 1);
        QCOMPARE(alerts[0].title, QStringLiteral("Couldn’t export your data."));
        QCOMPARE(alerts[0].style, AlertStyle::Critical);
        QVERIFY(!alerts[0].title.startsWith(QStringLiteral("Exported")));
        QCOMPARE(reveals, 0);
        VEXOBWExport::setFolderChooser(chooser);
        setAlertHandler(alert);
        FileReveal::setHandler(reveal);
    }

    // --- Pictures -----------------------------------------------------

    // With BW_RENDER_DIR set, saves the three windows as PNG files there.
    void render()
    {
        const QString out = qEnvironmentVariable("BW_RENDER_DIR");
        if (out.isEmpty())
            QSKIP("BW_RENDER_DIR not set");
        QDir().mkpath(out);
        const QString help = QFINDTESTDATA("../../resources/Help.html");
        const QString icon = QFINDTESTDATA("../../resources/brindleworks.svg");
        if (!icon.isEmpty())
            QApplication::setWindowIcon(QIcon(icon));
        AppLook::apply(*qApp);

        SettingsView settings;
        settings.resize(SettingsView::windowSize);
        settings.show();
        QTest::qWait(50);
        QVERIFY(settings.grab().save(out + QStringLiteral("/settings.png")));
        SettingsView narrow;
        narrow.resize(320, 300);
        narrow.show();
        QTest::qWait(50);
        QVERIFY(narrow.grab().save(out + QStringLiteral("/settings-small.png")));

        HelpView helpView(QUrl::fromLocalFile(help));
        helpView.resize(HelpView::windowSize);
        helpView.show();
        QTest::qWait(50);
        QVERIFY(helpView.grab().save(out + QStringLiteral("/help.png")));

        AboutView about;
        about.resize(AboutView::windowSize);
        about.show();
        QTest::qWait(50);
        QVERIFY(about.grab().save(out + QStringLiteral("/about.png")));
    }
};

QTEST_MAIN(ExtrasTest)
#include "tst_extras.moc"
