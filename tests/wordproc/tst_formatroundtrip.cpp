// Document -> format -> document for every format the word processor
// writes, comparing what each format can carry.
#include "tst_formatsupport.h"

#include "wordproc/WPFormat.h"
#include "wordproc/docx/Docx.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace FormatTest;
using WPFormat::DocType;

class FormatRoundTrip : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void roundTrip_data();
    void roundTrip();
};

void FormatRoundTrip::roundTrip_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<unsigned>("carry");
    QTest::addColumn<bool>("pageSetup");
    QTest::addColumn<bool>("comment");
    const unsigned rich = Fonts | Traits | LineStyles | Colors | Paragraphs | Lists | Tables | Pictures;
    QTest::newRow("rtf") << int(DocType::Rtf) << rich << true << true;
    // Word 97 files are written without their pictures (the save warns first).
    QTest::newRow("doc") << int(DocType::Doc) << unsigned(rich & ~Pictures) << true << true;
    QTest::newRow("rtfd") << int(DocType::Rtfd) << rich << true << true;
    QTest::newRow("odt") << int(DocType::Odt) << rich << true << true;
    QTest::newRow("wordml") << int(DocType::WordML) << rich << true << true;
    QTest::newRow("html") << int(DocType::Html) << unsigned(Fonts | Traits | Colors | Tables | Pictures | Lists) << false << true;
    QTest::newRow("text") << int(DocType::PlainText) << unsigned(Text) << false << false;
    // DOCX carries no paragraph spacing, right indents or tab kinds.
    QTest::newRow("docx") << int(DocType::Docx) << unsigned(rich & ~Paragraphs) << true << true;
}

void FormatRoundTrip::roundTrip()
{
    QFETCH(int, type);
    QFETCH(unsigned, carry);
    QFETCH(bool, pageSetup);
    QFETCH(bool, comment);
    QTextDocument source;
    fillSample(&source);
    WPDocAttributes attrs;
    attrs.paperSize = QSizeF(595, 842);
    attrs.leftMargin = 50;
    attrs.rightMargin = 40;
    attrs.topMargin = 30;
    attrs.bottomMargin = 20;
    attrs.comment = WPHeaderFooter::encode(QStringLiteral("Page {page} of {pages}"), QStringLiteral("{title} — {date}"));

    QTextDocument back;
    WPDocAttributes read;
    QString error;
    if (DocType(type) == DocType::Rtfd) {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Report.rtfd"));
        QVERIFY2(WPFormat::writeRtfd(source, attrs, path, &error), qPrintable(error));
        QVERIFY2(WPFormat::readRtfd(path, &back, &read, &error), qPrintable(error));
    } else {
        const std::optional<QByteArray> bytes = WPFormat::write(source, DocType(type), attrs, &error);
        if (DocType(type) == DocType::Docx && !bytes)
            QSKIP("The DOCX writer is not in this build.");
        QVERIFY2(bytes, qPrintable(error));
        QVERIFY2(WPFormat::read(*bytes, DocType(type), &back, &read, &error), qPrintable(error));
        if (DocType(type) == DocType::Docx) {
            // As the document does after reading: templates and pictures of the package.
            if (const auto hf = Docx::readHeaderFooter(*bytes))
                read.comment = WPHeaderFooter::encode(hf->first, hf->second);
            Docx::restoreImages(*bytes, &back);
        }
    }
    const QStringList expected = describe(source, carry);
    const QStringList actual = describe(back, carry);
    if (expected != actual) {
        for (qsizetype i = 0; i < std::max(expected.size(), actual.size()); ++i)
            if (expected.value(i) != actual.value(i))
                qWarning().noquote() << i << "\n  want" << expected.value(i) << "\n  got " << actual.value(i);
    }
    QCOMPARE(actual, expected);
    if (pageSetup) {
        QCOMPARE(read.paperSize, attrs.paperSize);
        QCOMPARE(read.leftMargin, attrs.leftMargin);
        QCOMPARE(read.rightMargin, attrs.rightMargin);
        QCOMPARE(read.topMargin, attrs.topMargin);
        QCOMPARE(read.bottomMargin, attrs.bottomMargin);
    }
    if (comment)
        QCOMPARE(read.comment, attrs.comment);
}

QTEST_MAIN(FormatRoundTrip)
#include "tst_formatroundtrip.moc"
