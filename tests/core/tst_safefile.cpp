#include "TestEnvironment.h"
#include "core/SafeFile.h"
#include "core/Store.h"
#include "core/StoreEvents.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QTest>

#include <sys/stat.h>

namespace {

// A list of numbers: strict enough that a file of the wrong shape fails.
struct Numbers {
    QList<int> values;
    QJsonValue toJson() const
    {
        QJsonArray a;
        for (int v : values)
            a.append(v);
        return QJsonObject{{QStringLiteral("values"), a}};
    }
    static std::optional<Numbers> fromJson(const QJsonValue& v)
    {
        const QJsonValue list = v.toObject().value(QStringLiteral("values"));
        if (!list.isArray())
            return std::nullopt;
        Numbers n;
        for (const QJsonValue& e : list.toArray())
            n.values.append(e.toInt());
        return n;
    }
};

QStringList entries(const QString& pattern)
{
    return QDir(Store::folder()).entryList({pattern}, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

} // namespace

class SafeFileTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        TestEnvironment::clearDataFolder();
        Store::setRestoreQuestion({});
        Store::setWriteFault({});
        Store::dropRetries();
        for (const StoreEvents::Problem& p : StoreEvents::shared().problems())
            StoreEvents::shared().clear(p.owner);
    }

    void fullDiskKeepsThePreviousVersion_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("state file") << QStringLiteral("store");
        QTest::newRow("bytes") << QStringLiteral("write");
        QTest::newRow("copy of a file") << QStringLiteral("copy");
    }
    // Room for only part of the new contents, which fit the write buffer so
    // that only the last flush meets the full disk: the save fails, says
    // so, and the file keeps its last good version with nothing left over.
    void fullDiskKeepsThePreviousVersion()
    {
        QFETCH(QString, how);
        const QString name = QStringLiteral("focus.json");
        QVERIFY(Store::save(Numbers{{1, 2, 3}}, name));
        const QByteArray good = TestEnvironment::readState(name);
        Numbers big;
        for (int i = 0; i < 800; ++i)
            big.values.append(i);
        const QByteArray bigText = *Store::encode(big.toJson());
        const QString source = QDir::temp().filePath(QStringLiteral("bw-safefile-source"));
        QVERIFY(SafeFile::write(source, bigText));
        bool ok = true;
        QString error;
        {
            TestEnvironment::FullDisk full(4096);
            if (how == QLatin1String("store"))
                ok = Store::save(big, name);
            else if (how == QLatin1String("write"))
                ok = SafeFile::write(Store::path(name), bigText, &error);
            else
                ok = SafeFile::copy(source, Store::path(name), &error);
        }
        QFile::remove(source);
        QVERIFY(!ok);
        QCOMPARE(TestEnvironment::readState(name), good);
        QStringList left = entries(QStringLiteral("*"));
        left.removeAll(name + QStringLiteral(".bak")); // the good version, rotated
        QCOMPARE(left, QStringList{name});
        if (how == QLatin1String("store"))
            error = StoreEvents::describe(StoreEvents::shared().problems().value(0));
        QVERIFY2(error.contains(QStringLiteral("full")), qPrintable(error));
    }

    void damagedFileNeverBecomesTheBackup_data()
    {
        QTest::addColumn<QByteArray>("damaged");
        QTest::addColumn<bool>("isJson"); // only the record's reader can tell
        QTest::newRow("cut short") << QByteArray("{\"values\": [1, 2") << false;
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("wrong shape") << QByteArray("{\"values\": 7}") << true;
    }
    // The backup survives saves made after the main file was found
    // unreadable, and after it was damaged behind the program's back.
    void damagedFileNeverBecomesTheBackup()
    {
        QFETCH(QByteArray, damaged);
        QFETCH(bool, isJson);
        const QString name = QStringLiteral("timeline.json");
        const QString bak = name + QStringLiteral(".bak");
        QVERIFY(Store::save(Numbers{{1}}, name));
        QVERIFY(Store::save(Numbers{{2}}, name));
        const QByteArray good = TestEnvironment::readState(bak);
        QVERIFY(TestEnvironment::writeState(name, damaged));
        QVERIFY(!Store::load<Numbers>(name));
        QVERIFY(Store::save(Numbers{{3}}, name));
        QCOMPARE(TestEnvironment::readState(bak), good);
        if (isJson)
            return;
        QVERIFY(TestEnvironment::writeState(name, damaged));
        QVERIFY(Store::save(Numbers{{4}}, name));
        QCOMPARE(TestEnvironment::readState(bak), good);
    }

    void backupIsOfferedBack_data()
    {
        QTest::addColumn<int>("answer"); // -1: no question installed
        QTest::addColumn<bool>("backupReads");
        QTest::newRow("yes") << 1 << true;
        QTest::newRow("no") << 0 << true;
        QTest::newRow("nobody to ask") << -1 << true;
        QTest::newRow("backup damaged too") << 1 << false;
    }
    void backupIsOfferedBack()
    {
        QFETCH(int, answer);
        QFETCH(bool, backupReads);
        const QString name = QStringLiteral("citations.json");
        const QString bak = name + QStringLiteral(".bak");
        const QByteArray damaged = "{\"values\": [9";
        const QByteArray backup = backupReads ? *Store::encode(Numbers{{5, 6}}.toJson()) : QByteArray("[");
        QVERIFY(TestEnvironment::writeState(name, damaged));
        QVERIFY(TestEnvironment::writeState(bak, backup));
        QStringList asked;
        if (answer >= 0) {
            Store::setRestoreQuestion([&](const QString& file, const QString& b) {
                asked << file << b;
                return answer == 1;
            });
        }
        const std::optional<Numbers> loaded = Store::load<Numbers>(name);
        const bool restored = answer == 1 && backupReads;
        QCOMPARE(bool(loaded), restored);
        QCOMPARE(asked, answer >= 0 && backupReads ? QStringList({Store::path(name), Store::path(bak)}) : QStringList());
        QCOMPARE(TestEnvironment::readState(name), restored ? backup : damaged);
        QCOMPARE(TestEnvironment::readState(bak), backup);
        QCOMPARE(entries(name + QStringLiteral(".unreadable-*")).size(), 1);
        // A backup the user chose not to put back outlives the saves that
        // follow.
        QVERIFY(Store::save(Numbers{{7}}, name));
        QVERIFY(Store::save(Numbers{{8}}, name));
        bool kept = false;
        for (const QString& f : entries(name + QStringLiteral("*")))
            kept = kept || TestEnvironment::readState(f) == backup;
        QVERIFY(kept || answer != 0 || !backupReads);
    }

    void unreadableFileWithoutRoomIsTold_data()
    {
        QTest::addColumn<bool>("restore");
        QTest::newRow("backup put back") << true;
        QTest::newRow("backup declined") << false;
    }
    // A state file that cannot be read while no copy of it can be kept (a
    // full disk, a read-only folder) is told and left alone; its backup is
    // still offered, its record used at once and written once there is room,
    // after the unreadable file has been kept.
    void unreadableFileWithoutRoomIsTold()
    {
        QFETCH(bool, restore);
        const QString name = QStringLiteral("timeline.json");
        const QByteArray damaged = "{\"values\": [9";
        const QByteArray backup = *Store::encode(Numbers{{5, 6}}.toJson());
        QVERIFY(TestEnvironment::writeState(name, damaged));
        QVERIFY(TestEnvironment::writeState(name + QStringLiteral(".bak"), backup));
        Store::setWriteFault([](const QString&) { return QStringLiteral("No space left on device"); });
        int asked = 0;
        Store::setRestoreQuestion([&](const QString&, const QString&) { return ++asked, restore; });
        const std::optional<Numbers> loaded = Store::load<Numbers>(name);
        QCOMPARE(asked, 1);
        QCOMPARE(bool(loaded), restore);
        if (loaded)
            QCOMPARE(loaded->values, QList<int>({5, 6}));
        const QList<StoreEvents::Problem> problems = StoreEvents::shared().problems();
        QVERIFY(!problems.isEmpty());
        QCOMPARE(problems.first().kind, StoreEvents::Problem::Kind::keptAside);
        QVERIFY(problems.first().copy.isEmpty());
        QVERIFY(StoreEvents::describe(problems.first()).contains(QStringLiteral("no copy")));
        QCOMPARE(TestEnvironment::readState(name), damaged);
        QCOMPARE(TestEnvironment::readState(name + QStringLiteral(".bak")), backup);

        Store::setWriteFault({});
        QCOMPARE(Store::retryFailedSaves(), 0);
        if (!restore)
            QVERIFY(Store::save(Numbers{{1}}, name));
        QCOMPARE(TestEnvironment::readState(name), restore ? backup : *Store::encode(Numbers{{1}}.toJson()));
        const QStringList kept = entries(name + QStringLiteral(".unreadable-*"));
        QCOMPARE(kept.size(), 1);
        QCOMPARE(TestEnvironment::readState(kept.first()), damaged);
        QCOMPARE(StoreEvents::shared().problems().size(), 1);
        QCOMPARE(StoreEvents::shared().problems().first().copy, Store::path(kept.first()));
    }

    void hostileFileIsMovedAsideNotCopied_data()
    {
        QTest::addColumn<bool>("pipe"); // else a sparse 2 GiB file
        QTest::newRow("pipe") << true;
        QTest::newRow("sparse file over the limit") << false;
    }
    // Reading returns at once; the thing is moved aside whole, never opened
    // or copied, and the next save writes a fresh file.
    void hostileFileIsMovedAsideNotCopied()
    {
        QFETCH(bool, pipe);
        const QString name = QStringLiteral("stickies.json");
        const QString path = Store::path(name);
        const qint64 huge = qint64(2) * 1024 * 1024 * 1024;
        if (pipe) {
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        } else {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.resize(huge));
        }
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!Store::loadList<Numbers>(name));
        QVERIFY(timer.elapsed() < 2000);
        const QStringList kept = entries(name + QStringLiteral(".unreadable-*"));
        QCOMPARE(kept.size(), 1);
        const QFileInfo aside(Store::path(kept.first()));
        QCOMPARE(aside.isFile() ? aside.size() : -1, pipe ? -1 : huge);
        QVERIFY(Store::save(QJsonArray{}, name));
        QVERIFY(QFileInfo(path).isFile());
        QFile::remove(aside.filePath());
    }

    // A data folder moved away while the program runs is made again by the
    // next save.
    void vanishedFolderIsMadeAgain()
    {
        QVERIFY(Store::save(Numbers{{1}}, QStringLiteral("games.json")));
        QVERIFY(QDir(Store::folder()).removeRecursively());
        QVERIFY(Store::save(Numbers{{2}}, QStringLiteral("games.json")));
        QCOMPARE(Store::load<Numbers>(QStringLiteral("games.json"))->values, QList<int>{2});
    }
};

QTEST_GUILESS_MAIN(SafeFileTest)
#include "tst_safefile.moc"
