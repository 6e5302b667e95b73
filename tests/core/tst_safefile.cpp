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

#include <csignal>
#include <sys/resource.h>
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

// Files may grow to `bytes` only while this lives: a write beyond that
// fails the way it does on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_old); }

private:
    rlimit m_old = {};
};

QStringList leftovers()
{
    QStringList names = QDir(Store::folder()).entryList(QDir::Files | QDir::Hidden | QDir::System);
    names.removeIf([](const QString& n) { return n.endsWith(QLatin1String(".json")) || n.endsWith(QLatin1String(".bak")); });
    return names;
}

} // namespace

class SafeFileTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        TestEnvironment::clearDataFolder();
        Store::setRestoreQuestion({});
        for (const StoreEvents::Problem& p : StoreEvents::shared().problems())
            StoreEvents::shared().clear(p.owner);
    }

    void fullDiskKeepsThePreviousVersion_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("state file") << QStringLiteral("store");
        QTest::newRow("document bytes") << QStringLiteral("write");
        QTest::newRow("copy of a file") << QStringLiteral("copy");
    }
    // With room for only part of the new contents, the save fails, says so,
    // and the file keeps its last good version; no temporary is left.
    void fullDiskKeepsThePreviousVersion()
    {
        QFETCH(QString, how);
        const QString name = QStringLiteral("focus.json");
        const QString path = Store::path(name);
        QVERIFY(Store::save(Numbers{{1, 2, 3}}, name));
        const QByteArray good = TestEnvironment::readState(name);
        Numbers big;
        for (int i = 0; i < 5000; ++i)
            big.values.append(i);
        const QByteArray bigText = *Store::encode(big.toJson());
        const QString source = QDir(Store::folder()).filePath(QStringLiteral("source.bin"));
        QVERIFY(SafeFile::write(source, bigText));
        bool ok = true;
        QString error;
        {
            FileSizeLimit limit(40 * 1024);
            if (how == QLatin1String("store"))
                ok = Store::save(big, name);
            else if (how == QLatin1String("write"))
                ok = SafeFile::write(path, bigText, &error);
            else
                ok = SafeFile::copy(source, path, &error);
        }
        QVERIFY(!ok);
        QCOMPARE(TestEnvironment::readState(name), good);
        QFile::remove(source);
        QCOMPARE(leftovers(), QStringList());
        if (how == QLatin1String("store")) {
            QCOMPARE(StoreEvents::shared().problems().size(), 1);
            QCOMPARE(StoreEvents::shared().problems().first().kind, StoreEvents::Problem::Kind::saveFailed);
        } else {
            QVERIFY(!error.isEmpty());
        }
        QVERIFY(Store::save(big, name));
        QCOMPARE(Store::load<Numbers>(name)->values.size(), 5000);
    }

    void readingAnyKindOfFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("status");
        using S = SafeFile::ReadResult::Status;
        QTest::newRow("regular") << QStringLiteral("file") << int(S::ok);
        QTest::newRow("missing") << QStringLiteral("none") << int(S::missing);
        QTest::newRow("pipe") << QStringLiteral("fifo") << int(S::notRegular);
        QTest::newRow("folder") << QStringLiteral("dir") << int(S::notRegular);
        QTest::newRow("link") << QStringLiteral("link") << int(S::link);
        QTest::newRow("over the limit") << QStringLiteral("big") << int(S::tooLarge);
    }
    // Nothing blocks, follows a link or reads past the limit.
    void readingAnyKindOfFile()
    {
        QFETCH(QString, kind);
        QFETCH(int, status);
        const QString path = QDir(Store::folder()).filePath(QStringLiteral("thing"));
        if (kind == QLatin1String("file") || kind == QLatin1String("big"))
            QVERIFY(SafeFile::write(path, QByteArray(kind == QLatin1String("big") ? 2000 : 10, 'x')));
        else if (kind == QLatin1String("fifo"))
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        else if (kind == QLatin1String("dir"))
            QVERIFY(QDir().mkpath(path));
        else if (kind == QLatin1String("link"))
            QVERIFY(QFile::link(QStringLiteral("/etc/hostname"), path));
        QElapsedTimer timer;
        timer.start();
        const SafeFile::ReadResult r = SafeFile::readRegular(path, 1000);
        QVERIFY(timer.elapsed() < 2000);
        QCOMPARE(int(r.status), status);
        QCOMPARE(r.data.size(), status == int(SafeFile::ReadResult::Status::ok) ? 10 : 0);
        QDir(path).removeRecursively();
        QFile::remove(path);
    }

    void damagedFileNeverBecomesTheBackup_data()
    {
        QTest::addColumn<QByteArray>("damaged");
        QTest::addColumn<bool>("isJson"); // only the reader can tell it is wrong
        QTest::newRow("cut short") << QByteArray("{\"values\": [1, 2") << false;
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("wrong shape") << QByteArray("{\"values\": 7}") << true;
    }
    // The last good version in the backup survives any number of saves
    // made while the main file was unreadable.
    void damagedFileNeverBecomesTheBackup()
    {
        QFETCH(QByteArray, damaged);
        QFETCH(bool, isJson);
        const QString name = QStringLiteral("timeline.json");
        QVERIFY(Store::save(Numbers{{1}}, name));
        QVERIFY(Store::save(Numbers{{2}}, name));
        const QByteArray good = TestEnvironment::readState(name + QStringLiteral(".bak"));
        QVERIFY(TestEnvironment::writeState(name, damaged));
        QVERIFY(!Store::load<Numbers>(name));
        QVERIFY(Store::save(Numbers{{3}}, name));
        QCOMPARE(TestEnvironment::readState(name + QStringLiteral(".bak")), good);
        if (isJson)
            return;
        // Damaged after the last read, behind the program's back.
        QVERIFY(TestEnvironment::writeState(name, damaged));
        QVERIFY(Store::save(Numbers{{4}}, name));
        QCOMPARE(TestEnvironment::readState(name + QStringLiteral(".bak")), good);
    }

    void backupIsOfferedBack_data()
    {
        QTest::addColumn<int>("answer"); // -1: no question installed
        QTest::addColumn<bool>("backupReads");
        QTest::addColumn<bool>("restored");
        QTest::newRow("yes") << 1 << true << true;
        QTest::newRow("no") << 0 << true << false;
        QTest::newRow("nobody to ask") << -1 << true << false;
        QTest::newRow("backup damaged too") << 1 << false << false;
    }
    void backupIsOfferedBack()
    {
        QFETCH(int, answer);
        QFETCH(bool, backupReads);
        QFETCH(bool, restored);
        const QString name = QStringLiteral("citations.json");
        const QString bak = name + QStringLiteral(".bak");
        QVERIFY(TestEnvironment::writeState(name, "{\"values\": [9"));
        const QByteArray backup = backupReads ? *Store::encode(Numbers{{5, 6}}.toJson()) : QByteArray("[");
        QVERIFY(TestEnvironment::writeState(bak, backup));
        QStringList asked;
        if (answer >= 0) {
            Store::setRestoreQuestion([&](const QString& file, const QString& b) {
                asked << file << b;
                return answer == 1;
            });
        }
        const std::optional<Numbers> loaded = Store::load<Numbers>(name);
        QCOMPARE(bool(loaded), restored);
        QCOMPARE(asked.isEmpty(), answer < 0 || !backupReads);
        if (!asked.isEmpty())
            QCOMPARE(asked, (QStringList{Store::path(name), Store::path(bak)}));
        if (restored) {
            QCOMPARE(loaded->values, (QList<int>{5, 6}));
            QCOMPARE(TestEnvironment::readState(name), backup);
        } else {
            QCOMPARE(TestEnvironment::readState(name), QByteArray("{\"values\": [9"));
        }
        QCOMPARE(TestEnvironment::readState(bak), backup);
        // The damaged file was kept aside either way.
        QCOMPARE(QDir(Store::folder()).entryList({name + QStringLiteral(".unreadable-*")}).size(), 1);
    }

    void hostileFileIsMovedAsideNotCopied_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("pipe") << QStringLiteral("fifo");
        QTest::newRow("sparse file over the limit") << QStringLiteral("big");
    }
    // Reading returns at once; the thing is moved aside whole (never
    // opened or copied), and the next save writes a fresh file.
    void hostileFileIsMovedAsideNotCopied()
    {
        QFETCH(QString, kind);
        const QString name = QStringLiteral("stickies.json");
        const QString path = Store::path(name);
        if (kind == QLatin1String("fifo")) {
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        } else {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            QVERIFY(f.resize(qint64(2) * 1024 * 1024 * 1024));
        }
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!Store::loadList<Numbers>(name));
        QVERIFY(timer.elapsed() < 2000);
        const QStringList kept = QDir(Store::folder()).entryList({name + QStringLiteral(".unreadable-*")},
                                                                 QDir::AllEntries | QDir::System);
        QCOMPARE(kept.size(), 1);
        const QFileInfo aside(QDir(Store::folder()).filePath(kept.first()));
        if (kind == QLatin1String("big"))
            QCOMPARE(aside.size(), qint64(2) * 1024 * 1024 * 1024);
        else
            QVERIFY(!aside.isFile());
        QVERIFY(Store::save(QJsonArray{}, name));
        QVERIFY(QFileInfo(path).isFile());
        QVERIFY(!QFileInfo::exists(path + QStringLiteral(".bak")));
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
