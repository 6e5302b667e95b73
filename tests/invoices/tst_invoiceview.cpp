#include "TestEnvironment.h"
#include "core/Store.h"
#include "invoices/InvoiceStore.h"
#include "invoices/views/InvoiceView.h"

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
        InvoiceView view;
        QCOMPARE(view.messageLabel()->text(), QStringLiteral("Invoice & Receipt Maker is not available in this release."));
    }
};

QTEST_MAIN(InvoiceViewTest)
#include "tst_invoiceview.moc"
