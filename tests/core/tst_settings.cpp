#include "TestEnvironment.h"
#include "core/SettingsStore.h"
#include "core/Store.h"
#include "core/StoreEvents.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QElapsedTimer>
#include <QTest>

#include <sys/stat.h>

class SettingsTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;

    QString file() const { return m_dir.filePath(QStringLiteral("Brindleworks.json")); }
    QStringList kept() const
    {
        return QDir(m_dir.path()).entryList({QStringLiteral("Brindleworks.json.unreadable-*")}, QDir::Files | QDir::System);
    }
    void write(const QString& path, const QByteArray& bytes)
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(f.write(bytes), bytes.size());
    }

private Q_SLOTS:
    void init()
    {
        QVERIFY(m_dir.isValid());
        SettingsStore::redirectTo(m_dir.filePath(QStringLiteral("unused.json")));
        for (const QString& f : QDir(m_dir.path()).entryList(QDir::Files | QDir::System))
            QFile::remove(m_dir.filePath(f));
        for (const StoreEvents::Problem& p : StoreEvents::shared().problems())
            StoreEvents::shared().clear(p.owner);
        Store::dropRetries();
    }

    void unreadableFileIsKeptBeforeItIsReplaced_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("readable");
        QTest::addColumn<bool>("onTop");
        QTest::addColumn<QString>("why");
        QByteArray atLimit = "{\"alwaysOnTop\": false, \"pad\": \"";
        atLimit += QByteArray(SettingsStore::kMaxFileSize - atLimit.size() - 2, 'x') + "\"}";
        QTest::newRow("good") << QByteArray("{\"alwaysOnTop\": false}") << true << false << QString();
        QTest::newRow("empty") << QByteArray("  \n") << true << true << QString();
        QTest::newRow("at the size limit") << atLimit << true << false << QString();
        QTest::newRow("one byte past") << atLimit + ' ' << false << true << QStringLiteral("larger than 1024 KB");
        QTest::newRow("damaged") << QByteArray("{\"alwaysOnTop\": fal") << false << true << QStringLiteral("damaged");
        QTest::newRow("list, not a set") << QByteArray("[{\"alwaysOnTop\": false}]") << false << true
                                         << QStringLiteral("does not hold");
        QTest::newRow("bare text") << QByteArray("\"alwaysOnTop\"") << false << true << QStringLiteral("damaged");
    }
    // A settings file that cannot be read is kept byte for byte before the
    // first change writes a fresh one, and the user is told where.
    void unreadableFileIsKeptBeforeItIsReplaced()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, readable);
        QFETCH(bool, onTop);
        QFETCH(QString, why);
        write(file(), bytes);
        SettingsStore::redirectTo(file());
        QCOMPARE(SettingsStore::boolValue(QStringLiteral("alwaysOnTop"), true), onTop);
        SettingsStore::settings().remove(QStringLiteral("pad"));
        SettingsStore::settings().setValue(QStringLiteral("vertical"), true);
        SettingsStore::settings().sync();
        QCOMPARE(SettingsStore::settings().status(), QSettings::NoError);
        const QStringList copies = kept();
        if (readable) {
            QVERIFY(copies.isEmpty());
            QVERIFY(StoreEvents::shared().problems().isEmpty());
        } else {
            QVERIFY2(copies.size() == 1, qPrintable(copies.join(QLatin1Char(' '))));
            QCOMPARE(TestEnvironment::contents(m_dir.filePath(copies.first())), bytes);
            QCOMPARE(StoreEvents::shared().problems().size(), 1);
            const StoreEvents::Problem p = StoreEvents::shared().problems().first();
            QCOMPARE(p.owner, SettingsStore::kOwner);
            QCOMPARE(p.copy, m_dir.filePath(copies.first()));
            QVERIFY2(p.reason.contains(why), qPrintable(p.reason));
        }
        // The preference set now is there after a fresh start.
        SettingsStore::redirectTo(file());
        QCOMPARE(SettingsStore::boolValue(QStringLiteral("vertical"), false), true);
        QCOMPARE(kept().size(), copies.size());
    }

    // A pipe in place of the settings file is never opened (that would wait
    // for a writer forever): it is moved aside and a fresh file is written.
    void pipeIsMovedAside()
    {
        QVERIFY(::mkfifo(QFile::encodeName(file()).constData(), 0600) == 0);
        QElapsedTimer timer;
        timer.start();
        SettingsStore::redirectTo(file());
        QCOMPARE(SettingsStore::boolValue(QStringLiteral("alwaysOnTop"), true), true);
        QVERIFY(timer.elapsed() < 2000);
        SettingsStore::settings().setValue(QStringLiteral("vertical"), true);
        SettingsStore::settings().sync();
        QVERIFY(QFileInfo(file()).isFile());
        QCOMPARE(kept().size(), 1);
        QVERIFY(!QFileInfo(m_dir.filePath(kept().first())).isFile());
        QVERIFY(StoreEvents::shared().problems().first().reason.contains(QStringLiteral("not a regular file")));
    }

    // A settings file that is a link is not followed: its target stays as it
    // was and the settings are written to a file of their own.
    void linkIsNeverWrittenThrough()
    {
        QTemporaryDir outside;
        const QString target = outside.filePath(QStringLiteral("victim.txt"));
        write(target, "precious");
        QVERIFY(QFile::link(target, file()));
        SettingsStore::redirectTo(file());
        SettingsStore::settings().setValue(QStringLiteral("vertical"), true);
        SettingsStore::settings().sync();
        QCOMPARE(TestEnvironment::contents(target), QByteArray("precious"));
        QVERIFY(!QFileInfo(file()).isSymLink());
        QVERIFY(TestEnvironment::contents(file()).contains("vertical"));
        QCOMPARE(kept().size(), 1);
        QCOMPARE(QFileInfo(m_dir.filePath(kept().first())).symLinkTarget(), target);
    }

    // A file damaged while the program runs is kept before the next change
    // is written over it.
    void fileDamagedWhileRunningIsKept()
    {
        write(file(), "{\"alwaysOnTop\": false}");
        SettingsStore::redirectTo(file());
        QCOMPARE(SettingsStore::boolValue(QStringLiteral("alwaysOnTop"), true), false);
        QTest::qWait(1100); // a newer modification time makes the settings read again
        write(file(), "{oops");
        SettingsStore::settings().setValue(QStringLiteral("vertical"), true);
        SettingsStore::settings().sync();
        QCOMPARE(kept().size(), 1);
        QCOMPARE(TestEnvironment::contents(m_dir.filePath(kept().first())), QByteArray("{oops"));
    }

    // Preferences that cannot be written are told once and kept in memory;
    // the next write that works clears the notice.
    void failedWriteIsTold()
    {
        write(m_dir.filePath(QStringLiteral("blocker")), "a file where a folder should be");
        const QString blocked = m_dir.filePath(QStringLiteral("blocker/Brindleworks.json"));
        SettingsStore::redirectTo(blocked);
        QSignalSpy added(&StoreEvents::shared(), &StoreEvents::problemAdded);
        for (const bool on : {true, false}) {
            SettingsStore::settings().setValue(QStringLiteral("vertical"), on);
            QVERIFY(!SettingsStore::sync());
        }
        QCOMPARE(added.count(), 1);
        const StoreEvents::Problem p = StoreEvents::shared().problems().first();
        QCOMPARE(p.kind, StoreEvents::Problem::Kind::saveFailed);
        QCOMPARE(p.owner, SettingsStore::kOwner);
        QCOMPARE(p.file, blocked);
        QCOMPARE(SettingsStore::boolValue(QStringLiteral("vertical"), true), false);
        QFile::remove(m_dir.filePath(QStringLiteral("blocker")));
        QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("blocker")));
        SettingsStore::settings().setValue(QStringLiteral("vertical"), true);
        QVERIFY(SettingsStore::sync());
        QVERIFY(StoreEvents::shared().problems().isEmpty());
        QVERIFY(TestEnvironment::contents(blocked).contains("vertical"));
    }

    // Preferences that could not be written reach the file once it can be
    // written, with no further change to prompt it.
    void failedWriteIsRetried()
    {
        write(m_dir.filePath(QStringLiteral("wall")), "a file where a folder should be");
        const QString blocked = m_dir.filePath(QStringLiteral("wall/Brindleworks.json"));
        SettingsStore::redirectTo(blocked);
        SettingsStore::settings().setValue(QStringLiteral("largeButtons"), false);
        QVERIFY(!SettingsStore::sync());
        QCOMPARE(Store::retryFailedSaves(), 1);
        QFile::remove(m_dir.filePath(QStringLiteral("wall")));
        QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("wall")));
        QCOMPARE(Store::retryFailedSaves(), 0);
        QVERIFY(StoreEvents::shared().problems().isEmpty());
        QVERIFY(TestEnvironment::contents(blocked).contains("largeButtons"));
    }

    void cleanupTestCase() { SettingsStore::redirectTo(m_dir.filePath(QStringLiteral("unused.json"))); }
};

QTEST_GUILESS_MAIN(SettingsTest)
#include "tst_settings.moc"
