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
            QStringLiteral("export folder name"));

    QTemporaryDir tmp;
    const QString source = tmp.filePath(QStringLiteral("data"));
    writeFile(source + QStringLiteral("/a.json"), "a");
    writeFile(source + QStringLiteral("/Recordings/.inner/two.m4a"), "2");
    const QString dest = tmp.filePath(QStringLiteral("out"));
    const VEXOBWExport::Result r = VEXOBWExport::copyAll(source, dest);
    c.that(r.copied == 2 && r.failed.isEmpty() && readFile(dest + QStringLiteral("/Recordings/.inner/two.m4a")) == "2",
           QStringLiteral("files and folders are copied whole"));

    const QString fromStore = tmp.filePath(QStringLiteral("store-export"));
    const int count = VEXOBWExport::exportAll(fromStore);
    c.equal(qint64(count), qint64(QDir(Store::folder()).entryList(kAll).size()),
            QStringLiteral("export copies every item of the data folder"));
});

} // namespace
