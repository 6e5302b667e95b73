#include "TestEnvironment.h"
#include "games/BingoModel.h"
#include "games/DeckManager.h"
#include "games/GameStats.h"
#include "games/SolitaireModel.h"
#include "games/views/BingoView.h"
#include "games/views/SolitaireView.h"
#include "ui/ToolScaffold.h"

#include <QLabel>
#include <QTest>

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
        const Tool t(static_cast<Tool::Case>(tool));
        QWidget* view = makeView(t);
        ToolScaffold window(t, view);
        window.resize(t.defaultSize().value());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QLabel* label = messageOf(view);
        QCOMPARE(label->text(), text);
        QVERIFY(label->isVisible());
        const QPoint centre = label->mapTo(view, label->rect().center());
        QVERIFY(qAbs(centre.x() - view->width() / 2) <= 2);
        QVERIFY(qAbs(centre.y() - view->height() / 2) <= 2);
        // At the smallest window size the message wraps, whole and inside.
        window.resize(320, 300);
        QTest::qWait(20);
        QVERIFY(label->height() >= label->heightForWidth(label->width()));
        QVERIFY(view->rect().contains(QRect(label->mapTo(view, QPoint(0, 0)), label->size())));
        window.resize(t.defaultSize().value());
        QTest::qWait(20);
        const QString dir = qEnvironmentVariable("BW_SNAPSHOT_DIR");
        if (!dir.isEmpty())
            QVERIFY(window.grab().save(dir + QLatin1Char('/') + t.rawValue() + QStringLiteral(".png")));
    }
};

QTEST_MAIN(GameViewsTest)
#include "tst_gameviews.moc"
