#include "TestEnvironment.h"
#include "core/Debouncer.h"
#include "core/Json.h"
#include "core/Store.h"
#include "core/StoreEvents.h"
#include "core/Tool.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTimeZone>
#include <QJsonDocument>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <limits>

namespace {

struct Sample {
    double value = 0;
    QString label;
    QDateTime when;

    QJsonValue toJson() const
    {
        return QJsonObject{{QStringLiteral("zeta"), value},
                           {QStringLiteral("label"), label},
                           {QStringLiteral("when"), Json::fromDate(when)}};
    }
    static std::optional<Sample> fromJson(const QJsonValue& v)
    {
        Json::Reader r(v);
        Sample s;
        s.value = r.number(QStringLiteral("zeta"));
        s.label = r.string(QStringLiteral("label"));
        s.when = r.date(QStringLiteral("when"));
        if (!r.ok())
            return std::nullopt;
        return s;
    }
};

// A record with one list and one text, to put the limits to the test.
struct Bag {
    QList<Sample> items;
    QStringList tags;
    QString note;

    QJsonValue toJson() const
    {
        return QJsonObject{{QStringLiteral("items"), Json::fromList(items)},
                           {QStringLiteral("tags"), QJsonArray::fromStringList(tags)},
                           {QStringLiteral("note"), note}};
    }
    static std::optional<Bag> fromJson(const QJsonValue& v)
    {
        Json::Reader r(v);
        Bag b;
        b.items = r.list<Sample>(QStringLiteral("items"));
        b.tags = r.strings(QStringLiteral("tags"));
        b.note = r.string(QStringLiteral("note"));
        if (!r.ok())
            return std::nullopt;
        return b;
    }
};

QStringList keptCopies(const QString& name)
{
    return QDir(Store::folder()).entryList({name + QStringLiteral(".unreadable-*")});
}

} // namespace

class StoreTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        TestEnvironment::clearDataFolder();
        Store::setWriteFault({});
        Store::setReadOnly(false);
        Store::dropRetries();
        for (const StoreEvents::Problem& p : StoreEvents::shared().problems())
            StoreEvents::shared().clear(p.owner);
    }

    void folderComesFromEnvironment()
    {
        QCOMPARE(Store::folder(), TestEnvironment::dataFolder());
        QVERIFY(QFileInfo(Store::folder()).isDir());
    }

    void backupIsOneDeep()
    {
        const QString file = Store::path(QStringLiteral("games.json"));
        const QString bak = file + QStringLiteral(".bak");
        QVERIFY(Store::save(QJsonObject{{QStringLiteral("v"), 1}}, QStringLiteral("games.json")));
        QVERIFY(!QFile::exists(bak));
        const QByteArray first = TestEnvironment::contents(file);
        QVERIFY(Store::save(QJsonObject{{QStringLiteral("v"), 2}}, QStringLiteral("games.json")));
        QCOMPARE(TestEnvironment::contents(bak), first);
        const QByteArray second = TestEnvironment::contents(file);
        QVERIFY(Store::save(QJsonObject{{QStringLiteral("v"), 3}}, QStringLiteral("games.json")));
        QCOMPARE(TestEnvironment::contents(bak), second);
        QVERIFY(TestEnvironment::contents(file).contains("3"));
    }

    void failedEncodeTouchesNothing_data()
    {
        QTest::addColumn<double>("bad");
        QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN();
        QTest::newRow("inf") << std::numeric_limits<double>::infinity();
        QTest::newRow("-inf") << -std::numeric_limits<double>::infinity();
    }
    void failedEncodeTouchesNothing()
    {
        QFETCH(double, bad);
        const QString name = QStringLiteral("loan_gpa.json");
        QVERIFY(Store::save(QJsonObject{{QStringLiteral("v"), 1}}, name));
        QVERIFY(Store::save(QJsonObject{{QStringLiteral("v"), 2}}, name));
        const QByteArray file = TestEnvironment::contents(Store::path(name));
        const QByteArray bak = TestEnvironment::contents(Store::path(name) + QStringLiteral(".bak"));
        const QJsonObject nested{{QStringLiteral("list"), QJsonArray{1, QJsonObject{{QStringLiteral("x"), bad}}}}};
        QVERIFY(!Store::save(nested, name));
        QCOMPARE(TestEnvironment::contents(Store::path(name)), file);
        QCOMPARE(TestEnvironment::contents(Store::path(name) + QStringLiteral(".bak")), bak);
    }

    void keysSortedAndDatesIso()
    {
        Sample s{2.5, QStringLiteral("x"), QDateTime(QDate(2026, 3, 14), QTime(9, 5, 0, 750), Qt::UTC)};
        QVERIFY(Store::save(s, QStringLiteral("sample.json")));
        const QByteArray text = TestEnvironment::contents(Store::path(QStringLiteral("sample.json")));
        QVERIFY(text.indexOf("\"label\"") < text.indexOf("\"when\""));
        QVERIFY(text.indexOf("\"when\"") < text.indexOf("\"zeta\""));
        QVERIFY(text.contains("\"2026-03-14T09:05:00Z\""));
        QVERIFY(text.contains("\n    ")); // pretty-printed
        const std::optional<Sample> back = Store::load<Sample>(QStringLiteral("sample.json"));
        QVERIFY(back);
        QCOMPARE(back->label, s.label);
        QCOMPARE(back->when, QDateTime(QDate(2026, 3, 14), QTime(9, 5, 0), Qt::UTC));
    }

    void damagedFilesGiveNothing_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("not json") << QByteArray("hello");
        QTest::newRow("truncated") << QByteArray("{\"zeta\": 1, \"label\": \"x\", \"when\": \"2026-");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("missing key") << QByteArray("{\"zeta\": 1, \"label\": \"x\"}");
        QTest::newRow("wrong type") << QByteArray("{\"zeta\": \"1\", \"label\": \"x\", \"when\": \"2026-03-14T09:05:00Z\"}");
        QTest::newRow("bad date") << QByteArray("{\"zeta\": 1, \"label\": \"x\", \"when\": \"yesterday\"}");
        QTest::newRow("date without zone") << QByteArray("{\"zeta\": 1, \"label\": \"x\", \"when\": \"2026-03-14T09:05:00\"}");
        QTest::newRow("array not object") << QByteArray("[1,2,3]");
        QTest::newRow("binary") << QByteArray("\x00\xff\xfe{", 4);
    }
    void damagedFilesGiveNothing()
    {
        QFETCH(QByteArray, text);
        const QString name = QStringLiteral("sample.json");
        QDir dir(Store::folder());
        for (const QString& old : dir.entryList({name + QStringLiteral(".unreadable-*")}))
            QFile::remove(dir.filePath(old));
        QVERIFY(TestEnvironment::writeState(name, text));
        QVERIFY(!Store::load<Sample>(name));
        // The damaged file is kept aside byte for byte, once, before a save
        // replaces it; a second failed read adds no second copy.
        QVERIFY(!Store::load<Sample>(name));
        const QStringList kept = dir.entryList({name + QStringLiteral(".unreadable-*")});
        QCOMPARE(kept.size(), 1);
        QCOMPARE(TestEnvironment::contents(dir.filePath(kept.first())), text);
        QVERIFY(Store::save(Sample{}, name));
        QCOMPARE(TestEnvironment::contents(dir.filePath(kept.first())), text);
    }

    void missingFileIsNotKeptAside()
    {
        QVERIFY(!Store::load<Sample>(QStringLiteral("never-written.json")));
        QVERIFY(QDir(Store::folder()).entryList({QStringLiteral("never-written.json.unreadable-*")}).isEmpty());
    }

    void hugeFileIsNotRead()
    {
        QByteArray big(Store::kMaxStateFileSize + 10, ' ');
        big[0] = '[';
        big[big.size() - 1] = ']';
        QVERIFY(TestEnvironment::writeState(QStringLiteral("big.json"), big));
        QVERIFY(!Store::read(QStringLiteral("big.json")));
        QFile::remove(Store::path(QStringLiteral("big.json")));
    }

    void datesReadAsTheyAreWritten_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("written");
        QTest::newRow("whole seconds") << QStringLiteral("2026-03-14T10:00:07Z") << QStringLiteral("2026-03-14T10:00:07Z");
        QTest::newRow("milliseconds") << QStringLiteral("2026-03-14T10:00:07.880Z") << QStringLiteral("2026-03-14T10:00:07Z");
        QTest::newRow("fraction of a minute") << QStringLiteral("2026-03-14T10:00.02Z") << QStringLiteral("2026-03-14T10:00:01Z");
        QTest::newRow("offset") << QStringLiteral("2026-03-14T10:00:00.5+01:00") << QStringLiteral("2026-03-14T09:00:00Z");
    }
    void datesReadAsTheyAreWritten()
    {
        QFETCH(QString, text);
        QFETCH(QString, written);
        const std::optional<QDateTime> read = Json::toDate(text);
        QVERIFY(read);
        QCOMPARE(Json::fromDate(*read), written);
        // What is written reads back to the very same moment.
        QCOMPARE(Json::toDate(written), read);
    }

    void integersAreStrict_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("ok");
        QTest::newRow("whole") << QByteArray("{\"n\": 42}") << true;
        QTest::newRow("negative") << QByteArray("{\"n\": -7}") << true;
        QTest::newRow("fraction") << QByteArray("{\"n\": 4.5}") << false;
        QTest::newRow("too large") << QByteArray("{\"n\": 1e300}") << false;
        QTest::newRow("text") << QByteArray("{\"n\": \"4\"}") << false;
        QTest::newRow("bool") << QByteArray("{\"n\": true}") << false;
        QTest::newRow("null") << QByteArray("{\"n\": null}") << false;
    }
    void integersAreStrict()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, ok);
        Json::Reader r(*Store::parse(text));
        r.integer(QStringLiteral("n"));
        QCOMPARE(r.ok(), ok);
    }

    void linkedStateFileIsNeverFollowed()
    {
        // A state file that is a link to a file outside the data folder:
        // not read, kept aside as the link's path, and replaced by the next
        // save without touching what it pointed to.
        QTemporaryDir outside;
        const QString victim = outside.filePath(QStringLiteral("victim.txt"));
        {
            QFile f(victim);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("precious");
        }
        const QString name = QStringLiteral("linked.json");
        QFile::remove(Store::path(name));
        QVERIFY(QFile::link(victim, Store::path(name)));
        QVERIFY(!Store::load<Sample>(name));
        Sample s;
        s.when = QDateTime(QDate(2026, 3, 14), QTime(9, 5, 0), Qt::UTC);
        QVERIFY(Store::save(s, name));
        QCOMPARE(TestEnvironment::contents(victim), QByteArray("precious"));
        QVERIFY(!QFileInfo(Store::path(name)).isSymLink());
        QVERIFY(Store::load<Sample>(name));
        QVERIFY(!QFileInfo::exists(Store::path(name) + QStringLiteral(".bak")));
    }

    void backupHoldsThePreviousVersion()
    {
        const QString name = QStringLiteral("rotating.json");
        Sample s;
        s.label = QStringLiteral("one");
        QVERIFY(Store::save(s, name));
        s.label = QStringLiteral("two");
        QVERIFY(Store::save(s, name));
        // A stale half-made backup from an interrupted save is replaced.
        QVERIFY(TestEnvironment::writeState(name + QStringLiteral(".bak.new"), "junk"));
        s.label = QStringLiteral("three");
        QVERIFY(Store::save(s, name));
        QVERIFY(TestEnvironment::readState(name + QStringLiteral(".bak")).contains("\"two\""));
        QVERIFY(TestEnvironment::readState(name).contains("\"three\""));
        QVERIFY(!QFileInfo::exists(Store::path(name + QStringLiteral(".bak.new"))));
        // A failure between the backup and the new file leaves both the file
        // and its backup holding the last good version, and nothing else.
        const QByteArray three = TestEnvironment::readState(name);
        Store::setWriteFault([](const QString&) { return QStringLiteral("Input/output error"); });
        s.label = QStringLiteral("four");
        QVERIFY(!Store::save(s, name));
        QCOMPARE(TestEnvironment::readState(name), three);
        QCOMPARE(TestEnvironment::readState(name + QStringLiteral(".bak")), three);
        QCOMPARE(QDir(Store::folder()).entryList({name + QStringLiteral(".*")}), QStringList{name + QStringLiteral(".bak")});
    }

    void unwritableFolderFailsQuietly()
    {
        // A name inside a missing sub-folder cannot be written; no crash and
        // no file appears.
        QVERIFY(!Store::save(QJsonObject{}, QStringLiteral("missing/dir/x.json")));
    }

    void failedSaveIsToldOnceAndClears_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("reason");
        QTest::newRow("full disk") << QStringLiteral("fault") << QStringLiteral("No space left on device");
        QTest::newRow("another copy owns the folder") << QStringLiteral("readOnly") << QStringLiteral("another copy");
        QTest::newRow("a folder in the way") << QStringLiteral("folder") << QString();
    }
    // A save that cannot be written is reported once for the tool, with the
    // file and why; the file on disk keeps the last good version; the next
    // save after the cause is gone writes and clears the report.
    void failedSaveIsToldOnceAndClears()
    {
        QFETCH(QString, how);
        QFETCH(QString, reason);
        const QString name = QStringLiteral("scientific.json");
        StoreEvents& events = StoreEvents::shared();
        Sample s;
        s.label = QStringLiteral("kept");
        s.when = QDateTime(QDate(2026, 3, 14), QTime(9, 5, 0), Qt::UTC);
        if (how != QLatin1String("folder"))
            QVERIFY(Store::save(s, name));
        const QByteArray good = TestEnvironment::readState(name);
        if (how == QLatin1String("fault"))
            Store::setWriteFault([&](const QString&) { return reason; });
        else if (how == QLatin1String("readOnly"))
            Store::setReadOnly(true, QStringLiteral("another copy of Brindleworks is using the data folder"));
        else
            QVERIFY(QDir().mkpath(Store::path(name)));
        QSignalSpy added(&events, &StoreEvents::problemAdded);
        QSignalSpy cleared(&events, &StoreEvents::problemCleared);
        for (const char* label : {"lost?", "still lost?"}) {
            s.label = QString::fromLatin1(label);
            QVERIFY(!Store::save(s, name));
        }
        QCOMPARE(added.count(), 1);
        QCOMPARE(events.problems().size(), 1);
        const StoreEvents::Problem p = events.problems().first();
        QCOMPARE(p.kind, StoreEvents::Problem::Kind::saveFailed);
        QCOMPARE(p.owner, Tool(Tool::scientific).title());
        QCOMPARE(p.file, Store::path(name));
        QVERIFY2(p.reason.contains(reason) && !p.reason.isEmpty(), qPrintable(p.reason));
        const QString sentence = StoreEvents::describe(p);
        QVERIFY(sentence.contains(p.owner) && sentence.contains(p.file) && sentence.contains(p.reason));
        if (how != QLatin1String("folder"))
            QCOMPARE(TestEnvironment::readState(name), good);

        Store::setWriteFault({});
        Store::setReadOnly(false);
        QDir(Store::path(name)).removeRecursively();
        QVERIFY(Store::save(s, name));
        QCOMPARE(cleared.count(), 1);
        QVERIFY(events.problems().isEmpty());
        const std::optional<Sample> back = Store::load<Sample>(name);
        QVERIFY(back);
        QCOMPARE(back->label, QStringLiteral("still lost?"));
    }

    void failedSaveIsWrittenOnceItCanBe_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("laterSave"); // a later change is saved after the cause is gone
        QTest::addColumn<int>("waiting");    // retries waiting while the cause lasts
        QTest::newRow("full disk") << QStringLiteral("fault") << false << 1;
        QTest::newRow("a folder in the way") << QStringLiteral("folder") << false << 1;
        QTest::newRow("a later save wins") << QStringLiteral("fault") << true << 1;
        QTest::newRow("read-only mode writes nothing") << QStringLiteral("readOnly") << false << 0;
    }
    // The last edit made while the file could not be written reaches the
    // file once it can be, with no further change to prompt it; until then
    // the last good version and its backup stay as they were.
    void failedSaveIsWrittenOnceItCanBe()
    {
        QFETCH(QString, how);
        QFETCH(bool, laterSave);
        QFETCH(int, waiting);
        const QString name = QStringLiteral("converter.json");
        Sample s;
        s.when = QDateTime(QDate(2026, 3, 14), QTime(9, 5, 0), Qt::UTC);
        for (const char* label : {"first", "good"}) {
            s.label = QString::fromLatin1(label);
            QVERIFY(Store::save(s, name));
        }
        const QByteArray good = TestEnvironment::readState(name);
        const QByteArray first = TestEnvironment::readState(name + QStringLiteral(".bak"));
        if (how == QLatin1String("fault")) {
            Store::setWriteFault([](const QString&) { return QStringLiteral("No space left on device"); });
        } else if (how == QLatin1String("readOnly")) {
            Store::setReadOnly(true);
        } else {
            QVERIFY(QFile::remove(Store::path(name)));
            QVERIFY(QDir().mkpath(Store::path(name)));
        }
        s.label = QStringLiteral("made while full");
        QVERIFY(!Store::save(s, name));
        QCOMPARE(Store::retryFailedSaves(), waiting);
        QCOMPARE(Store::retryFailedSaves(), waiting);
        if (how != QLatin1String("folder"))
            QCOMPARE(TestEnvironment::readState(name), good);
        // The backup may have taken the good version (the fault here hits
        // only the state file itself), never the failed one.
        const QByteArray bak = TestEnvironment::readState(name + QStringLiteral(".bak"));
        QVERIFY(bak == first || bak == good);

        Store::setWriteFault({});
        Store::setReadOnly(false);
        QDir(Store::path(name)).removeRecursively();
        if (laterSave) {
            s.label = QStringLiteral("later");
            QVERIFY(Store::save(s, name));
        }
        QCOMPARE(Store::retryFailedSaves(), 0);
        const std::optional<Sample> back = Store::load<Sample>(name);
        QVERIFY(back);
        QCOMPARE(back->label, laterSave ? QStringLiteral("later") : waiting ? QStringLiteral("made while full")
                                                                          : QStringLiteral("good"));
        QCOMPARE(StoreEvents::shared().problems().isEmpty(), waiting > 0);
        if (how == QLatin1String("fault") && !laterSave)
            QCOMPARE(TestEnvironment::readState(name + QStringLiteral(".bak")), good);
    }

    // The retries run by themselves on the event loop.
    void failedSaveIsRetriedOnTheEventLoop()
    {
        const QString name = QStringLiteral("focus.json");
        Store::setWriteFault([](const QString&) { return QStringLiteral("No space left on device"); });
        QVERIFY(!Store::save(QJsonObject{{QStringLiteral("v"), 1}}, name));
        Store::setWriteFault({});
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(Store::path(name)), 3 * Store::kRetryInterval);
        QCOMPARE(Store::retryFailedSaves(), 0);
    }

    // The user is told where an unreadable file was kept.
    void keptFileIsTold()
    {
        const QString name = QStringLiteral("loan_gpa.json");
        QVERIFY(TestEnvironment::writeState(name, "{\"courses\": [1, 2"));
        QSignalSpy added(&StoreEvents::shared(), &StoreEvents::problemAdded);
        QVERIFY(!Store::load<Sample>(name));
        QCOMPARE(added.count(), 1);
        const StoreEvents::Problem p = StoreEvents::shared().problems().first();
        QCOMPARE(p.kind, StoreEvents::Problem::Kind::keptAside);
        QCOMPARE(p.owner, Tool(Tool::loanGPA).title());
        QCOMPARE(p.copy, QDir(Store::folder()).filePath(keptCopies(name).first()));
        QVERIFY(p.reason.contains(QStringLiteral("damaged")));
        QVERIFY(StoreEvents::describe(p).contains(p.copy));
    }

    // When no copy of an unreadable file can be made (the disk is full), the
    // file is not written over; once the copy can be made the save goes on.
    void unreadableFileWithoutCopyIsNotReplaced()
    {
        const QString name = QStringLiteral("citations.json");
        const QByteArray damaged = "{\"sources\": [";
        QVERIFY(TestEnvironment::writeState(name, damaged));
        Store::setWriteFault([](const QString& path) {
            return path.contains(QStringLiteral(".unreadable-")) ? QStringLiteral("No space left on device") : QString();
        });
        QVERIFY(!Store::load<Sample>(name));
        QVERIFY(keptCopies(name).isEmpty());
        Sample s;
        s.when = QDateTime(QDate(2026, 3, 14), QTime(9, 5, 0), Qt::UTC);
        QVERIFY(!Store::save(s, name));
        QCOMPARE(TestEnvironment::readState(name), damaged);
        // Told twice: the file could not be kept, and so the save was refused.
        const QList<StoreEvents::Problem> told = StoreEvents::shared().problems();
        QCOMPARE(told.size(), 2);
        QCOMPARE(told.first().kind, StoreEvents::Problem::Kind::keptAside);
        QCOMPARE(told.last().kind, StoreEvents::Problem::Kind::saveFailed);
        Store::setWriteFault({});
        QVERIFY(Store::save(s, name));
        QCOMPARE(keptCopies(name).size(), 1);
        QCOMPARE(TestEnvironment::contents(QDir(Store::folder()).filePath(keptCopies(name).first())), damaged);
        QVERIFY(Store::load<Sample>(name));
    }

    void limits_data()
    {
        QTest::addColumn<int>("items");
        QTest::addColumn<int>("tags");
        QTest::addColumn<int>("tagLength");
        QTest::addColumn<int>("noteLength");
        QTest::addColumn<bool>("readable");
        const int n = int(Json::kMaxListEntries);
        const int t = int(Json::kMaxTextLength);
        QTest::newRow("records at the limit") << n << 0 << 1 << 0 << true;
        QTest::newRow("records one past") << n + 1 << 0 << 1 << 0 << false;
        QTest::newRow("texts at the limit") << 0 << n << 1 << 0 << true;
        QTest::newRow("texts one past") << 0 << n + 1 << 1 << 0 << false;
        QTest::newRow("text in a list at the limit") << 0 << 1 << t << 0 << true;
        QTest::newRow("text in a list one past") << 0 << 1 << t + 1 << 0 << false;
        QTest::newRow("text at the limit") << 0 << 0 << 1 << t << true;
        QTest::newRow("text one past") << 0 << 0 << 1 << t + 1 << false;
    }
    // A file beyond a limit is unreadable like a damaged one: the model gets
    // nothing and the file is kept aside before any save replaces it.
    void limits()
    {
        QFETCH(int, items);
        QFETCH(int, tags);
        QFETCH(int, tagLength);
        QFETCH(int, noteLength);
        QFETCH(bool, readable);
        Bag b;
        b.items.fill(Sample{0, QStringLiteral("x"), QDateTime(QDate(2026, 1, 1), QTime(0, 0), Qt::UTC)}, items);
        b.tags.fill(QString(tagLength, QLatin1Char('t')), tags);
        b.note = QString(noteLength, QLatin1Char('n'));
        const QString name = QStringLiteral("bag.json");
        QVERIFY(TestEnvironment::writeState(name, QJsonDocument(b.toJson().toObject()).toJson()));
        const std::optional<Bag> back = Store::load<Bag>(name);
        QCOMPARE(bool(back), readable);
        QCOMPARE(keptCopies(name).size(), readable ? 0 : 1);
        if (back) {
            QCOMPARE(back->items.size(), items);
            QCOMPARE(back->note.size(), noteLength);
        }
    }

    void limitsOfAnyValue_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("readable");
        const qsizetype n = Json::kMaxListEntries;
        auto keys = [](qsizetype count) {
            QByteArray o = "{\"m\": {";
            for (qsizetype i = 0; i < count; ++i)
                o += (i ? ",\"k" : "\"k") + QByteArray::number(i) + "\": 1";
            return o + "}}";
        };
        auto numbers = [](qsizetype count) {
            QByteArray a = "[[";
            for (qsizetype i = 0; i < count; ++i)
                a += i ? ",0" : "0";
            return a + "]]";
        };
        QTest::newRow("object entries at the limit") << keys(n) << true;
        QTest::newRow("object entries one past") << keys(n + 1) << false;
        QTest::newRow("inner list at the limit") << numbers(n) << true;
        QTest::newRow("inner list one past") << numbers(n + 1) << false;
        QByteArray big(Store::kMaxStateFileSize, ' ');
        big[0] = '[';
        big[big.size() - 1] = ']';
        QTest::newRow("file at the size limit") << big << true;
        QTest::newRow("file one byte past") << big + ' ' << false;
    }
    // Maps of names (a citation's fields, game counters) and lists a reader
    // walks by hand are held to the same limit, as is the whole file.
    void limitsOfAnyValue()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, readable);
        QVERIFY(TestEnvironment::writeState(QStringLiteral("any.json"), text));
        QCOMPARE(bool(Store::read(QStringLiteral("any.json"))), readable);
    }

    void debouncerRunsOnlyTheLastCall()
    {
        Debouncer d(1.0);
        QList<int> ran;
        QElapsedTimer clock;
        clock.start();
        qint64 ranAt = -1;
        qint64 lastCallAt = 0;
        for (int i = 1; i <= 3; ++i) {
            lastCallAt = clock.elapsed();
            d.call([&, i] { ran.append(i); ranAt = clock.elapsed(); });
            QTest::qWait(60);
        }
        QTRY_COMPARE_WITH_TIMEOUT(ran.size(), 1, 10000);
        QTest::qWait(200);
        QCOMPARE(ran, QList<int>{3});
        QVERIFY(ranAt - lastCallAt >= 990);
    }

    void debouncerRunsPendingWorkWhenFlushed()
    {
        int ran = 0;
        {
            Debouncer d(10.0);
            d.call([&] { ++ran; });
            QVERIFY(d.isPending());
            Debouncer::flushAll();
            QCOMPARE(ran, 1);
            QVERIFY(!d.isPending());
            d.call([&] { ++ran; });
        } // destroyed with work pending: it runs
        QCOMPARE(ran, 2);
    }
};

QTEST_GUILESS_MAIN(StoreTest)
#include "tst_store.moc"
