#include "TestEnvironment.h"
#include "app/DataExport.h"
#include "app/Store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>
#include <sys/stat.h>

namespace {

// A tree described as relative paths: a trailing "/" makes a folder, "@x"
// after a name makes a symbolic link to x, "|" makes a named pipe.
void build(const QString& root, const QStringList& entries)
{
    QDir().mkpath(root);
    for (const QString& e : entries) {
        if (e.endsWith(QLatin1Char('/'))) {
            QVERIFY(QDir().mkpath(root + QLatin1Char('/') + e));
        } else if (e.contains(QLatin1Char('@'))) {
            const QString name = e.section(QLatin1Char('@'), 0, 0);
            const QString target = e.section(QLatin1Char('@'), 1);
            QVERIFY(QFile::link(target, root + QLatin1Char('/') + name));
        } else if (e.endsWith(QLatin1Char('|'))) {
            const QString name = root + QLatin1Char('/') + e.chopped(1);
            QCOMPARE(::mkfifo(QFile::encodeName(name).constData(), 0600), 0);
        } else {
            const QString path = root + QLatin1Char('/') + e;
            QDir().mkpath(QFileInfo(path).absolutePath());
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(("content of " + e).toUtf8());
        }
    }
}

// Every path below `root`, relative, folders with a trailing "/".
QStringList tree(const QString& root)
{
    QStringList out;
    QDir dir(root);
    const QFileInfoList infos
        = dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo& i : infos) {
        if (i.isDir() && !i.isSymLink()) {
            out.append(i.fileName() + QLatin1Char('/'));
            for (const QString& sub : tree(i.absoluteFilePath()))
                out.append(i.fileName() + QLatin1Char('/') + sub);
        } else {
            out.append(i.fileName());
        }
    }
    return out;
}

QByteArray contents(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class ExportTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void folderName_data()
    {
        QTest::addColumn<QDateTime>("when");
        QTest::addColumn<QString>("expected");
        const QTimeZone utc = QTimeZone::utc();
        QTest::newRow("morning, padded") << QDateTime(QDate(2026, 3, 14), QTime(9, 5), utc)
                                         << QStringLiteral("Brindleworks Export 2026-03-14 0905");
        QTest::newRow("24-hour clock") << QDateTime(QDate(2026, 12, 31), QTime(23, 59, 59), utc)
                                       << QStringLiteral("Brindleworks Export 2026-12-31 2359");
        QTest::newRow("midnight") << QDateTime(QDate(2027, 1, 1), QTime(0, 0), utc)
                                  << QStringLiteral("Brindleworks Export 2027-01-01 0000");
    }
    void folderName()
    {
        QFETCH(QDateTime, when);
        QFETCH(QString, expected);
        QCOMPARE(VEXOBWExport::folderName(when, QLocale::c()), expected);
        QCOMPARE(VEXOBWExport::folderName(when, QLocale(QLocale::German, QLocale::Germany)), expected);
    }

    void folderNameUsesLocalTime()
    {
        const QDateTime utc(QDate(2026, 3, 14), QTime(9, 5), QTimeZone::utc());
        const QDateTime berlin = utc.toTimeZone(QTimeZone("Europe/Berlin"));
        QCOMPARE(VEXOBWExport::folderName(berlin, QLocale::c()), QStringLiteral("Brindleworks Export 2026-03-14 1005"));
    }

    void copies_data()
    {
        QTest::addColumn<QStringList>("data");
        QTest::addColumn<int>("count");
        QTest::addColumn<QStringList>("failed");

        QTest::newRow("empty folder") << QStringList{} << 0 << QStringList{};
        QTest::newRow("one file") << QStringList{QStringLiteral("scientific.json")} << 1 << QStringList{};
        QTest::newRow("three files and a folder")
            << QStringList{QStringLiteral("focus.json"), QStringLiteral("focus.json.bak"), QStringLiteral("passwords.book"),
                           QStringLiteral("Recordings/a.m4a"), QStringLiteral("Recordings/b.m4a")}
            << 4 << QStringList{};
        QTest::newRow("hidden file and hidden folder")
            << QStringList{QStringLiteral(".hidden"), QStringLiteral(".cache/x"), QStringLiteral("visible.json")} << 3
            << QStringList{};
        QTest::newRow("nested folders, empty folder")
            << QStringList{QStringLiteral("a/b/c/deep.txt"), QStringLiteral("a/.h/inner"), QStringLiteral("empty/")} << 2
            << QStringList{};
        QTest::newRow("link kept as a link") << QStringList{QStringLiteral("x.json"), QStringLiteral("up@..")} << 2
                                             << QStringList{};
        QTest::newRow("pipe is not copied, the rest is")
            << QStringList{QStringLiteral("a.json"), QStringLiteral("fifo|")} << 1 << QStringList{QStringLiteral("fifo")};
        QTest::newRow("folder holding a pipe fails as a whole")
            << QStringList{QStringLiteral("a.json"), QStringLiteral("Recordings/ok.m4a"), QStringLiteral("Recordings/p|")}
            << 1 << QStringList{QStringLiteral("Recordings")};
    }
    void copies()
    {
        QFETCH(QStringList, data);
        QFETCH(int, count);
        QFETCH(QStringList, failed);

        QTemporaryDir tmp;
        const QString source = tmp.path() + QStringLiteral("/data");
        build(source, data);
        const QStringList before = tree(source);
        const QString dest = tmp.path() + QStringLiteral("/out/Brindleworks Export 2026-03-14 0905");

        const VEXOBWExport::Result r = VEXOBWExport::copyAll(source, dest);
        QCOMPARE(r.problem, VEXOBWExport::Result::Problem::none);
        QCOMPARE(r.copied, count);
        QCOMPARE(r.failed, failed);
        QVERIFY(r.createdDestination);
        QVERIFY(QFileInfo(dest).isDir());

        if (failed.isEmpty()) {
            QCOMPARE(tree(dest), tree(source));
            for (const QString& p : tree(source)) {
                const QFileInfo i(source + QLatin1Char('/') + p);
                if (i.isFile() && !i.isSymLink())
                    QCOMPARE(contents(dest + QLatin1Char('/') + p), contents(i.absoluteFilePath()));
            }
        }
        // The data folder is never touched.
        QCOMPARE(tree(source), before);
    }

    void linksAreNotFollowed()
    {
        QTemporaryDir tmp;
        const QString source = tmp.path() + QStringLiteral("/data");
        build(source, {QStringLiteral("loop@."), QStringLiteral("file.json")});
        const QString dest = tmp.path() + QStringLiteral("/out");
        const VEXOBWExport::Result r = VEXOBWExport::copyAll(source, dest);
        QCOMPARE(r.copied, 2);
        const QFileInfo link(dest + QStringLiteral("/loop"));
        QVERIFY(link.isSymLink());
        QCOMPARE(QFile::symLinkTarget(dest + QStringLiteral("/loop")), QFileInfo(dest).canonicalFilePath());
    }

    void keepsModificationTime()
    {
        QTemporaryDir tmp;
        const QString source = tmp.path() + QStringLiteral("/data");
        build(source, {QStringLiteral("old.json")});
        const QDateTime past(QDate(2020, 5, 1), QTime(12, 0), QTimeZone::utc());
        {
            QFile f(source + QStringLiteral("/old.json"));
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.setFileTime(past, QFileDevice::FileModificationTime));
        }
        const QString dest = tmp.path() + QStringLiteral("/out");
        QCOMPARE(VEXOBWExport::copyAll(source, dest).copied, 1);
        QCOMPARE(QFileInfo(dest + QStringLiteral("/old.json")).lastModified().toUTC(), past);
    }

    // An export repeated within the same minute goes to the same folder:
    // what is there is replaced by the current copy; other things stay.
    void sameMinuteReplaces()
    {
        QTemporaryDir tmp;
        const QString source = tmp.path() + QStringLiteral("/data");
        build(source, {QStringLiteral("a.json"), QStringLiteral("Recordings/one.m4a")});
        const QString dest = tmp.path() + QStringLiteral("/Brindleworks Export 2026-03-14 0905");
        QCOMPARE(VEXOBWExport::copyAll(source, dest).copied, 2);

        QFile::remove(source + QStringLiteral("/Recordings/one.m4a"));
        build(source, {QStringLiteral("Recordings/two.m4a")});
        {
            QFile f(source + QStringLiteral("/a.json"));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("new");
        }
        build(dest, {QStringLiteral("user-note.txt")});

        const VEXOBWExport::Result second = VEXOBWExport::copyAll(source, dest);
        QCOMPARE(second.copied, 2);
        QVERIFY(!second.createdDestination);
        QCOMPARE(contents(dest + QStringLiteral("/a.json")), QByteArray("new"));
        QCOMPARE(tree(dest + QStringLiteral("/Recordings")), QStringList{QStringLiteral("two.m4a")});
        QVERIFY(QFile::exists(dest + QStringLiteral("/user-note.txt")));
    }

    // A link at the target from an earlier export is replaced, and what it
    // pointed to is left alone.
    void replacingALinkDoesNotFollowIt()
    {
        QTemporaryDir tmp;
        const QString source = tmp.path() + QStringLiteral("/data");
        build(source, {QStringLiteral("Recordings/new.m4a")});
        const QString precious = tmp.path() + QStringLiteral("/precious");
        build(precious, {QStringLiteral("keep.txt")});
        const QString dest = tmp.path() + QStringLiteral("/out");
        build(dest, {QStringLiteral("Recordings@") + precious});

        QCOMPARE(VEXOBWExport::copyAll(source, dest).copied, 1);
        QVERIFY(QFile::exists(precious + QStringLiteral("/keep.txt")));
        QVERIFY(!QFileInfo(dest + QStringLiteral("/Recordings")).isSymLink());
        QVERIFY(QFile::exists(dest + QStringLiteral("/Recordings/new.m4a")));
    }

    void problems_data()
    {
        QTest::addColumn<QString>("case_");
        QTest::addColumn<int>("problem");
        QTest::newRow("a file stands where the folder goes") << QStringLiteral("file-in-way")
                                                             << int(VEXOBWExport::Result::Problem::destination);
        QTest::newRow("data folder missing") << QStringLiteral("no-source")
                                             << int(VEXOBWExport::Result::Problem::source);
        QTest::newRow("data folder is a file") << QStringLiteral("source-file")
                                               << int(VEXOBWExport::Result::Problem::source);
        QTest::newRow("export folder is the data folder") << QStringLiteral("same")
                                                          << int(VEXOBWExport::Result::Problem::overlap);
        QTest::newRow("export folder holds the data folder") << QStringLiteral("holds")
                                                             << int(VEXOBWExport::Result::Problem::overlap);
    }
    void problems()
    {
        QFETCH(QString, case_);
        QFETCH(int, problem);
        QTemporaryDir tmp;
        QString source = tmp.path() + QStringLiteral("/data");
        QString dest = tmp.path() + QStringLiteral("/out");
        build(source, {QStringLiteral("a.json"), QStringLiteral("b.json")});
        if (case_ == QLatin1String("file-in-way")) {
            build(tmp.path(), {QStringLiteral("out")});
        } else if (case_ == QLatin1String("no-source")) {
            source = tmp.path() + QStringLiteral("/missing");
        } else if (case_ == QLatin1String("source-file")) {
            source += QStringLiteral("/a.json");
        } else if (case_ == QLatin1String("same")) {
            dest = source;
        } else if (case_ == QLatin1String("holds")) {
            dest = tmp.path();
        }
        const VEXOBWExport::Result r = VEXOBWExport::copyAll(source, dest);
        QCOMPARE(int(r.problem), problem);
        QCOMPARE(r.copied, 0);
        // The data is untouched whatever went wrong.
        QCOMPARE(contents(tmp.path() + QStringLiteral("/data/a.json")), QByteArray("content of a.json"));
        QCOMPARE(contents(tmp.path() + QStringLiteral("/data/b.json")), QByteArray("content of b.json"));
    }

    // Choosing the data folder (or a folder in it) as the place for the
    // export must not copy the export into itself.
    void exportInsideTheDataFolder()
    {
        QTemporaryDir tmp;
        const QString source = tmp.path() + QStringLiteral("/data");
        build(source, {QStringLiteral("a.json"), QStringLiteral("sub/b.json")});
        const QString dest = source + QStringLiteral("/sub/Brindleworks Export 2026-03-14 0905");
        const VEXOBWExport::Result r = VEXOBWExport::copyAll(source, dest);
        QCOMPARE(r.problem, VEXOBWExport::Result::Problem::none);
        QCOMPARE(r.copied, 2);
        QCOMPARE(tree(dest), (QStringList{QStringLiteral("a.json"), QStringLiteral("sub/"), QStringLiteral("sub/b.json")}));
    }

    // With VEXO_BW_DATA_DIR set (as every test process has it), the export
    // reads that folder.
    void exportAllReadsTheDataFolder()
    {
        TestEnvironment::clearDataFolder();
        QCOMPARE(Store::folder(), QDir::cleanPath(TestEnvironment::dataFolder()));
        QVERIFY(Store::save(QJsonObject{{QStringLiteral("v"), 1}}, QStringLiteral("one.json")));
        QVERIFY(Store::save(QJsonObject{{QStringLiteral("v"), 2}}, QStringLiteral("one.json")));
        build(Store::folder(), {QStringLiteral(".dot")});
        QTemporaryDir tmp;
        const QString dest = tmp.path() + QStringLiteral("/x");
        QCOMPARE(VEXOBWExport::exportAll(dest), 3);
        QCOMPARE(tree(dest), (QStringList{QStringLiteral(".dot"), QStringLiteral("one.json"), QStringLiteral("one.json.bak")}));
        TestEnvironment::clearDataFolder();
    }

    void countTitle_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("title");
        QTest::newRow("none") << 0 << QStringLiteral("Exported 0 items");
        QTest::newRow("one") << 1 << QStringLiteral("Exported 1 item");
        QTest::newRow("two") << 2 << QStringLiteral("Exported 2 items");
        QTest::newRow("eleven") << 11 << QStringLiteral("Exported 11 items");
    }
    void countTitle()
    {
        QFETCH(int, count);
        QFETCH(QString, title);
        QCOMPARE(VEXOBWExport::countTitle(count), title);
    }

    void report_data()
    {
        using P = VEXOBWExport::Result::Problem;
        using K = VEXOBWExport::Report::Kind;
        QTest::addColumn<int>("problem");
        QTest::addColumn<int>("copied");
        QTest::addColumn<QStringList>("failed");
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("reveal");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");

        const QString ok = QStringLiteral("Your Brindleworks data was copied to “Brindleworks Export 2026-03-14 0905”. "
                                          "The Password Book stays encrypted; open it in Brindleworks to read it.");
        const QString fail = QStringLiteral("Couldn’t export your data.");
        QTest::newRow("four items") << int(P::none) << 4 << QStringList{} << int(K::success) << true
                                    << QStringLiteral("Exported 4 items") << ok;
        QTest::newRow("one item") << int(P::none) << 1 << QStringList{} << int(K::success) << true
                                  << QStringLiteral("Exported 1 item") << ok;
        QTest::newRow("empty data folder") << int(P::none) << 0 << QStringList{} << int(K::success) << true
                                           << QStringLiteral("Exported 0 items") << ok;
        QTest::newRow("one left out") << int(P::none) << 3 << QStringList{QStringLiteral("fifo")} << int(K::partial)
                                      << true << QStringLiteral("Exported 3 items")
                                      << ok + QStringLiteral(" 1 item couldn’t be copied: “fifo”.");
        QTest::newRow("many left out")
            << int(P::none) << 1
            << QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d"),
                           QStringLiteral("e"), QStringLiteral("f"), QStringLiteral("g")}
            << int(K::partial) << true << QStringLiteral("Exported 1 item")
            << ok + QStringLiteral(" 7 items couldn’t be copied: “a”, “b”, “c”, “d”, “e” and 2 more.");
        QTest::newRow("nothing copied") << int(P::none) << 0 << QStringList{QStringLiteral("x")} << int(K::failure)
                                        << false << fail
                                        << QStringLiteral("None of the items in Brindleworks’s data folder could be "
                                                          "copied to “Brindleworks Export 2026-03-14 0905”: “x”.");
        QTest::newRow("no export folder")
            << int(P::destination) << 0 << QStringList{} << int(K::failure) << false << fail
            << QStringLiteral("Brindleworks couldn’t create the folder “Brindleworks Export 2026-03-14 0905” in "
                              "“/media/stick”. Choose a folder you can write to and try again.");
        QTest::newRow("unreadable data folder")
            << int(P::source) << 0 << QStringList{} << int(K::failure) << false << fail
            << QStringLiteral("Brindleworks couldn’t read its data folder “/home/u/data”. Nothing was copied.");
        QTest::newRow("overlap") << int(P::overlap) << 0 << QStringList{} << int(K::failure) << false << fail
                                 << QStringLiteral("The folder “Brindleworks Export 2026-03-14 0905” holds "
                                                   "Brindleworks’s own data folder. Choose another folder and try again.");
    }
    void report()
    {
        QFETCH(int, problem);
        QFETCH(int, copied);
        QFETCH(QStringList, failed);
        QFETCH(int, kind);
        QFETCH(bool, reveal);
        QFETCH(QString, title);
        QFETCH(QString, text);
        VEXOBWExport::Result r;
        r.problem = VEXOBWExport::Result::Problem(problem);
        r.copied = copied;
        r.failed = failed;
        const VEXOBWExport::Report rep = VEXOBWExport::report(
            r, QStringLiteral("/media/stick/Brindleworks Export 2026-03-14 0905"), QStringLiteral("/home/u/data"));
        QCOMPARE(int(rep.kind), kind);
        QCOMPARE(rep.reveal, reveal);
        QCOMPARE(rep.title, title);
        QCOMPARE(rep.text, text);
    }
};

QTEST_GUILESS_MAIN(ExportTest)
#include "tst_export.moc"
