#include "TestEnvironment.h"
#include "ui/ToolScaffold.h"
#include "ui/UnavailableNotice.h"

#include <QLabel>
#include <QTest>

// The notice of the tools outside this release: centred at the default
// size, wrapped whole at the smallest window size.
class NoticeTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void centredAndWrapped_data()
    {
        QTest::addColumn<int>("tool");
        for (Tool t : {Tool::citation, Tool::invoice, Tool::passwords, Tool::solitaire, Tool::bingo})
            QTest::newRow(qPrintable(t.rawValue())) << t.index();
    }
    void centredAndWrapped()
    {
        QFETCH(int, tool);
        const Tool t(static_cast<Tool::Case>(tool));
        auto* view = new QWidget;
        QLabel* label = addUnavailableNotice(view, t);
        ToolScaffold window(t, view);
        window.resize(t.defaultSize().value());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(label->text(), t.title() + QStringLiteral(" is not available in this release."));
        const QPoint centre = label->mapTo(view, label->rect().center());
        QVERIFY(qAbs(centre.x() - view->width() / 2) <= 2);
        QVERIFY(qAbs(centre.y() - view->height() / 2) <= 2);
        window.resize(320, 300);
        QTest::qWait(20);
        QVERIFY(label->height() >= label->heightForWidth(label->width()));
        QVERIFY(view->rect().contains(QRect(label->mapTo(view, QPoint(0, 0)), label->size())));
    }
};

QTEST_MAIN(NoticeTest)
#include "tst_notice.moc"
