#include "TestEnvironment.h"
#include "app/Store.h"
#include "invoices/InvoiceStore.h"
#include "invoices/views/InvoiceView.h"
#include "ui/ToolScaffold.h"

#include <QFile>
#include <QLabel>
#include <QTest>

class InvoiceViewTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { TestEnvironment::clearDataFolder(); }

    void ownsAModelThatReadsTheFile()
    {
        InvoiceStore::Saved saved;
        saved.profile.currencySymbol = QStringLiteral("€");
        QVERIFY(Store::save(saved, QStringLiteral("invoices.json")));
        InvoiceView view;
        QVERIFY(view.store());
        QCOMPARE(view.store()->parent(), &view);
        QCOMPARE(view.store()->profile().currencySymbol, QStringLiteral("€"));
    }

    void saysTheToolIsNotAvailable()
    {
        auto* view = new InvoiceView;
        ToolScaffold window(Tool::invoice, view);
        window.resize(Tool(Tool::invoice).defaultSize().value());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QLabel* label = view->messageLabel();
        QCOMPARE(label->text(), QStringLiteral("Invoice & Receipt Maker is not available in this release."));
        QVERIFY(label->isVisible());
        const QPoint centre = label->mapTo(view, label->rect().center());
        QVERIFY(qAbs(centre.x() - view->width() / 2) <= 2);
        QVERIFY(qAbs(centre.y() - view->height() / 2) <= 2);
        // At the smallest window size the message wraps, whole and inside.
        window.resize(320, 300);
        QTest::qWait(20);
        QVERIFY(label->height() >= label->heightForWidth(label->width()));
        QVERIFY(view->rect().contains(QRect(label->mapTo(view, QPoint(0, 0)), label->size())));
        window.resize(Tool(Tool::invoice).defaultSize().value());
        QTest::qWait(20);
        const QString dir = qEnvironmentVariable("BW_SNAPSHOT_DIR");
        if (!dir.isEmpty())
            QVERIFY(window.grab().save(dir + QStringLiteral("/invoice.png")));
    }
};

QTEST_MAIN(InvoiceViewTest)
#include "tst_invoiceview.moc"
