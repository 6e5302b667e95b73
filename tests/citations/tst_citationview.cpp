#include "TestEnvironment.h"
#include "app/Store.h"
#include "citations/CitationModel.h"
#include "citations/views/CitationView.h"
#include "ui/ToolScaffold.h"

#include <QFile>
#include <QLabel>
#include <QTest>

class CitationViewTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { TestEnvironment::clearDataFolder(); }

    void ownsAModelThatReadsTheFile()
    {
        CitationModel::Saved saved;
        saved.style = QStringLiteral("MLA");
        QVERIFY(Store::save(saved, QStringLiteral("citations.json")));
        CitationView view;
        QVERIFY(view.model());
        QCOMPARE(view.model()->parent(), &view);
        QCOMPARE(view.model()->style(), QStringLiteral("MLA"));
    }

    void saysTheToolIsNotAvailable()
    {
        auto* view = new CitationView;
        ToolScaffold window(Tool::citation, view);
        window.resize(Tool(Tool::citation).defaultSize().value());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QLabel* label = view->messageLabel();
        QCOMPARE(label->text(), QStringLiteral("Citation Builder is not available in this release."));
        QVERIFY(label->isVisible());
        const QPoint centre = label->mapTo(view, label->rect().center());
        QVERIFY(qAbs(centre.x() - view->width() / 2) <= 2);
        QVERIFY(qAbs(centre.y() - view->height() / 2) <= 2);
        // At the smallest window size the message wraps, whole and inside.
        window.resize(320, 300);
        QTest::qWait(20);
        QVERIFY(label->height() >= label->heightForWidth(label->width()));
        QVERIFY(view->rect().contains(QRect(label->mapTo(view, QPoint(0, 0)), label->size())));
        window.resize(Tool(Tool::citation).defaultSize().value());
        QTest::qWait(20);
        const QString dir = qEnvironmentVariable("BW_SNAPSHOT_DIR");
        if (!dir.isEmpty())
            QVERIFY(window.grab().save(dir + QStringLiteral("/citation.png")));
    }
};

QTEST_MAIN(CitationViewTest)
#include "tst_citationview.moc"
