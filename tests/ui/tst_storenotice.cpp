#include "TestEnvironment.h"
#include "core/StoreEvents.h"
#include "ui/StoreNoticeView.h"

#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QPushButton>
#include <QTest>

namespace {

StoreEvents::Problem failure(const QString& owner)
{
    return {StoreEvents::Problem::Kind::saveFailed, owner, QStringLiteral("/data/") + owner + QStringLiteral(".json"),
            QStringLiteral("No space left on device"), QString()};
}

} // namespace

class StoreNoticeTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        for (const StoreEvents::Problem& p : StoreEvents::shared().problems())
            StoreEvents::shared().clear(p.owner);
    }

    // Problems reported before the notice exists are shown when it is made.
    void earlierProblemsShowAtOnce()
    {
        StoreEvents::shared().reportProblem(failure(QStringLiteral("Invoices")));
        StoreNoticeView view(StoreEvents::shared());
        QVERIFY(view.isVisible());
        QCOMPARE(view.messages().size(), 1);
        QVERIFY(view.messages().first().contains(QStringLiteral("/data/Invoices.json")));
        // At the top right of the screen, clear of its edges.
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY(area.contains(view.geometry()));
        QVERIFY(view.geometry().right() > area.center().x());
        QVERIFY(view.geometry().top() < area.center().y());
    }

    // Told once per tool: a dismissed notice stays away while the same
    // tools keep failing, returns for a new tool with every open problem,
    // and goes when every problem is put right.
    void toldOncePerTool()
    {
        StoreNoticeView view(StoreEvents::shared());
        QVERIFY(!view.isVisible());
        StoreEvents& events = StoreEvents::shared();
        events.reportProblem(failure(StoreEvents::ownerOf(QStringLiteral("converter.json"))));
        QVERIFY(view.isVisible());
        QVERIFY(!view.isActiveWindow()); // never takes the focus from the work
        view.findChild<QPushButton*>(QStringLiteral("dismiss"))->click();
        QVERIFY(!view.isVisible());
        events.reportProblem(failure(StoreEvents::ownerOf(QStringLiteral("converter.json"))));
        QVERIFY(!view.isVisible());
        events.reportProblem(failure(QStringLiteral("Citations")));
        QVERIFY(view.isVisible());
        QCOMPARE(view.messages().size(), 2);
        events.reportSaved(QStringLiteral("converter.json"));
        QCOMPARE(view.messages().size(), 1);
        QVERIFY(view.messages().first().startsWith(QStringLiteral("Citations")));
        QVERIFY(view.isVisible());
        events.clear(QStringLiteral("Citations"));
        QVERIFY(!view.isVisible());
    }

    // A problem added while the notice is up makes it grow: every message
    // is shown whole, wrapped, not cut to one line.
    void messagesAddedWhileShownAreWhole()
    {
        StoreEvents& events = StoreEvents::shared();
        StoreNoticeView view(events);
        events.reportProblem(failure(QStringLiteral("Scientific Calculator")));
        QVERIFY(view.isVisible());
        events.reportProblem(failure(QStringLiteral("Study Timeline")));
        QApplication::processEvents();
        const QList<QLabel*> labels = view.findChildren<QLabel*>();
        int shown = 0;
        for (const QLabel* l : labels) {
            if (!l->text().contains(QStringLiteral("No space left")))
                continue;
            ++shown;
            QVERIFY(l->isVisible());
            QVERIFY2(l->height() >= l->heightForWidth(l->width()),
                     qPrintable(QStringLiteral("%1 < %2").arg(l->height()).arg(l->heightForWidth(l->width()))));
        }
        QCOMPARE(shown, 2);
    }

    // The picture, for looking at beside the other windows.
    void rendersEveryKind()
    {
        StoreEvents& events = StoreEvents::shared();
        events.reportProblem(failure(QStringLiteral("Scientific Calculator")));
        events.reportProblem({StoreEvents::Problem::Kind::keptAside, QStringLiteral("Preferences"),
                              QStringLiteral("/home/me/.config/VEXO/Brindleworks.json"),
                              QStringLiteral("it is damaged: unterminated object at byte 20"),
                              QStringLiteral("/home/me/.config/VEXO/Brindleworks.json.unreadable-20260314T090500Z")});
        events.reportProblem({StoreEvents::Problem::Kind::readOnly, QStringLiteral("Brindleworks"),
                              QStringLiteral("/home/me/.local/share/VEXO Brindleworks"),
                              QStringLiteral("process 4242 on \u201cdesk\u201d"),
                              QStringLiteral("/home/me/.local/share/VEXO Brindleworks/.brindleworks.lock")});
        StoreNoticeView view(events);
        QCOMPARE(view.messages().size(), 3);
        QVERIFY(view.height() < 600);
        const QString out = qEnvironmentVariable("BW_NOTICE_PNG");
        if (!out.isEmpty())
            QVERIFY(view.grab().save(out));
    }
};

QTEST_MAIN(StoreNoticeTest)
#include "tst_storenotice.moc"
