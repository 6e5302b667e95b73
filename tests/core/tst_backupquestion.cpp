#include "TestEnvironment.h"
#include "core/Store.h"
#include "core/StoreEvents.h"

#include <QDir>
#include <QJsonArray>
#include <QTest>

namespace {

struct Values {
    QJsonArray list;
    QJsonValue toJson() const { return list; }
    static std::optional<Values> fromJson(const QJsonValue& v)
    {
        if (!v.isArray())
            return std::nullopt;
        return Values{v.toArray()};
    }
};

QStringList named(const QString& pattern)
{
    return QDir(Store::folder()).entryList({pattern}, QDir::Files);
}

} // namespace

class BackupQuestionTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        TestEnvironment::clearDataFolder();
        for (const StoreEvents::Problem& p : StoreEvents::shared().problems())
            StoreEvents::shared().clear(p.owner);
    }
    void cleanup() { Store::setRestoreQuestion({}); }

    void askedOnceForAll_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::newRow("Restore Backups") << true;
        QTest::newRow("Don't Restore") << false;
    }
    // Four tools' files cannot be read (damaged, or not the tool's record),
    // two of them with a backup that reads as the tool's record: one
    // question names those two; the answer holds when the tools read their
    // files later, and a declined backup is kept as declined.
    void askedOnceForAll()
    {
        QFETCH(bool, yes);
        // Each case has its own files: the answers of a run are kept.
        const QString tag = QString::fromLatin1(QTest::currentDataTag()).left(3);
        const QString a = tag + QStringLiteral("-timeline.json");
        const QString b = tag + QStringLiteral("-focus.json");
        const QString c = tag + QStringLiteral("-games.json");
        const QString d = tag + QStringLiteral("-converter.json");
        const QString fine = tag + QStringLiteral("-citations.json");
        for (const QString& n : {a, c, d})
            QVERIFY(TestEnvironment::writeState(n, "[1, 2"));
        QVERIFY(TestEnvironment::writeState(b, "{\"not\": \"a list\"}"));
        QVERIFY(TestEnvironment::writeState(fine, "[4]"));
        QVERIFY(TestEnvironment::writeState(a + ".bak", "[1]"));
        QVERIFY(TestEnvironment::writeState(b + ".bak", "[2]"));
        QVERIFY(TestEnvironment::writeState(c + ".bak", "[3"));
        QVERIFY(TestEnvironment::writeState(d + ".bak", "{}"));
        QVERIFY(TestEnvironment::writeState(fine + ".bak", "[5]"));
        int single = 0;
        Store::setRestoreQuestion([&](const QString&, const QString&) {
            ++single;
            return true;
        });
        QList<QList<std::pair<QString, QString>>> asked;
        const auto list = [](const QJsonValue& v) { return v.isArray(); };
        Store::askAboutBackups({{a, list}, {b, list}, {c, list}, {d, list}, {fine, list},
                                {tag + QStringLiteral("-missing.json"), list}},
                               [&](const QList<std::pair<QString, QString>>& files) {
                                   asked.append(files);
                                   return yes;
                               });
        QCOMPARE(asked.size(), 1);
        const QList<std::pair<QString, QString>> expected{{Store::path(a), Store::path(a) + ".bak"},
                                                          {Store::path(b), Store::path(b) + ".bak"}};
        QCOMPARE(asked.first(), expected);
        QCOMPARE(bool(Store::load<Values>(a)), yes);
        QCOMPARE(bool(Store::load<Values>(b)), yes);
        QVERIFY(!Store::load<Values>(c));
        QCOMPARE(single, 0);
        QCOMPARE(TestEnvironment::readState(a), yes ? QByteArray("[1]") : QByteArray("[1, 2"));
        QCOMPARE(TestEnvironment::readState(fine), QByteArray("[4]"));
        // What was unreadable is kept as such; a declined backup says so.
        for (const QString& n : {a, b, c, d})
            QCOMPARE(named(n + ".unreadable-*").size(), 1);
        QCOMPARE(named(fine + ".*").size(), 1);
        QCOMPARE(named(a + ".bak.declined-*").size(), yes ? 0 : 1);
        QCOMPARE(named(a + ".bak.unreadable-*").size(), 0);
        if (!yes)
            QCOMPARE(TestEnvironment::readState(named(b + ".bak.declined-*").first()), QByteArray("[2]"));
    }

    // Without a question installed, or in read-only mode, nobody is asked
    // and nothing is put back.
    void nobodyToAsk()
    {
        QVERIFY(TestEnvironment::writeState("citations.json", "{"));
        QVERIFY(TestEnvironment::writeState("citations.json.bak", "[]"));
        int asked = 0;
        const auto ask = [&](const QList<std::pair<QString, QString>>&) { return ++asked > 0; };
        Store::askAboutBackups({{QStringLiteral("citations.json"), {}}}, ask);
        Store::setRestoreQuestion([](const QString&, const QString&) { return true; });
        Store::setReadOnly(true);
        Store::askAboutBackups({{QStringLiteral("citations.json"), {}}}, ask);
        Store::setReadOnly(false);
        QCOMPARE(asked, 0);
        QCOMPARE(TestEnvironment::readState("citations.json"), QByteArray("{"));
    }

    // The last resort when the program ends with saves still failing: the
    // state goes to the temporary folder, and the next start brings it into
    // the data folder beside its file and names it.
    void keptElsewhereAndNamedAtStart()
    {
        const QString name = QStringLiteral("converter.json");
        QVERIFY(Store::save(Values{{1}}, name));
        Store::setWriteFault([](const QString&) { return QStringLiteral("No space left on device"); });
        QVERIFY(!Store::save(Values{{1, 2}}, name));
        QCOMPARE(Store::keepWaitingSavesElsewhere(), QStringList());
        Store::setWriteFault({});
        Store::dropRetries();
        StoreEvents::shared().clear(StoreEvents::ownerOf(name));
        const QString kept = Store::lastResortFolder() + QLatin1Char('/') + name;
        QCOMPARE(QFile::permissions(Store::lastResortFolder()) & (QFile::ReadGroup | QFile::ReadOther),
                 QFile::Permissions());
        QVERIFY(TestEnvironment::contents(kept).contains("2"));
        const QStringList named = Store::bringBackKeptElsewhere();
        QCOMPARE(named.size(), 1);
        QVERIFY(named.first().startsWith(Store::path(name) + ".unsaved-"));
        QVERIFY(TestEnvironment::contents(named.first()).contains("2"));
        QVERIFY(!QFile::exists(kept));
        const QList<StoreEvents::Problem> problems = StoreEvents::shared().problems();
        QCOMPARE(problems.size(), 1);
        QCOMPARE(problems.first().kind, StoreEvents::Problem::Kind::keptElsewhere);
        QCOMPARE(problems.first().copy, named.first());
        QVERIFY(StoreEvents::describe(problems.first()).contains(named.first()));
        // Told once: nothing is left to bring back.
        QCOMPARE(Store::bringBackKeptElsewhere(), QStringList());
    }
};

QTEST_GUILESS_MAIN(BackupQuestionTest)
#include "tst_backupquestion.moc"
