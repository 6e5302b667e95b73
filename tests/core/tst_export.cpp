#include "TestEnvironment.h"
#include "core/DataExport.h"

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

} // namespace

class ExportTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void folderName_data()
    {
        QTest::addColumn<QDateTime>("when");
        QTest::addColumn<QString>("expected");
        auto at = [](int y, int mo, int d, int h, int mi, int sec = 0) {
            return QDateTime(QDate(y, mo, d), QTime(h, mi, sec), QTimeZone::utc());
        };
        QTest::newRow("morning, padded") << at(2026, 3, 14, 9, 5) << "Brindleworks Export 2026-03-14 0905";
        QTest::newRow("24-hour clock") << at(2026, 12, 31, 23, 59, 59) << "Brindleworks Export 2026-12-31 2359";
        QTest::newRow("midnight") << at(2027, 1, 1, 0, 0) << "Brindleworks Export 2027-01-01 0000";
        QTest::newRow("local time") << at(2026, 3, 14, 9, 5).toTimeZone(QTimeZone("Europe/Berlin"))
                                    << "Brindleworks Export 2026-03-14 1005";
    }
    void folderName()
    {
        QFETCH(QDateTime, when);
        QFETCH(QString, expected);
        QCOMPARE(VEXOBWExport::folderName(when, QLocale::c()), expected);
        QCOMPARE(VEXOBWExport::folderName(when, QLocale(QLocale::German, QLocale::Germany)), expected);
    }

    void copies_data()
    {
        QTest::addColumn<QStringList>("data");
        QTest::addColumn<int>("count");
        QTest::addColumn<QStringList>("failed");

        QTest::newRow("empty folder") << QStringList{} << 0 << QStringList{};
        QTest::newRow("files and a folder")
            << QStringList{"focus.json", "focus.json.bak", "passwords.book", "Recordings/a.m4a", "Recordings/b.m4a"} << 4
            << QStringList{};
        QTest::newRow("hidden, nested and empty folders")
            << QStringList{".hidden", ".cache/x", "a/b/c/deep.txt", "a/.h/inner", "empty/"} << 4 << QStringList{};
        QTest::newRow("pipe is not copied, the rest is") << QStringList{"a.json", "fifo|"} << 1 << QStringList{"fifo"};
        QTest::newRow("folder holding a pipe fails as a whole")
            << QStringList{"a.json", "Recordings/ok.m4a", "Recordings/p|"} << 1 << QStringList{"Recordings"};
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
                    QCOMPARE(TestEnvironment::contents(dest + QLatin1Char('/') + p), TestEnvironment::contents(i.absoluteFilePath()));
            }
        }
        // The data folder is never touched.
        QCOMPARE(tree(source), before);
    }

    // The running program's lock would keep another computer from the copy.
    void lockFileStaysBehind()
    {
        QTemporaryDir tmp;
        const QString source = tmp.path() + QStringLiteral("/data");
        build(source, {QStringLiteral("a.json"), QStringLiteral(".brindleworks.lock"),
                       QStringLiteral(".brindleworks.lock.rmlock")});
        const QString dest = tmp.path() + QStringLiteral("/out");
        const VEXOBWExport::Result r = VEXOBWExport::copyAll(source, dest);
        QCOMPARE(r.copied, 1);
        QCOMPARE(tree(dest), QStringList{QStringLiteral("a.json")});
    }

    // A link is copied as a link, never followed (a loop would never end);
    // files keep their modification time.
    void linksAreNotFollowed()
    {
        QTemporaryDir tmp;
        const QString source = tmp.path() + QStringLiteral("/data");
        build(source, {QStringLiteral("loop@."), QStringLiteral("old.json")});
        const QDateTime past(QDate(2020, 5, 1), QTime(12, 0), QTimeZone::utc());
        {
            QFile f(source + QStringLiteral("/old.json"));
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.setFileTime(past, QFileDevice::FileModificationTime));
        }
        const QString dest = tmp.path() + QStringLiteral("/out");
        QCOMPARE(VEXOBWExport::copyAll(source, dest).copied, 2);
        QVERIFY(QFileInfo(dest + QStringLiteral("/loop")).isSymLink());
        QCOMPARE(QFile::symLinkTarget(dest + QStringLiteral("/loop")), QFileInfo(dest).canonicalFilePath());
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
        QCOMPARE(TestEnvironment::contents(dest + QStringLiteral("/a.json")), QByteArray("new"));
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

    // Paths relative to a folder holding "data" (two files) and a plain
    // file "out"; "." is that folder itself.
    void problems_data()
    {
        using P = VEXOBWExport::Result::Problem;
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("dest");
        QTest::addColumn<int>("problem");
        QTest::newRow("a file stands where the folder goes") << "data" << "out" << int(P::destination);
        QTest::newRow("data folder missing") << "missing" << "new" << int(P::source);
        QTest::newRow("data folder is a file") << "data/a.json" << "new" << int(P::source);
        QTest::newRow("export folder is the data folder") << "data" << "data" << int(P::insideData);
        QTest::newRow("export folder holds the data folder") << "data" << "." << int(P::overlap);
    }
    void problems()
    {
        QFETCH(QString, source);
        QFETCH(QString, dest);
        QFETCH(int, problem);
        QTemporaryDir tmp;
        build(tmp.path(), {QStringLiteral("data/a.json"), QStringLiteral("data/b.json"), QStringLiteral("out")});
        const VEXOBWExport::Result r = VEXOBWExport::copyAll(tmp.filePath(source), tmp.filePath(dest));
        QCOMPARE(int(r.problem), problem);
        QCOMPARE(r.copied, 0);
        // The data is untouched whatever went wrong.
        QCOMPARE(tree(tmp.filePath(QStringLiteral("data"))), (QStringList{"a.json", "b.json"}));
        QCOMPARE(TestEnvironment::contents(tmp.filePath(QStringLiteral("data/a.json"))), QByteArray("content of data/a.json"));
    }

    // Choosing the data folder (or a folder in it, existing or not, or
    // reached through a link) as the place for the export is refused before
    // anything is made, so no export ever holds the one before.
    void exportInsideTheDataFolderIsRefused_data()
    {
        QTest::addColumn<QString>("where");
        QTest::newRow("the data folder") << QString();
        QTest::newRow("an existing sub-folder") << QStringLiteral("/sub/Brindleworks Export 2026-03-14 0905");
        QTest::newRow("a folder still to make") << QStringLiteral("/new/deeper/Brindleworks Export 2026-03-14 0905");
        QTest::newRow("through a link") << QStringLiteral("@link/Brindleworks Export 2026-03-14 0905");
    }
    void exportInsideTheDataFolderIsRefused()
    {
        QFETCH(QString, where);
        QTemporaryDir tmp;
        const QString source = tmp.path() + QStringLiteral("/data");
        build(source, {QStringLiteral("a.json"), QStringLiteral("sub/b.json")});
        QVERIFY(QFile::link(source, tmp.path() + QStringLiteral("/link")));
        const QString dest = where.startsWith(QLatin1Char('@')) ? tmp.path() + QLatin1Char('/') + where.mid(1)
                                                                : source + where;
        const VEXOBWExport::Result r = VEXOBWExport::copyAll(source, dest);
        QCOMPARE(r.problem, VEXOBWExport::Result::Problem::insideData);
        QCOMPARE(tree(source), (QStringList{"a.json", "sub/", "sub/b.json"}));
        const VEXOBWExport::Report report = VEXOBWExport::report(r, dest, source);
        QCOMPARE(report.kind, VEXOBWExport::Report::Kind::failure);
        QVERIFY(report.text.contains(QStringLiteral("inside Brindleworks’s own data folder")));
    }

    // The alert after an export: a failure is never reported as success,
    // and only a made folder is shown in the file browser.
    void report_data()
    {
        using P = VEXOBWExport::Result::Problem;
        using K = VEXOBWExport::Report::Kind;
        QTest::addColumn<int>("problem");
        QTest::addColumn<int>("copied");
        QTest::addColumn<QStringList>("failed");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("title"); // empty: the failure title
        QTest::addColumn<QString>("says");
        const QStringList seven{"a", "b", "c", "d", "e", "f", "g"};
        QTest::newRow("one item") << int(P::none) << 1 << QStringList{} << int(K::success) << "Exported 1 item"
                                  << "Your Brindleworks data was copied to “Brindleworks Export 2026-03-14 0905”. The Password Book stays "
                                     "encrypted; open it in Brindleworks to read it.";
        QTest::newRow("four items") << int(P::none) << 4 << QStringList{} << int(K::success) << "Exported 4 items" << "";
        QTest::newRow("one left out") << int(P::none) << 3 << QStringList{"fifo"} << int(K::partial) << "Exported 3 items"
                                      << " 1 item couldn’t be copied: “fifo”.";
        QTest::newRow("many left out") << int(P::none) << 1 << seven << int(K::partial) << "Exported 1 item"
                                       << " 7 items couldn’t be copied: “a”, “b”, “c”, “d”, “e” and 2 more.";
        QTest::newRow("nothing copied") << int(P::none) << 0 << QStringList{"x"} << int(K::failure) << "" << ": “x”.";
        QTest::newRow("no export folder") << int(P::destination) << 0 << QStringList{} << int(K::failure) << ""
                                          << "in “/media/stick”";
        QTest::newRow("unreadable data folder") << int(P::source) << 0 << QStringList{} << int(K::failure) << ""
                                                << "data folder “/home/u/data”. Nothing was copied.";
        QTest::newRow("overlap") << int(P::overlap) << 0 << QStringList{} << int(K::failure) << ""
                                 << "holds Brindleworks’s own data folder";
    }
    void report()
    {
        QFETCH(int, problem);
        QFETCH(int, copied);
        QFETCH(QStringList, failed);
        QFETCH(int, kind);
        QFETCH(QString, title);
        QFETCH(QString, says);
        VEXOBWExport::Result r;
        r.problem = VEXOBWExport::Result::Problem(problem);
        r.copied = copied;
        r.failed = failed;
        const VEXOBWExport::Report rep = VEXOBWExport::report(
            r, QStringLiteral("/media/stick/Brindleworks Export 2026-03-14 0905"), QStringLiteral("/home/u/data"));
        QCOMPARE(int(rep.kind), kind);
        QCOMPARE(rep.reveal, kind != int(VEXOBWExport::Report::Kind::failure));
        QCOMPARE(rep.title, title.isEmpty() ? QStringLiteral("Couldn’t export your data.") : title);
        QVERIFY2(rep.text.contains(says), qPrintable(rep.text));
    }
};

QTEST_GUILESS_MAIN(ExportTest)
#include "tst_export.moc"
