#include "TestEnvironment.h"
#include "core/Tool.h"
#include "games/BingoModel.h"
#include "games/DeckManager.h"
#include "games/GameStats.h"
#include "games/SolitaireModel.h"
#include "games/views/BingoView.h"
#include "games/views/SolitaireView.h"

#include <QLabel>
#include <QTest>
#include <memory>

namespace {

QWidget* makeView(Tool tool)
{
    return tool == Tool::solitaire ? static_cast<QWidget*>(new SolitaireView) : new BingoView;
}

QLabel* messageOf(QWidget* view)
{
    if (auto* s = qobject_cast<SolitaireView*>(view))
        return s->messageLabel();
    return static_cast<BingoView*>(view)->messageLabel();
}

} // namespace

class GameViewsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { TestEnvironment::clearDataFolder(); }

    void viewsOwnModelsThatReadTheSharedRecord()
    {
        GameStats stats;
        stats.solitaire.insert(QStringLiteral("won"), 3);
        stats.bingo.insert(QStringLiteral("played"), 9);
        QVERIFY(stats.save());
        SolitaireView solitaire;
        BingoView bingo;
        QCOMPARE(solitaire.model()->parent(), &solitaire);
        QCOMPARE(bingo.model()->parent(), &bingo);
        QCOMPARE(solitaire.model()->stats().value(QStringLiteral("won")), 3);
        QCOMPARE(bingo.model()->stats().value(QStringLiteral("played")), 9);
        QCOMPARE(&solitaire.deckManager(), &DeckManager::shared());
    }

    void saysTheToolIsNotAvailable_data()
    {
        QTest::addColumn<int>("tool");
        QTest::addColumn<QString>("text");
        QTest::newRow("solitaire") << int(Tool::solitaire)
                                   << QStringLiteral("Solitaire is not available in this release.");
        QTest::newRow("bingo") << int(Tool::bingo) << QStringLiteral("Bingo is not available in this release.");
    }

    void saysTheToolIsNotAvailable()
    {
        QFETCH(int, tool);
        QFETCH(QString, text);
        std::unique_ptr<QWidget> view(makeView(Tool(static_cast<Tool::Case>(tool))));
        QCOMPARE(messageOf(view.get())->text(), text);
    }
};

QTEST_MAIN(GameViewsTest)
#include "tst_gameviews.moc"
