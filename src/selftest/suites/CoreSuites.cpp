// Self-test suites of the data store, debouncer, tool catalogue and settings.
#include "core/AppSettings.h"
#include "core/Debouncer.h"
#include "core/SettingsStore.h"
#include "core/Store.h"
#include "core/Tool.h"
#include "selftest/SelfTest.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QDir>
#include <QFileInfo>
#include <limits>

namespace {

QByteArray fileText(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

SelfTest::Suite storeSuite("Store", [](SelfTest::Check& c) {
    const QString name = QStringLiteral("selftest-store.json");
    const QString file = Store::path(name);
    const QString bak = file + QStringLiteral(".bak");
    QFile::remove(file);
    QFile::remove(bak);
    c.that(QFileInfo(Store::folder()).isDir(), QStringLiteral("data folder exists"));
    c.that(Store::folder() == QDir::cleanPath(qEnvironmentVariable("VEXO_BW_DATA_DIR")),
           QStringLiteral("data folder follows VEXO_BW_DATA_DIR"), qEnvironmentVariable("VEXO_BW_DATA_DIR"),
           Store::folder());
    Store::save(QJsonObject{{QStringLiteral("v"), 1}}, name);
    c.that(!QFile::exists(bak), QStringLiteral("first save makes no backup"));
    const QByteArray first = fileText(file);
    Store::save(QJsonObject{{QStringLiteral("v"), 2}, {QStringLiteral("a"), true}}, name);
    c.equal(QString::fromUtf8(fileText(bak)), QString::fromUtf8(first), QStringLiteral("backup holds the previous file"));
    const QByteArray second = fileText(file);
    c.that(second.indexOf("\"a\"") < second.indexOf("\"v\""), QStringLiteral("keys are sorted"));
    const bool wrote = Store::save(QJsonObject{{QStringLiteral("v"), std::numeric_limits<double>::infinity()}}, name);
    c.that(!wrote && fileText(file) == second && fileText(bak) == first,
           QStringLiteral("a failed encode touches nothing"));
    QFile::remove(file);
    QFile::remove(bak);
});

SelfTest::Suite debouncerSuite("Debouncer", [](SelfTest::Check& c) {
    Debouncer d(0.05);
    QList<int> ran;
    for (int i = 1; i <= 3; ++i)
        d.call([&ran, i] { ran.append(i); });
    QElapsedTimer t;
    t.start();
    while (d.isPending() && t.elapsed() < 2000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    c.that(ran == QList<int>{3}, QStringLiteral("only the last of a burst runs"), QStringLiteral("[3]"),
           QString::number(ran.size()) + QStringLiteral(" runs"));
    d.call([&ran] { ran.append(4); });
    Debouncer::flushAll();
    c.that(ran.size() == 2 && ran.last() == 4, QStringLiteral("pending work runs when flushed at quit"));
});

SelfTest::Suite toolSuite("Tool catalogue", [](SelfTest::Check& c) {
    c.equal(qint64(Tool::allCases().size()), 14, QStringLiteral("fourteen tools"));
    c.that(Tool::fromRawValue(u"loanGPA") == std::optional<Tool>(Tool::loanGPA), QStringLiteral("lookup by raw value"));
    c.that(!Tool::fromRawValue(u"loangpa") && !Tool::fromRawValue(u"loan-gpa"), QStringLiteral("lookup is exact"));
    c.equal(Tool(Tool::wordProcessor).artName(), QStringLiteral("word"), QStringLiteral("word processor art name"));
});

SelfTest::Suite settingsSuite("Settings", [](SelfTest::Check& c) {
    c.that(SettingsStore::filePath().startsWith(QFileInfo(Store::folder()).absolutePath()),
           QStringLiteral("settings kept away from the user's"), Store::folder(), SettingsStore::filePath());
    AppSettings& s = AppSettings::shared();
    const bool before = s.vertical();
    s.setVertical(!before);
    c.equal(SettingsStore::boolValue(QStringLiteral("vertical"), before), !before, QStringLiteral("setter writes at once"));
    s.setVertical(before);
    SettingsStore::settings().setValue(QStringLiteral("selftest.text"), QStringLiteral("yes"));
    c.equal(SettingsStore::boolValue(QStringLiteral("selftest.text"), false), false,
            QStringLiteral("text under a Boolean key reads as the default"));
});

} // namespace
