#include "TestEnvironment.h"
#include "core/Store.h"
#include "money/InvoiceLine.h"
#include "money/Money.h"
#include "invoices/InvoiceStore.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>

namespace {

const QString kFile = QStringLiteral("invoices.json");
const QByteArray kId = "\"0E984725-C51C-4BF4-9960-E1C80E27ABA0\"";
const QByteArray kLineId = "\"5A7C1A3B-1D2E-4F50-8A9B-0C1D2E3F4A5B\"";

const QByteArray kProfile = R"({"currencySymbol": "€", "invoicePrefix": "F-", "receiptPrefix": "R-"})";
const QByteArray kLine = "{\"id\": " + kLineId + R"(, "description": "Widget", "quantity": 2, "unitPrice": 19.99})";

QByteArray document(const QByteArray& kind = "\"invoice\"", const QByteArray& lines = "[" + kLine + "]",
                    const QByteArray& shipping = "0", const QByteArray& id = kId)
{
    return "{\"id\": " + id + ", \"kind\": " + kind + ", \"number\": \"F-1001\", \"lines\": " + lines
        + ", \"discountPercent\": 10, \"taxPercent\": 8.25, \"shipping\": " + shipping + ", \"paid\": 0}";
}

QByteArray file(const QByteArray& profile, const QByteArray& documents)
{
    return "{\"profile\": " + profile + ", \"documents\": " + documents + "}";
}

Decimal dec(const char* text)
{
    return *Decimal::fromString(QString::fromLatin1(text));
}

} // namespace

class InvoiceStoreTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { TestEnvironment::clearDataFolder(); }

    void defaults()
    {
        InvoiceStore s;
        QCOMPARE(s.profile().currencySymbol, QStringLiteral("$"));
        QCOMPARE(s.profile().invoicePrefix, QStringLiteral("INV-"));
        QCOMPARE(s.profile().receiptPrefix, QStringLiteral("RCPT-"));
        QVERIFY(s.documents().isEmpty());
        QVERIFY(!QFile::exists(Store::path(kFile)));
    }

    void readsAValidFile()
    {
        QVERIFY(TestEnvironment::writeState(kFile, file(kProfile, "[" + document() + ", " + document("\"receipt\"", "[]") + "]")));
        InvoiceStore s;
        QCOMPARE(s.profile().currencySymbol, QStringLiteral("€"));
        QCOMPARE(s.profile().invoicePrefix, QStringLiteral("F-"));
        QCOMPARE(s.documents().size(), 2);
        const InvoiceDocument& d = s.documents().first();
        QCOMPARE(d.kind, InvoiceDocument::Kind::invoice);
        QCOMPARE(s.documents().at(1).kind, InvoiceDocument::Kind::receipt);
        QCOMPARE(d.number, QStringLiteral("F-1001"));
        QCOMPARE(d.lines.size(), 1);
        QCOMPARE(d.lines.first().description, QStringLiteral("Widget"));
        QCOMPARE(d.lines.first().unitPrice, dec("19.99"));
        QCOMPARE(d.taxPercent, dec("8.25"));
    }

    void damagedFileLeavesDefaults_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::newRow("not JSON") << QByteArray("{\"profile\": {");
        QTest::newRow("profile missing") << QByteArray("{\"documents\": []}");
        QTest::newRow("documents missing") << QByteArray("{\"profile\": " + kProfile + "}");
        QTest::newRow("profile lacks a prefix")
            << file(R"({"currencySymbol": "$", "invoicePrefix": "INV-"})", "[]");
        QTest::newRow("currency symbol is a number")
            << file(R"({"currencySymbol": 36, "invoicePrefix": "INV-", "receiptPrefix": "RCPT-"})", "[]");
        QTest::newRow("unknown kind of document") << file(kProfile, "[" + document("\"quote\"") + "]");
        QTest::newRow("line without a unit price")
            << file(kProfile, "[" + document("\"invoice\"", "[{\"id\": " + kLineId
                                                                 + R"(, "description": "W", "quantity": 2}])")
                    + "]");
        QTest::newRow("line quantity is a word")
            << file(kProfile, "[" + document("\"invoice\"", "[{\"id\": " + kLineId
                                                                 + R"(, "description": "W", "quantity": "two", "unitPrice": 1}])")
                    + "]");
        QTest::newRow("shipping is a boolean") << file(kProfile, "[" + document("\"invoice\"", "[]", "true") + "]");
        QTest::newRow("document id is not a UUID")
            << file(kProfile, "[" + document("\"invoice\"", "[]", "0", "\"INV-1\"") + "]");
        QTest::newRow("one good and one bad document")
            << file(kProfile, "[" + document() + ", " + document("\"invoice\"", "{}") + "]");
    }

    void damagedFileLeavesDefaults()
    {
        QFETCH(QByteArray, contents);
        QVERIFY(TestEnvironment::writeState(kFile, contents));
        InvoiceStore s;
        QCOMPARE(s.profile(), BusinessProfile{});
        QVERIFY(s.documents().isEmpty());
        // Reading never rewrites the file.
        QCOMPARE(TestEnvironment::readState(kFile), contents);
    }

    void changesAreSavedAndReadBack()
    {
        InvoiceDocument doc;
        doc.kind = InvoiceDocument::Kind::receipt;
        doc.number = QStringLiteral("RCPT-1001");
        doc.lines = {InvoiceLine(QStringLiteral("Hours"), dec("2.5"), dec("80")),
                     InvoiceLine(QStringLiteral("Cable"), dec("3"), dec("0.10"))};
        doc.shipping = dec("12.5");
        doc.paid = dec("100");
        BusinessProfile profile;
        profile.currencySymbol = QStringLiteral("£");
        {
            InvoiceStore s;
            QSignalSpy spy(&s, &InvoiceStore::documentsChanged);
            s.setDocuments({doc});
            s.setProfile(profile);
            s.setDocuments({doc});
            QCOMPARE(spy.count(), 1);
        }
        InvoiceStore again;
        QCOMPARE(again.profile(), profile);
        QCOMPARE(again.documents().size(), 1);
        const InvoiceDocument& back = again.documents().first();
        QCOMPARE(back, doc);
        // The amounts survive the file exactly.
        QCOMPARE(back.lines.at(1).amount(), dec("0.30"));
        QCOMPARE(Money::totals(back.lines, back.discountPercent, back.taxPercent, back.shipping, back.paid).balance,
                 dec("112.80"));
    }

    void decimalsRoundTripExactly_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("cents") << QStringLiteral("19.99");
        QTest::newRow("negative") << QStringLiteral("-0.005");
        QTest::newRow("more digits than a double carries") << QStringLiteral("12345678901234567.89");
        QTest::newRow("tiny rate") << QStringLiteral("0.0000000000000000001");
    }

    void decimalsRoundTripExactly()
    {
        QFETCH(QString, value);
        const Decimal d = *Decimal::fromString(value);
        InvoiceStore::Saved saved;
        InvoiceDocument doc;
        doc.number = QStringLiteral("INV-1001");
        doc.discountPercent = d;
        doc.taxPercent = d;
        doc.shipping = d;
        doc.paid = d;
        doc.lines = {InvoiceLine(QStringLiteral("x"), d, d)};
        saved.documents = {doc};
        QVERIFY(Store::save(saved, kFile));
        const std::optional<InvoiceStore::Saved> back = Store::load<InvoiceStore::Saved>(kFile);
        QVERIFY(back);
        QCOMPARE(back->documents.first().shipping.toString(), d.toString());
        QCOMPARE(*back, saved);
    }
};

QTEST_MAIN(InvoiceStoreTest)
#include "tst_invoicestore.moc"
