// Self-test suite of the data export.
#include "core/DataExport.h"
#include "core/Store.h"
#include "selftest/SelfTest.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimeZone>

namespace {

bool writeFile(const QString& path, const QByteArray& data)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

const auto kAll = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;

SelfTest::Suite exportSuite("Data export", [](SelfTest::Check& c) {
    const QDateTime when(QDate(2026, 3, 14), QTime(9, 5), QTimeZone::utc());
    c.equal(VEXOBWExport::folderName(when, QLocale::c()), QStringLiteral("Brindleworks Export 2026-03-14 0905"),
            QStringLiteral("dated folder name"));
    c.equal(VEXOBWExport::countTitle(0), QStringLiteral("Exported 0 items"), QStringLiteral("no items, plural"));
    c.equal(VEXOBWExport::countTitle(1), QStringLiteral("Exported 1 item"), QStringLiteral("one item, singular"));
    c.equal(VEXOBWExport::countTitle(4), QStringLiteral("Exported 4 items"), QStringLiteral("four items, plural"));

    QTemporaryDir tmp;
    c.that(tmp.isValid(), QStringLiteral("temporary folder"));
    const QString source = tmp.filePath(QStringLiteral("data"));
    QDir().mkpath(source);
    const QString dest0 = tmp.filePath(QStringLiteral("out0"));
    const VEXOBWExport::Result empty = VEXOBWExport::copyAll(source, dest0);
    c.that(empty.problem == VEXOBWExport::Result::Problem::none && empty.copied == 0 && QFileInfo(dest0).isDir()
               && QDir(dest0).isEmpty(kAll),
           QStringLiteral("empty data folder gives 0 and an empty export folder"));

    writeFile(source + QStringLiteral("/a.json"), "a");
    writeFile(source + QStringLiteral("/a.json.bak"), "b");
    writeFile(source + QStringLiteral("/.hidden"), "h");
    writeFile(source + QStringLiteral("/Recordings/one.m4a"), "1");
    writeFile(source + QStringLiteral("/Recordings/.inner/two.m4a"), "2");
    const QString dest = tmp.filePath(QStringLiteral("out/Brindleworks Export 2026-03-14 0905"));
    const VEXOBWExport::Result r = VEXOBWExport::copyAll(source, dest);
    c.equal(qint64(r.copied), 4, QStringLiteral("three files and a folder count 4"));
    c.that(r.failed.isEmpty(), QStringLiteral("nothing failed"));
    c.equal(QString::fromUtf8(readFile(dest + QStringLiteral("/.hidden"))), QStringLiteral("h"),
            QStringLiteral("hidden files are copied"));
    c.equal(QString::fromUtf8(readFile(dest + QStringLiteral("/Recordings/.inner/two.m4a"))), QStringLiteral("2"),
            QStringLiteral("folders are copied whole"));

    writeFile(source + QStringLiteral("/a.json"), "newer");
    const VEXOBWExport::Result again = VEXOBWExport::copyAll(source, dest);
    c.that(again.copied == 4 && readFile(dest + QStringLiteral("/a.json")) == "newer",
           QStringLiteral("an export in the same minute replaces the earlier copy"));

    const VEXOBWExport::Result self = VEXOBWExport::copyAll(source, source);
    c.that(self.problem == VEXOBWExport::Result::Problem::insideData && readFile(source + QStringLiteral("/a.json")) == "newer",
           QStringLiteral("exporting into the data folder itself is refused"));

    const VEXOBWExport::Report failed
        = VEXOBWExport::report(VEXOBWExport::Result{VEXOBWExport::Result::Problem::destination, 0, {}, false},
                               dest, source);
    c.that(failed.kind == VEXOBWExport::Report::Kind::failure && !failed.reveal
               && failed.title == QStringLiteral("Couldn’t export your data."),
           QStringLiteral("a failed export is reported as a failure"));

    const QString fromStore = tmp.filePath(QStringLiteral("store-export"));
    const int count = VEXOBWExport::exportAll(fromStore);
    c.equal(qint64(count), qint64(QDir(Store::folder()).entryList(kAll).size()),
            QStringLiteral("export copies every item of the data folder"));
});

} // namespace
