// Self-test suites of the word processor's documents: the header/footer
// record, page setup, the picture warning, saving and PDF export.
#include "core/Store.h"
#include "selftest/SelfTest.h"
#include "wordproc/WPDocument.h"
#include "wordproc/print/WPPrint.h"

#include <QFile>
#include <QTextCursor>
#include <QTextDocument>

namespace {

SelfTest::Suite documentSuite("WordDocument", [](SelfTest::Check& c) {
    WPDocument written;
    written.setHeaderFooter(QString(), QStringLiteral("{page} / {pages}"));
    const WPDocAttributes attributes = written.documentAttributes();
    c.equal(attributes.comment.value_or(QString()),
            QStringLiteral("VEXO-HF") + QChar(0x1F) + QChar(0x1F) + QStringLiteral("{page} / {pages}"),
            QStringLiteral("footer-only record"));
    WPDocument read;
    read.apply(attributes);
    c.equal(read.footerText(), QStringLiteral("{page} / {pages}"), QStringLiteral("footer read back"));
    c.equal(read.headerText(), QString(), QStringLiteral("header stays empty"));
    c.that(!WPDocument().documentAttributes().comment, QStringLiteral("no record without header and footer"));

    WPPageSetup narrow;
    narrow.paperSize = QSizeF(200, 792);
    narrow.leftMargin = narrow.rightMargin = 144;
    read.setPageSetup(narrow);
    c.that(read.pageSetup().textWidth() >= 72, QStringLiteral("margins leave an inch of text width"));

    using Op = WPDocument::SaveOperation;
    c.equal(WPDocument::pictureWarningNeeded(QStringLiteral("public.rtf"), true, false, Op::save), true,
            QStringLiteral("RTF with pictures warns"));
    c.equal(WPDocument::pictureWarningNeeded(WPDocument::kDocxType, true, false, Op::save), false,
            QStringLiteral("DOCX never warns"));
    c.equal(WPDocument::pictureWarningNeeded(QStringLiteral("public.rtf"), true, false, Op::autosaveElsewhere), false,
            QStringLiteral("autosave never warns"));

    const QString path = Store::path(QStringLiteral("selftest-document.txt"));
    WPDocument saved;
    saved.storage()->setPlainText(QStringLiteral("Plain text survives"));
    QString error;
    c.that(saved.writeTo(path, QStringLiteral("public.plain-text"), &error), QStringLiteral("plain text saves"),
           QString(), error);
    WPDocument reopened;
    c.that(reopened.read(path, QStringLiteral("public.plain-text"), &error), QStringLiteral("plain text opens"),
           QString(), error);
    c.equal(reopened.storage()->toPlainText(), QStringLiteral("Plain text survives"),
            QStringLiteral("text read back"));
    QFile::remove(path);
});

SelfTest::Suite printSuite("WordPrint", [](SelfTest::Check& c) {
    c.equal(WPPrint::expand(QStringLiteral("{page} / {pages}"), 2, 3, QDate(2026, 1, 2), QString()),
            QStringLiteral("2 / 3"), QStringLiteral("page of pages"));
    c.equal(WPPrint::expand(QStringLiteral("{pages}"), 2, 13, QDate(), QString()), QStringLiteral("13"),
            QStringLiteral("{pages} is its own placeholder"));

    WPDocument document;
    QTextCursor cursor(document.storage());
    cursor.insertText(QStringLiteral("First page"));
    QTextBlockFormat breakBefore;
    breakBefore.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    cursor.insertBlock(breakBefore);
    cursor.insertText(QStringLiteral("Second page"));
    document.setHeaderFooter(QStringLiteral("{title}"), QStringLiteral("{page} / {pages}"));
    c.equal(qint64(WPPrint::pageCount(*document.storage(), document.pageSetup())), 2, QStringLiteral("two pages"));

    const QString pdf = Store::path(QStringLiteral("selftest-export.pdf"));
    c.that(document.exportPDF(pdf), QStringLiteral("PDF export succeeds"));
    QFile file(pdf);
    c.that(file.open(QIODevice::ReadOnly) && file.read(5) == "%PDF-", QStringLiteral("export is a PDF file"));
    file.close();
    QFile::remove(pdf);
    c.that(!document.exportPDF(Store::folder()), QStringLiteral("export onto a folder fails"));
});

} // namespace
