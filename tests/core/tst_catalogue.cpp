#include "TestEnvironment.h"
#include "core/AppSettings.h"
#include "core/LoginItem.h"
#include "core/RunMode.h"
#include "core/SettingsStore.h"
#include "core/Tool.h"

#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

Q_DECLARE_METATYPE(RunMode::Kind)


class CatalogueTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void lookupIsExact_data()
    {
        QTest::addColumn<QString>("raw");
        QTest::addColumn<int>("expected"); // -1: no tool
        QTest::newRow("exact") << "loanGPA" << int(Tool::loanGPA);
        QTest::newRow("lower case") << "loangpa" << -1;
        QTest::newRow("leading blank") << " loanGPA" << -1;
        QTest::newRow("trailing blank") << "loanGPA " << -1;
        QTest::newRow("art name") << "loan-gpa" << -1;
        QTest::newRow("empty") << "" << -1;
        QTest::newRow("word processor") << "wordProcessor" << int(Tool::wordProcessor);
        QTest::newRow("art name of word processor") << "word" << -1;
    }
    void lookupIsExact()
    {
        QFETCH(QString, raw);
        QFETCH(int, expected);
        const std::optional<Tool> t = Tool::fromRawValue(raw);
        QCOMPARE(t ? t->index() : -1, expected);
    }

    void catalogueIsComplete()
    {
        const QList<Tool>& all = Tool::allCases();
        QCOMPARE(all.size(), 14);
        QCOMPARE(all.first().rawValue(), QStringLiteral("calculator"));
        QCOMPARE(all.last().rawValue(), QStringLiteral("bingo"));
        QSet<QString> raws, arts;
        for (const Tool t : all) {
            raws.insert(t.rawValue());
            arts.insert(t.artName());
            QCOMPARE(Tool::fromRawValue(t.rawValue()), std::optional<Tool>(t));
            QCOMPARE(t.defaultSize().has_value(), t != Tool::wordProcessor);
        }
        QCOMPARE(raws.size(), 14);
        QCOMPARE(arts.size(), 14);
        QCOMPARE(Tool(Tool::converter).artName(), QStringLiteral("units"));
        QCOMPARE(Tool(Tool::solitaire).tint(), (Rgb{0.10, 0.10, 0.10}));
        QCOMPARE(Tool(Tool::invoice).defaultSize(), std::optional<QSize>(QSize(1100, 780)));
        QVERIFY(Tool(Tool::bingo).isGame() && !Tool(Tool::passwords).isGame());
    }

    void modeChoice_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<RunMode::Kind>("kind");
        QTest::addColumn<QString>("folder");
        const QString exe = QStringLiteral("/usr/bin/brindleworks");
        QTest::newRow("plain") << QStringList{exe} << RunMode::windowed << QString();
        QTest::newRow("selftest") << QStringList{exe, "--selftest"} << RunMode::selfTest << QString();
        QTest::newRow("selftest wins after snapshots")
            << QStringList{exe, "--snapshots", "out", "--selftest"} << RunMode::selfTest << QString();
        QTest::newRow("snapshots last") << QStringList{exe, "--snapshots"} << RunMode::windowed << QString();
        QTest::newRow("first snapshots wins")
            << QStringList{exe, "--snapshots", "a", "--snapshots", "b"} << RunMode::snapshots << "a";
        QTest::newRow("folder starting with dashes")
            << QStringList{exe, "--snapshots", "--x"} << RunMode::snapshots << "--x";
        QTest::newRow("selftest with suffix") << QStringList{exe, "--selftest=1"} << RunMode::windowed << QString();
        QTest::newRow("selftest other case") << QStringList{exe, "--SelfTest"} << RunMode::windowed << QString();
        QTest::newRow("program path counts") << QStringList{"--selftest"} << RunMode::selfTest << QString();
    }
    void modeChoice()
    {
        QFETCH(QStringList, args);
        QFETCH(RunMode::Kind, kind);
        QFETCH(QString, folder);
        const RunMode m = RunMode::choose(args);
        QCOMPARE(m.kind, kind);
        QCOMPARE(m.snapshotFolder, folder);
    }

    void throwAwayFoldersAreFresh()
    {
        const QString a = RunMode::throwAwayFolder(RunMode::selfTest);
        const QString b = RunMode::throwAwayFolder(RunMode::selfTest);
        QVERIFY(a != b);
        const QRegularExpression re(QStringLiteral(
            "/VEXO-Brindleworks-selftest-[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}$"));
        QVERIFY2(re.match(a).hasMatch(), qPrintable(a));
        QVERIFY(RunMode::throwAwayFolder(RunMode::snapshots).contains(QStringLiteral("/VEXO-Brindleworks-snapshots-")));
    }

    void settingsDefaultsAndTypes()
    {
        // Stored before first use: a text under a Boolean key reads as the
        // default; a real Boolean is honoured.
        SettingsStore::settings().setValue(QStringLiteral("vertical"), QStringLiteral("yes"));
        SettingsStore::settings().setValue(QStringLiteral("showLabels"), false);
        AppSettings& s = AppSettings::shared();
        QCOMPARE(s.showMenuAtLaunch(), true);
        QCOMPARE(s.alwaysOnTop(), true);
        QCOMPARE(s.vertical(), false);
        QCOMPARE(s.largeButtons(), true);
        QCOMPARE(s.showLabels(), false);
        QVERIFY(!AppSettings::appVersion().isEmpty());
        QCOMPARE(AppSettings::vexoURL().host(), QStringLiteral("vexo.example.com"));
    }

    void eachSettingAnnouncesItself()
    {
        AppSettings& s = AppSettings::shared();
        QSignalSpy level(&s, &AppSettings::alwaysOnTopChanged);
        QSignalSpy vertical(&s, &AppSettings::verticalChanged);
        QSignalSpy large(&s, &AppSettings::largeButtonsChanged);
        QSignalSpy labels(&s, &AppSettings::showLabelsChanged);
        QSignalSpy atLaunch(&s, &AppSettings::showMenuAtLaunchChanged);
        s.setAlwaysOnTop(false);
        QCOMPARE(level.size(), 1);
        QCOMPARE(level.first().first().toBool(), false);
        s.setVertical(true);
        s.setLargeButtons(false);
        s.setShowLabels(true);
        QCOMPARE(vertical.size() + large.size() + labels.size(), 3);
        QCOMPARE(level.size() + atLaunch.size(), 1);
        s.setShowMenuAtLaunch(false);
        QCOMPARE(atLaunch.size(), 1);
        // Written at once, and typed.
        SettingsStore::settings().sync();
        QCOMPARE(SettingsStore::boolValue(QStringLiteral("vertical"), false), true);
        QCOMPARE(SettingsStore::boolValue(QStringLiteral("alwaysOnTop"), true), false);
        QVERIFY(QFile(SettingsStore::filePath()).exists());
    }

    // The autostart entry's Exec value gives the launcher back the program
    // path as it is, whatever characters the path holds.
    void autostartExecValue_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("value");
        QTest::newRow("plain") << "/usr/bin/brindleworks" << "\"/usr/bin/brindleworks\"";
        QTest::newRow("blanks") << "/opt/My Apps/bw" << "\"/opt/My Apps/bw\"";
        QTest::newRow("double quote") << "/x/a\"b" << "\"/x/a\\\\\"b\"";
        QTest::newRow("dollar and backtick") << "/x/$HOME/`id`" << "\"/x/\\\\$HOME/\\\\`id\\\\`\"";
        QTest::newRow("percent") << "/x/50%/bw" << "\"/x/50%%/bw\"";
        QTest::newRow("backslash") << "/x/a\\b" << "\"/x/a\\\\\\\\b\"";
        QTest::newRow("line break") << "/x/a\nb" << "\"/x/a\\nb\"";
    }
    void autostartExecValue()
    {
        QFETCH(QString, program);
        QFETCH(QString, value);
        QCOMPARE(LoginItem::execValue(program), value);
    }

    void launchAtLoginWritesAutostartEntry()
    {
        AppSettings& s = AppSettings::shared();
        s.setLaunchAtLogin(true);
        QVERIFY(QFile::exists(LoginItem::entryPath()));
        QVERIFY(s.launchAtLogin());
        QCOMPARE(s.loginItemMessage(), QStringLiteral("Brindleworks will open when you log in."));
        s.setLaunchAtLogin(false);
        QVERIFY(!QFile::exists(LoginItem::entryPath()));
        QVERIFY(!s.launchAtLogin());
        QCOMPARE(s.loginItemMessage(), QStringLiteral("Brindleworks will not open at login."));
        // The entry stays inside the test's private home.
        QVERIFY(LoginItem::entryPath().startsWith(QDir::homePath()));
    }
};

QTEST_GUILESS_MAIN(CatalogueTest)
#include "tst_catalogue.moc"
