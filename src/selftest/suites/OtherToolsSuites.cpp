// Self-test suites of the citation, invoice, password-book and card-game
// state: strict reading of their files and the password book's locking.
#include "core/Store.h"
#include "money/Money.h"
#include "citations/CitationModel.h"
#include "games/BingoModel.h"
#include "games/GameStats.h"
#include "games/SolitaireModel.h"
#include "invoices/InvoiceStore.h"
#include "passwords/PasswordBookModel.h"
#include "selftest/SelfTest.h"
#include "selftest/Snapshots.h"

#include <QFile>

namespace {

void writeRaw(const QString& name, const QByteArray& data)
{
    QFile f(Store::path(name));
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(data);
}

void removeState(const QString& name)
{
    QFile::remove(Store::path(name));
    QFile::remove(Store::path(name) + QStringLiteral(".bak"));
}

SelfTest::Suite citationSuite("Citations", [](SelfTest::Check& c) {
    const QString name = QString::fromLatin1(CitationModel::fileName);
    removeState(name);
    {
        CitationModel m;
        c.that(m.style().isEmpty() && m.sources().isEmpty(), QStringLiteral("no file: empty builder"));
        CitationSource s;
        s.fields.insert(QStringLiteral("title"), QStringLiteral("Walden"));
        m.setStyle(QStringLiteral("MLA"));
        m.setSources({s});
    }
    {
        CitationModel again;
        c.equal(again.style(), QStringLiteral("MLA"), QStringLiteral("style read back"));
        c.that(again.sources().size() == 1
                   && again.sources().first().fields.value(QStringLiteral("title")) == QStringLiteral("Walden"),
               QStringLiteral("sources read back"));
    }
    writeRaw(name, R"({"style": "MLA", "sources": [{"id": "x", "fields": {}}], "draft": {}})");
    {
        CitationModel damaged;
        c.that(damaged.style().isEmpty() && damaged.sources().isEmpty(),
               QStringLiteral("a damaged file leaves the defaults"));
    }
    removeState(name);
});

SelfTest::Suite invoiceSuite("Invoices", [](SelfTest::Check& c) {
    const QString name = QString::fromLatin1(InvoiceStore::fileName);
    removeState(name);
    InvoiceDocument doc;
    doc.number = QStringLiteral("INV-1001");
    doc.lines = {InvoiceLine(QStringLiteral("Cable"), Decimal(3), *Decimal::fromString(u"0.10"))};
    {
        InvoiceStore s;
        c.equal(s.profile().invoicePrefix, QStringLiteral("INV-"), QStringLiteral("default invoice prefix"));
        c.equal(s.profile().receiptPrefix, QStringLiteral("RCPT-"), QStringLiteral("default receipt prefix"));
        s.setDocuments({doc});
    }
    {
        InvoiceStore again;
        c.that(again.documents() == QList<InvoiceDocument>{doc}, QStringLiteral("documents read back"));
        const Decimal amount = again.documents().value(0).lines.value(0).amount();
        c.that(amount == *Decimal::fromString(u"0.30"), QStringLiteral("line amount after reading back"),
               QStringLiteral("0.30"), amount.toString());
    }
    writeRaw(name, R"({"profile": {"currencySymbol": "$", "invoicePrefix": "INV-"}, "documents": []})");
    {
        InvoiceStore damaged;
        c.that(damaged.documents().isEmpty(), QStringLiteral("a damaged file leaves the defaults"));
    }
    removeState(name);
});

class TestBook : public PasswordBookModel {
public:
    void open() { setOpenState(QByteArray(32, 'k'), {PasswordEntry{}}, nullptr); }
};

SelfTest::Suite passwordSuite("Password book", [](SelfTest::Check& c) {
    TestBook book;
    book.lock();
    c.that(book.isLocked() && book.message().isEmpty(), QStringLiteral("locking a locked book does nothing"));
    book.open();
    book.onScreenSaverActiveChanged(false);
    c.that(!book.isLocked(), QStringLiteral("screen saver stopping leaves the book open"));
    book.onPrepareForSleep(true);
    c.that(book.isLocked() && !book.hasKey() && book.entries().isEmpty(),
           QStringLiteral("sleep drops the key and the entries"));
    c.equal(book.message(), QStringLiteral("Locked."), QStringLiteral("lock message"));
    book.open();
    book.onSessionLock();
    c.that(book.isLocked(), QStringLiteral("session lock locks the book"));
});

SelfTest::Suite gamesSuite("Game statistics", [](SelfTest::Check& c) {
    const QString name = QString::fromLatin1(GameStats::fileName);
    removeState(name);
    {
        SolitaireModel solitaire;
        BingoModel bingo;
        bingo.setStats({{QStringLiteral("played"), 4}});
        solitaire.setStats({{QStringLiteral("won"), 1}});
    }
    const GameStats back = GameStats::load();
    c.equal(back.bingo.value(QStringLiteral("played")), 4, QStringLiteral("a solitaire save keeps bingo's counters"));
    c.equal(back.solitaire.value(QStringLiteral("won")), 1, QStringLiteral("solitaire counters read back"));
    writeRaw(name, R"({"solitaire": {"won": "1"}, "bingo": {}})");
    c.that(GameStats::load() == GameStats{}, QStringLiteral("a damaged file reads as empty statistics"));
    removeState(name);
});

// Sample records the snapshot mode writes before it opens the windows.
Snapshots::Sample citationSample("citations", [] {
    CitationSource source;
    source.fields = {{QStringLiteral("author"), QStringLiteral("Okafor, Adaeze")},
                     {QStringLiteral("title"), QStringLiteral("Tides of the Inner Sea")},
                     {QStringLiteral("year"), QStringLiteral("2021")}};
    CitationModel::Saved saved;
    saved.style = QStringLiteral("APA");
    saved.sources = {source};
    Store::save(saved, QString::fromLatin1(CitationModel::fileName));
});

Snapshots::Sample invoiceSample("invoices", [] {
    InvoiceDocument doc;
    doc.number = QStringLiteral("INV-0001");
    doc.lines = {InvoiceLine(QStringLiteral("Logo design"), Decimal(1), *Decimal::fromString(u"450.00")),
                 InvoiceLine(QStringLiteral("Business cards (box)"), Decimal(3), *Decimal::fromString(u"24.50"))};
    doc.taxPercent = *Decimal::fromString(u"8.25");
    InvoiceStore::Saved saved;
    saved.documents = {doc};
    Store::save(saved, QString::fromLatin1(InvoiceStore::fileName));
});

} // namespace
