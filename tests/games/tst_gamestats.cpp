#include "TestEnvironment.h"
#include "core/Store.h"
#include "games/BingoModel.h"
#include "games/GameStats.h"
#include "games/SolitaireModel.h"

#include <QFile>
#include <QTest>

namespace {

const QString kFile = QStringLiteral("games.json");

using Counters = QMap<QString, qint64>;

} // namespace

class GameStatsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { TestEnvironment::clearDataFolder(); }

    void reading_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<bool>("valid");
        QTest::newRow("valid") << QByteArray(R"({"solitaire": {"played": 3, "won": 1}, "bingo": {"played": 2}})") << true;
        QTest::newRow("empty counters") << QByteArray(R"({"solitaire": {}, "bingo": {}})") << true;
        QTest::newRow("largest counter") << QByteArray(R"({"solitaire": {"n": 9007199254740992}, "bingo": {}})") << true;
        QTest::newRow("negative counter") << QByteArray(R"({"solitaire": {"n": -4}, "bingo": {}})") << true;
        QTest::newRow("not JSON") << QByteArray(R"({"solitaire": )") << false;
        QTest::newRow("bingo missing") << QByteArray(R"({"solitaire": {}})") << false;
        QTest::newRow("solitaire is a list") << QByteArray(R"({"solitaire": [], "bingo": {}})") << false;
        QTest::newRow("counter is text") << QByteArray(R"({"solitaire": {"won": "3"}, "bingo": {}})") << false;
        QTest::newRow("counter has a fraction") << QByteArray(R"({"solitaire": {"won": 2.5}, "bingo": {}})") << false;
        QTest::newRow("counter beyond 64 bits") << QByteArray(R"({"solitaire": {"won": 1e30}, "bingo": {}})") << false;
        QTest::newRow("counter is null") << QByteArray(R"({"solitaire": {"won": null}, "bingo": {}})") << false;
        QTest::newRow("top level is a number") << QByteArray("42") << false;
    }

    void reading()
    {
        QFETCH(QByteArray, contents);
        QFETCH(bool, valid);
        QVERIFY(TestEnvironment::writeState(kFile, contents));
        QCOMPARE(Store::load<GameStats>(kFile).has_value(), valid);
        SolitaireModel solitaire;
        BingoModel bingo;
        if (!valid) {
            QVERIFY(solitaire.stats().isEmpty());
            QVERIFY(bingo.stats().isEmpty());
        }
        // Opening a game never rewrites the file.
        QCOMPARE(TestEnvironment::readState(kFile), contents);
    }

    void bothGamesReadTheOneRecord()
    {
        QVERIFY(TestEnvironment::writeState(kFile, R"({"solitaire": {"played": 3, "won": 1}, "bingo": {"played": 2}})"));
        SolitaireModel solitaire;
        BingoModel bingo;
        QCOMPARE(solitaire.stats(), (Counters{{QStringLiteral("played"), 3}, {QStringLiteral("won"), 1}}));
        QCOMPARE(bingo.stats(), (Counters{{QStringLiteral("played"), 2}}));
    }

    void roundTrip_data()
    {
        QTest::addColumn<Counters>("solitaire");
        QTest::addColumn<Counters>("bingo");
        QTest::newRow("empty") << Counters{} << Counters{};
        QTest::newRow("both") << Counters{{QStringLiteral("won"), 7}} << Counters{{QStringLiteral("played"), 12}};
        QTest::newRow("big and odd names") << Counters{{QStringLiteral("best time (s)"), 4503599627370496}}
                                           << Counters{{QStringLiteral("ünïcode"), -1}};
    }

    void roundTrip()
    {
        QFETCH(Counters, solitaire);
        QFETCH(Counters, bingo);
        const GameStats stats{solitaire, bingo};
        QVERIFY(stats.save());
        QCOMPARE(GameStats::load(), stats);
    }

    // Each window saves its own counters; a save must not undo what the
    // other window wrote since it was opened.
    void savesKeepTheOtherGamesCounters()
    {
        SolitaireModel solitaire;
        BingoModel bingo;
        bingo.setStats({{QStringLiteral("played"), 5}});
        solitaire.setStats({{QStringLiteral("won"), 2}});
        const GameStats onDisk = GameStats::load();
        QCOMPARE(onDisk.bingo, (Counters{{QStringLiteral("played"), 5}}));
        QCOMPARE(onDisk.solitaire, (Counters{{QStringLiteral("won"), 2}}));
        BingoModel reopened;
        QCOMPARE(reopened.stats(), (Counters{{QStringLiteral("played"), 5}}));
    }
};

QTEST_MAIN(GameStatsTest)
#include "tst_gamestats.moc"
