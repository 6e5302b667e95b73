// The format table, content sniffing, reading with retry, page setup from
// files, and the header/footer record in every format that carries it.
#include "tst_formatsupport.h"

#include "wordproc/WPDocument.h"
#include "wordproc/WPFormat.h"
#include "wordproc/formats/NotKept.h"
#include "wordproc/formats/PlainText.h"
#include "wordproc/formats/ZipPackage.h"

#include <QFile>
#include <QTextCursor>
#include <QTextTable>
#include <QTemporaryDir>
#include <QStringDecoder>
#include <QtTest>
#include <cmath>
#include <limits>

using WPFormat::DocType;
Q_DECLARE_METATYPE(std::optional<WPFormat::DocType>)

namespace {

const QByteArray kRtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Helvetica;}}\\f0\\fs24 Hello {\\b bold}\\par}";
const QByteArray kWordML =
    "<?xml version=\"1.0\"?><?mso-application progid=\"Word.Document\"?>"
    "<w:wordDocument xmlns:w=\"http://schemas.microsoft.com/office/word/2003/wordml\"><w:body>"
    "<w:p><w:r><w:t>From WordML</w:t></w:r></w:p></w:body></w:wordDocument>";
const QByteArray kHtml = "<!DOCTYPE html><html><body><p>From <b>HTML</b></p></body></html>";

QString firstLine(const QTextDocument& doc)
{
    return doc.begin().text();
}

QByteArray odtBytes()
{
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("From ODT"));
    return *WPFormat::write(doc, DocType::Odt, {}, nullptr);
}

} // namespace

class Formats : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void documentType_data();
    void documentType();
    void flatRtfdIsNotOfferedForSaving();
    void contentBeforeDeclaredType_data();
    void contentBeforeDeclaredType();
    void unreadableBytesFailWithAMessage();
    void detectFiles_data();
    void detectFiles();
    void notKeptNotice_data();
    void notKeptNotice();
    void plainTextDecoding_data();
    void plainTextDecoding();
    void plainTextOfTables();
    void readerDropsValuesOfTheWrongKind();
    void headerFooterRecord_data();
    void headerFooterRecord();
    void emptyDocumentsRoundTrip_data();
    void emptyDocumentsRoundTrip();
};

void Formats::documentType_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<std::optional<DocType>>("type");
    const std::pair<const char*, std::optional<DocType>> rows[] = {
        {"org.openxmlformats.wordprocessingml.document", DocType::Docx},
        {"com.microsoft.word.doc", DocType::Doc},
        {"public.rtf", DocType::Rtf},
        {"com.apple.rtfd", DocType::Rtfd},
        {"com.apple.flat-rtfd", DocType::Rtfd},
        {"org.oasis-open.opendocument.text", DocType::Odt},
        {"public.plain-text", DocType::PlainText},
        {"public.text", DocType::PlainText},
        {"public.utf8-plain-text", DocType::PlainText},
        {"public.html", DocType::Html},
        {"com.microsoft.word.wordml", DocType::WordML},
        // known by what they conform to
        {"public.xhtml", DocType::Html},
        {"net.daringfireball.markdown", DocType::PlainText},
        {"public.comma-separated-values-text", DocType::PlainText},
        // unknown or conforming to nothing readable
        {"public.jpeg", std::nullopt},
        {"com.example.unknown", std::nullopt},
        {"", std::nullopt},
        {"PUBLIC.RTF", std::nullopt},
    };
    for (const auto& [name, type] : rows)
        QTest::newRow(*name ? name : "(empty)") << QString::fromLatin1(name) << type;
}

void Formats::documentType()
{
    QFETCH(QString, name);
    QFETCH(std::optional<DocType>, type);
    QCOMPARE(WPFormat::documentType(name), type);
    if (type && name != QLatin1String("com.apple.flat-rtfd"))
        QCOMPARE(WPFormat::documentType(WPFormat::typeName(*type)), type);
}

void Formats::flatRtfdIsNotOfferedForSaving()
{
    QVERIFY(!WPFormat::canWrite(QStringLiteral("com.apple.flat-rtfd")));
    QVERIFY(WPFormat::canWrite(QStringLiteral("com.apple.rtfd")));
    QVERIFY(!WPFormat::canWrite(QStringLiteral("com.example.unknown")));
    for (DocType t : {DocType::Docx, DocType::Doc, DocType::Rtf, DocType::Rtfd, DocType::Odt, DocType::PlainText,
                      DocType::Html, DocType::WordML})
        QVERIFY(WPFormat::canWrite(WPFormat::typeName(t)));
    // A single-file RTFD cannot be read as data either; it says so.
    QTextDocument doc;
    QString error;
    QVERIFY(!WPFormat::read(QByteArray("rtfd\0\0\0\3binary", 14), DocType::Rtfd, &doc, nullptr, &error));
    QVERIFY(!error.isEmpty());
}

void Formats::contentBeforeDeclaredType_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<std::optional<DocType>>("declared");
    QTest::addColumn<QString>("text");
    QTest::newRow("rtf saved as .doc") << kRtf << std::optional(DocType::Doc) << QStringLiteral("Hello bold");
    QTest::newRow("rtf saved as .html") << kRtf << std::optional(DocType::Html) << QStringLiteral("Hello bold");
    QTest::newRow("rtf saved as .docx") << kRtf << std::optional(DocType::Docx) << QStringLiteral("Hello bold");
    QTest::newRow("rtf in a .txt shows its source") << kRtf << std::optional(DocType::PlainText) << QString::fromLatin1(kRtf);
    QTest::newRow("wordml in .xml") << kWordML << std::optional<DocType>() << QStringLiteral("From WordML");
    QTest::newRow("wordml declared as html") << kWordML << std::optional(DocType::Html) << QStringLiteral("From WordML");
    QTest::newRow("html without a type") << kHtml << std::optional<DocType>() << QStringLiteral("From HTML");
    QTest::newRow("odt saved as .docx") << odtBytes() << std::optional(DocType::Docx) << QStringLiteral("From ODT");
    QTest::newRow("text declared rtf is retried") << QByteArray("just words") << std::optional(DocType::Rtf) << QStringLiteral("just words");
    QTest::newRow("text declared wordml is retried") << QByteArray("<notes>x</notes>") << std::optional(DocType::WordML) << QStringLiteral("<notes>x</notes>");
    QTest::newRow("markdown without a type") << QByteArray("# Title") << std::optional<DocType>() << QStringLiteral("# Title");
}

void Formats::contentBeforeDeclaredType()
{
    QFETCH(QByteArray, bytes);
    QFETCH(std::optional<DocType>, declared);
    QFETCH(QString, text);
    QTextDocument doc;
    QString error;
    QVERIFY2(WPFormat::read(bytes, declared, &doc, nullptr, &error), qPrintable(error));
    QCOMPARE(firstLine(doc), text);
}

void Formats::unreadableBytesFailWithAMessage()
{
    QByteArray binary(2048, '\0');
    binary.prepend("\x89PNG\r\n\x1a\n");
    for (std::optional<DocType> type : {std::optional(DocType::Docx), std::optional(DocType::Odt), std::optional<DocType>()}) {
        QTextDocument doc;
        WPDocAttributes attrs;
        attrs.comment = QStringLiteral("stale");
        QString error;
        QVERIFY(!WPFormat::read(binary, type, &doc, &attrs, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!attrs.comment); // a failed read reports no attributes
    }
    // A damaged package declared as ODT: the retry finds nothing better.
    QByteArray broken = odtBytes();
    broken.truncate(broken.size() / 2);
    QTextDocument doc;
    QString error;
    QVERIFY(!WPFormat::read(broken, DocType::Odt, &doc, nullptr, &error));
    QVERIFY(!error.isEmpty());
}

void Formats::detectFiles_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<std::optional<DocType>>("type");
    QTest::newRow("rtf in .doc") << "letter.doc" << kRtf << std::optional(DocType::Rtf);
    QTest::newRow("rtf in .html") << "page.html" << kRtf << std::optional(DocType::Rtf);
    QTest::newRow("wordml in .xml") << "old.xml" << kWordML << std::optional(DocType::WordML);
    QTest::newRow("other xml") << "data.xml" << QByteArray("<a/>") << std::optional(DocType::PlainText);
    QTest::newRow("markdown") << "notes.md" << QByteArray("# Notes\n") << std::optional(DocType::PlainText);
    QTest::newRow("csv") << "table.csv" << QByteArray("a,b\n1,2\n") << std::optional(DocType::PlainText);
    QTest::newRow("odt") << "x.odt" << odtBytes() << std::optional(DocType::Odt);
    QTest::newRow("odt misnamed") << "x.txt" << odtBytes() << std::optional(DocType::Odt);
    QTest::newRow("word 97") << "x.doc" << QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1") + QByteArray(504, '\0') << std::optional(DocType::Doc);
    QTest::newRow("unknown") << "photo.bin" << QByteArray("\x01\x02\x03", 3) << std::optional<DocType>();
}

void Formats::detectFiles()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(std::optional<DocType>, type);
    QTemporaryDir dir;
    QFile file(dir.filePath(name));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    QCOMPARE(WPFormat::detect(file.fileName()), type);
}

void Formats::notKeptNotice_data()
{
    QTest::addColumn<QStringList>("kinds"); // "kind=count"
    QTest::addColumn<QString>("notice");
    const QString end = QStringLiteral(" that the word processor does not keep; saving it will leave ");
    QTest::newRow("nothing") << QStringList{} << QString();
    QTest::newRow("zero counts") << QStringList{QStringLiteral("comment=0")} << QString();
    QTest::newRow("one") << QStringList{QStringLiteral("comment=1")}
                         << QStringLiteral("This document has 1 comment") + end + QStringLiteral("it out.");
    QTest::newRow("two kinds") << QStringList{QStringLiteral("comment=2"), QStringLiteral("chart=1")}
                               << QStringLiteral("This document has 1 chart and 2 comments") + end + QStringLiteral("them out.");
    QTest::newRow("three kinds") << QStringList{QStringLiteral("drawing=3"), QStringLiteral("chart=1"), QStringLiteral("linked picture=2")}
                                 << QStringLiteral("This document has 1 chart, 3 drawings and 2 linked pictures") + end
                                        + QStringLiteral("them out.");
}

void Formats::notKeptNotice()
{
    QFETCH(QStringList, kinds);
    QFETCH(QString, notice);
    QMap<QString, int> counts;
    for (const QString& k : kinds)
        counts.insert(k.section(QLatin1Char('='), 0, 0), k.section(QLatin1Char('='), 1).toInt());
    QCOMPARE(NotKept::notice(counts), notice);
}

void Formats::plainTextDecoding_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("utf-8") << QByteArray("caf\xC3\xA9 \xE2\x82\xAC") << QStringLiteral("café €");
    QTest::newRow("latin-1 fallback") << QByteArray("caf\xE9 na\xEFve") << QStringLiteral("café naïve");
    QTest::newRow("utf-8 bom") << QByteArray("\xEF\xBB\xBFhi") << QStringLiteral("hi");
    QTest::newRow("utf-16le bom") << QByteArray("\xFF\xFEh\0i\0", 6) << QStringLiteral("hi");
    QTest::newRow("utf-16be bom") << QByteArray("\xFE\xFF\0h\0i", 6) << QStringLiteral("hi");
    QTest::newRow("crlf") << QByteArray("a\r\nb\rc") << QStringLiteral("a\nb\nc");
    QTest::newRow("lone surrogates in utf-16") << QByteArray("\xFE\xFF\xDF\xFF\0a\xD8\x00", 8) << QStringLiteral("\uFFFDa\uFFFD");
    QTest::newRow("text starting with U+FEFF") << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBFx") << QStringLiteral("\uFEFFx");
}

void Formats::plainTextDecoding()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QTextDocument doc;
    QVERIFY(WPFormat::read(bytes, DocType::PlainText, &doc, nullptr, nullptr));
    QCOMPARE(doc.toPlainText(), text);
    // Written back as UTF-8, and read again as the same text.
    QByteArray written = *WPFormat::write(doc, DocType::PlainText, {}, nullptr);
    if (written.startsWith("\xEF\xBB\xBF"))
        written.remove(0, 3);
    QCOMPARE(QStringDecoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom).decode(written), text);
    QTextDocument back;
    QVERIFY(WPFormat::read(*WPFormat::write(doc, DocType::PlainText, {}, nullptr), DocType::PlainText, &back, nullptr, nullptr));
    QCOMPARE(back.toPlainText(), text);
}

void Formats::plainTextOfTables()
{
    // A row a line, cells apart by tabs, a cell's paragraphs by spaces; a
    // merged cell's text once, where it starts; pictures and no-break spaces
    // left out.
    QTextDocument doc;
    QTextCursor c(&doc);
    c.insertText(QStringLiteral("top\u00A0line"));
    c.insertBlock();
    QTextTable* t = c.insertTable(2, 3);
    t->mergeCells(0, 0, 2, 1);
    t->cellAt(0, 0).firstCursorPosition().insertText(QStringLiteral("tall"));
    QTextCursor two = t->cellAt(0, 1).firstCursorPosition();
    two.insertText(QStringLiteral("one"));
    two.insertBlock();
    two.insertText(QStringLiteral("two\uFFFC"));
    t->cellAt(1, 2).firstCursorPosition().insertText(QStringLiteral("end\u2028here"));
    c.movePosition(QTextCursor::End);
    c.insertText(QStringLiteral("after"));
    QCOMPARE(QString::fromUtf8(*WPFormat::write(doc, DocType::PlainText, {}, nullptr)),
             QStringLiteral("top line\n\ntall\tone two\t\n\t\tend\nhere\nafter"));
}

void Formats::readerDropsValuesOfTheWrongKind()
{
    // An RTF page that a file describes as zero wide with negative margins.
    const QByteArray rtf = "{\\rtf1\\paperw0\\paperh-20\\margl-1440\\margr99999999999 x}";
    QTextDocument doc;
    WPDocAttributes a;
    QVERIFY(WPFormat::read(rtf, DocType::Rtf, &doc, &a, nullptr));
    QVERIFY(!a.paperSize);
    QCOMPARE(a.leftMargin, 0.0);
    QVERIFY(*a.rightMargin <= 14400);
    // The document keeps 72 points of text width whatever the file says.
    const WPPageSetup s = WPDocument::pageSetupFrom(WPPageSetup(), a);
    QVERIFY(s.textWidth() >= 72);
}

void Formats::headerFooterRecord_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("header");
    QTest::addColumn<QString>("footer");
    const std::pair<const char*, DocType> types[] = {{"rtf", DocType::Rtf}, {"odt", DocType::Odt},
                                                     {"wordml", DocType::WordML}, {"html", DocType::Html},
                                                     {"doc", DocType::Doc}};
    for (const auto& [name, type] : types) {
        QTest::addRow("%s both", name) << int(type) << QStringLiteral("{title}") << QStringLiteral("Page {page} of {pages}");
        QTest::addRow("%s footer only", name) << int(type) << QString() << QStringLiteral("{date}");
        QTest::addRow("%s header only", name) << int(type) << QStringLiteral("Draft") << QString();
        QTest::addRow("%s markup", name) << int(type) << QStringLiteral("<b>&amp;\"'{}\\") << QStringLiteral("日本 😀 ∥");
    }
}

void Formats::headerFooterRecord()
{
    QFETCH(int, type);
    QFETCH(QString, header);
    QFETCH(QString, footer);
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("Body"));
    WPDocAttributes a;
    a.comment = WPHeaderFooter::encode(header, footer);
    QString error;
    const std::optional<QByteArray> bytes = WPFormat::write(doc, DocType(type), a, &error);
    QVERIFY2(bytes, qPrintable(error));
    QTextDocument back;
    WPDocAttributes read;
    QVERIFY(WPFormat::read(*bytes, DocType(type), &back, &read, &error));
    QVERIFY(read.comment);
    const auto hf = WPHeaderFooter::decode(*read.comment);
    QVERIFY(hf);
    QCOMPARE(hf->first, header);
    QCOMPARE(hf->second, footer);
    QCOMPARE(back.toPlainText(), QStringLiteral("Body"));
}

void Formats::emptyDocumentsRoundTrip_data()
{
    QTest::addColumn<int>("type");
    for (DocType t : {DocType::Rtf, DocType::Odt, DocType::WordML, DocType::Html, DocType::PlainText, DocType::Doc})
        QTest::newRow(qPrintable(WPFormat::extension(t))) << int(t);
}

void Formats::emptyDocumentsRoundTrip()
{
    QFETCH(int, type);
    // An empty document, and one of empty paragraphs only.
    for (const QString& text : {QString(), QStringLiteral("\n\n")}) {
        QTextDocument doc;
        doc.setPlainText(text);
        const std::optional<QByteArray> bytes = WPFormat::write(doc, DocType(type), {}, nullptr);
        QVERIFY(bytes);
        QTextDocument back;
        back.setPlainText(QStringLiteral("old contents"));
        WPDocAttributes a;
        QVERIFY(WPFormat::read(*bytes, DocType(type), &back, &a, nullptr));
        QCOMPARE(back.blockCount(), doc.blockCount());
        QCOMPARE(back.toPlainText(), text);
        QVERIFY(!a.comment);
    }
}

QTEST_MAIN(Formats)
#include "tst_formats.moc"
