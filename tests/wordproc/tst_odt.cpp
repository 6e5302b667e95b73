// OpenDocument text as other programs write it, and hostile packages.
#include "tst_formatsupport.h"

#include "wordproc/WPFormat.h"
#include "wordproc/formats/Odt.h"
#include "wordproc/formats/ZipPackage.h"

#include <QElapsedTimer>
#include <QtTest>

using namespace FormatTest;

namespace {

const char* const kNs =
    " xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\""
    " xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\""
    " xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\""
    " xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\""
    " xmlns:draw=\"urn:oasis:names:tc:opendocument:xmlns:drawing:1.0\""
    " xmlns:fo=\"urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0\""
    " xmlns:xlink=\"http://www.w3.org/1999/xlink\""
    " xmlns:svg=\"urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0\""
    " xmlns:meta=\"urn:oasis:names:tc:opendocument:xmlns:meta:1.0\""
    " xmlns:dc=\"http://purl.org/dc/elements/1.1/\"";

QByteArray content(const QByteArray& styles, const QByteArray& body)
{
    return QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?><office:document-content") + kNs
         + "><office:automatic-styles>" + styles + "</office:automatic-styles><office:body><office:text>" + body
         + "</office:text></office:body></office:document-content>";
}

QByteArray package(const QByteArray& contentXml, const QList<ZipPackage::Entry>& more = {})
{
    QList<ZipPackage::Entry> entries{{QStringLiteral("mimetype"), "application/vnd.oasis.opendocument.text", false},
                                     {QStringLiteral("content.xml"), contentXml, true}};
    entries += more;
    return *ZipPackage::write(entries, nullptr);
}

QStringList read(const QByteArray& odt, unsigned carry, WPDocAttributes* attrs = nullptr, bool* ok = nullptr)
{
    QTextDocument doc;
    QString error;
    const bool result = Odt::read(odt, &doc, attrs, &error);
    if (ok)
        *ok = result;
    return result ? describe(doc, carry) : QStringList{QStringLiteral("ERROR ") + error};
}

} // namespace

class OdtTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void whiteSpace_data();
    void whiteSpace();
    void stylesWithParents();
    void listsAndTables();
    void listLevels_data();
    void listLevels();
    void pagesAndMeta();
    void writtenPackageLayout();
    void hostile_data();
    void hostile();
    void picturesStayInThePackage();
    void otherProgramsPages_data();
    void otherProgramsPages();
};

void OdtTest::whiteSpace_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("text");
    QTest::newRow("collapsed") << QByteArray("<text:p>  a \n\t b  </text:p>") << QStringLiteral("a b");
    QTest::newRow("across spans") << QByteArray("<text:p>a <text:span> b</text:span></text:p>") << QStringLiteral("a b");
    QTest::newRow("text:s") << QByteArray("<text:p><text:s text:c=\"3\"/>a<text:s/>b</text:p>") << QStringLiteral("   a b");
    QTest::newRow("tab and break") << QByteArray("<text:p>a<text:tab/>b<text:line-break/>c</text:p>") << QStringLiteral("a\tb\u2028c");
    QTest::newRow("link keeps text") << QByteArray("<text:p>see <text:a xlink:href=\"http://x\">here</text:a></text:p>") << QStringLiteral("see here");
    QTest::newRow("note after the body") << QByteArray("<text:p>a<text:note><text:note-citation>7</text:note-citation><text:note-body><text:p>n</text:p></text:note-body></text:note>b</text:p>")
                                         << QStringLiteral("a7b\n") + QString(20, QChar(0x2500)) + QStringLiteral("\n7n");
    QTest::newRow("text box at its anchor") << QByteArray("<text:p>a<draw:frame><draw:text-box><text:p>in</text:p><text:p>box</text:p></draw:text-box></draw:frame>b</text:p>")
                                            << QStringLiteral("a\u2028in\u2028box\u2028b");
    QTest::newRow("heading and section") << QByteArray("<text:section><text:h>H</text:h></text:section><text:p>p</text:p>") << QStringLiteral("H\np");
    QTest::newRow("capped repeat") << QByteArray("<text:p><text:s text:c=\"999999999\"/>x</text:p>") << QString(1000, QLatin1Char(' ')) + QStringLiteral("x");
}

void OdtTest::whiteSpace()
{
    QFETCH(QByteArray, body);
    QFETCH(QString, text);
    QTextDocument doc;
    QVERIFY(Odt::read(package(content({}, body)), &doc, nullptr, nullptr));
    QStringList blocks;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        blocks << b.text();
    QCOMPARE(blocks.join(QLatin1Char('\n')), text);
}

void OdtTest::stylesWithParents()
{
    const QByteArray styles = "<style:style style:name=\"Base\" style:family=\"paragraph\"><style:paragraph-properties fo:text-align=\"center\" "
                              "fo:margin-left=\"1in\"/><style:text-properties fo:font-size=\"14pt\" style:font-name=\"Liberation Serif\"/></style:style>"
                              "<style:style style:name=\"P1\" style:family=\"paragraph\" style:parent-style-name=\"Base\">"
                              "<style:paragraph-properties fo:margin-right=\"0.5cm\"><style:tab-stops><style:tab-stop style:position=\"2in\" "
                              "style:type=\"right\"/></style:tab-stops></style:paragraph-properties></style:style>"
                              "<style:style style:name=\"T1\" style:family=\"text\"><style:text-properties fo:font-weight=\"bold\" "
                              "style:text-underline-style=\"solid\" style:text-underline-type=\"double\" fo:color=\"#ff0000\" "
                              "fo:background-color=\"transparent\"/></style:style>";
    const QByteArray body = "<text:p text:style-name=\"P1\">plain <text:span text:style-name=\"T1\">bold</text:span></text:p>";
    QCOMPARE(read(package(content(styles, body)), Fonts | Traits | LineStyles | Colors | Paragraphs),
             QStringList{QStringLiteral("align=c ind=72/72/14.2 sp=0/0 lm=0 tabs=[144:1] [plain |Liberation Serif 14]"
                                        "[bold|Liberation Serif 14 b u9 fg#ff0000]")});
}

void OdtTest::listsAndTables()
{
    const QByteArray styles = "<text:list-style style:name=\"N\"><text:list-level-style-number text:level=\"1\" style:num-format=\"1\"/></text:list-style>"
                              "<text:list-style style:name=\"B\"><text:list-level-style-bullet text:level=\"1\"/></text:list-style>";
    const QByteArray body =
        "<text:list text:style-name=\"N\"><text:list-item><text:p>one</text:p></text:list-item>"
        "<text:list-item text:start-value=\"5\"><text:p>five</text:p><text:p>more</text:p></text:list-item>"
        "<text:list-item><text:list><text:list-item><text:p>nested</text:p></text:list-item></text:list></text:list-item></text:list>"
        "<text:list text:style-name=\"B\"><text:list-item><text:p>dot</text:p></text:list-item></text:list>"
        "<table:table><table:table-column table:number-columns-repeated=\"2\"/><table:table-header-rows><table:table-row>"
        "<table:table-cell><text:p>h1</text:p></table:table-cell><table:table-cell><text:p>h2</text:p></table:table-cell>"
        "</table:table-row></table:table-header-rows><table:table-row><table:table-cell table:number-columns-spanned=\"2\">"
        "<table:table><table:table-row><table:table-cell><text:p>inner</text:p></table:table-cell></table:table-row></table:table>"
        "</table:table-cell><table:covered-table-cell/></table:table-row></table:table><text:p>after</text:p>";
    QCOMPARE(read(package(content(styles, body)), Lists | Tables),
             (QStringList{QStringLiteral("list=2 [\t1.\tone|]"), QStringLiteral("list=2 [\t5.\tfive|]"), QStringLiteral("list=0 [more|]"),
                          QStringLiteral("list=2 [\t1.\tnested|]"), QStringLiteral("list=1 [\t•\tdot|]"), QStringLiteral("TABLE 2x2"),
                          QStringLiteral("  cell 0,0: list=0 [h1|]"), QStringLiteral("  cell 0,1: list=0 [h2|]"),
                          QStringLiteral("  cell 1,0: TABLE 1x1"), QStringLiteral("      cell 0,0: list=0 [inner|]"),
                          QStringLiteral("list=0 [after|]")}));
}

void OdtTest::listLevels_data()
{
    QTest::addColumn<QByteArray>("levels");
    QTest::addColumn<QStringList>("items");
    const QByteArray numberFrom3 = "<text:list-level-style-number text:level=\"1\" style:num-format=\"1\" text:start-value=\"3\"/>";
    const QByteArray bulletBelow = "<text:list-level-style-bullet text:level=\"2\" text:bullet-char=\"•\"/>";
    QTest::newRow("numbers start where the style says")
        << numberFrom3 << QStringList{QStringLiteral("\t3.\ta"), QStringLiteral("\t4.\tb"), QStringLiteral("\t3.\tinner"),
                                      QStringLiteral("\t5.\tc")};
    QTest::newRow("a nested list takes its own level")
        << numberFrom3 + bulletBelow
        << QStringList{QStringLiteral("\t3.\ta"), QStringLiteral("\t4.\tb"), QStringLiteral("\t•\tinner"),
                       QStringLiteral("\t5.\tc")};
    QTest::newRow("bullets outside, numbers inside")
        << QByteArray("<text:list-level-style-bullet text:level=\"1\"/><text:list-level-style-number text:level=\"2\" style:num-format=\"1\"/>")
        << QStringList{QStringLiteral("\t•\ta"), QStringLiteral("\t•\tb"), QStringLiteral("\t1.\tinner"),
                       QStringLiteral("\t•\tc")};
}

// Lists of other programs: each level of the list style has its own kind
// and first number, and a nested list does not count in its parent's items.
void OdtTest::listLevels()
{
    QFETCH(QByteArray, levels);
    QFETCH(QStringList, items);
    const QByteArray styles = "<text:list-style style:name=\"L\">" + levels + "</text:list-style>";
    const QByteArray body = "<text:list text:style-name=\"L\"><text:list-item><text:p>a</text:p></text:list-item>"
                            "<text:list-item><text:p>b</text:p><text:list><text:list-item><text:p>inner</text:p>"
                            "</text:list-item></text:list></text:list-item><text:list-item><text:p>c</text:p></text:list-item>"
                            "</text:list>";
    QTextDocument doc;
    QString error;
    QVERIFY2(Odt::read(package(content(styles, body)), &doc, nullptr, &error), qPrintable(error));
    QCOMPARE(doc.toPlainText().split(QLatin1Char('\n')), items);
}

void OdtTest::pagesAndMeta()
{
    const QByteArray stylesXml = QByteArray("<?xml version=\"1.0\"?><office:document-styles") + kNs
                               + "><office:automatic-styles><style:page-layout style:name=\"Other\"><style:page-layout-properties "
                                 "fo:page-width=\"5in\" fo:page-height=\"5in\"/></style:page-layout><style:page-layout style:name=\"pm1\">"
                                 "<style:page-layout-properties fo:page-width=\"21cm\" fo:page-height=\"297mm\" fo:margin-top=\"2cm\" "
                                 "fo:margin-bottom=\"2cm\" fo:margin-left=\"1in\" fo:margin-right=\"6pc\"/></style:page-layout>"
                                 "</office:automatic-styles><office:master-styles><style:master-page style:name=\"Standard\" "
                                 "style:page-layout-name=\"pm1\"/></office:master-styles></office:document-styles>";
    const QByteArray metaXml = QByteArray("<?xml version=\"1.0\"?><office:document-meta") + kNs
                             + "><office:meta><dc:description>Just a note</dc:description></office:meta></office:document-meta>";
    WPDocAttributes a;
    read(package(content({}, "<text:p>x</text:p>"), {{QStringLiteral("styles.xml"), stylesXml, true}, {QStringLiteral("meta.xml"), metaXml, true}}),
         Text, &a);
    QVERIFY(a.paperSize);
    QCOMPARE(qRound(a.paperSize->width() * 10), 5953);
    QCOMPARE(qRound(a.paperSize->height() * 10), 8419);
    QCOMPARE(a.leftMargin, 72.0);
    QCOMPARE(a.rightMargin, 72.0);
    QCOMPARE(qRound(*a.topMargin * 10), 567);
    QCOMPARE(a.comment, QStringLiteral("Just a note"));
}

void OdtTest::writtenPackageLayout()
{
    QTextDocument doc;
    fillSample(&doc);
    const QByteArray odt = *Odt::write(doc, {}, nullptr);
    // The mimetype comes first and uncompressed, as the format requires.
    QVERIFY(Odt::looksLikeOdt(odt));
    const ZipPackage::Reader zip(odt);
    QCOMPARE(zip.names().first(), QStringLiteral("mimetype"));
    for (const char* part : {"content.xml", "styles.xml", "meta.xml", "META-INF/manifest.xml", "Pictures/image1.png"})
        QVERIFY2(zip.contains(QLatin1String(part)), part);
    const QByteArray manifest = *zip.read(QStringLiteral("META-INF/manifest.xml"));
    QVERIFY(manifest.contains("manifest:full-path=\"Pictures/image1.png\""));
    // Each part is well-formed XML.
    for (const char* part : {"content.xml", "styles.xml", "meta.xml", "META-INF/manifest.xml"}) {
        QXmlStreamReader x(*zip.read(QLatin1String(part)));
        while (!x.atEnd())
            x.readNext();
        QVERIFY2(!x.hasError(), qPrintable(QLatin1String(part) + QLatin1String(": ") + x.errorString()));
    }
    // The same document gives the same bytes.
    QCOMPARE(*Odt::write(doc, {}, nullptr), odt);
}

void OdtTest::hostile_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("not a zip") << QByteArray("PK\x03\x04garbage");
    QTest::newRow("no content") << *ZipPackage::write({{QStringLiteral("mimetype"), "application/vnd.oasis.opendocument.text", false}}, nullptr);
    QTest::newRow("entity bomb") << package(
        "<?xml version=\"1.0\"?><!DOCTYPE lolz [<!ENTITY lol \"lol\"><!ENTITY lol2 \"&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;\">"
        "<!ENTITY lol3 \"&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;\"><!ENTITY lol4 \"&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;\">"
        "<!ENTITY lol5 \"&lol4;&lol4;&lol4;&lol4;&lol4;&lol4;&lol4;&lol4;&lol4;&lol4;\"><!ENTITY lol6 \"&lol5;&lol5;&lol5;&lol5;&lol5;&lol5;&lol5;&lol5;&lol5;&lol5;\">"
        "<!ENTITY lol7 \"&lol6;&lol6;&lol6;&lol6;&lol6;&lol6;&lol6;&lol6;&lol6;&lol6;\"><!ENTITY lol8 \"&lol7;&lol7;&lol7;&lol7;&lol7;&lol7;&lol7;&lol7;&lol7;&lol7;\">"
        "<!ENTITY lol9 \"&lol8;&lol8;&lol8;&lol8;&lol8;&lol8;&lol8;&lol8;&lol8;&lol8;\">]>"
        + content({}, "<text:p>&lol9;</text:p>").mid(QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>").size()));
    QTest::newRow("external entity") << package(
        "<?xml version=\"1.0\"?><!DOCTYPE x [<!ENTITY e SYSTEM \"file:///etc/passwd\">]>"
        + content({}, "<text:p>&e;</text:p>").mid(QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>").size()));
    QByteArray deep;
    for (int i = 0; i < 100000; ++i)
        deep += "<text:span>";
    QTest::newRow("100000 nested spans") << package(content({}, "<text:p>" + deep + "x</text:p>"));
    QTest::newRow("truncated xml") << package(content({}, "<text:p>cut").left(300));
    QTest::newRow("style loop") << package(content("<style:style style:name=\"A\" style:family=\"paragraph\" style:parent-style-name=\"B\"/>"
                                                   "<style:style style:name=\"B\" style:family=\"paragraph\" style:parent-style-name=\"A\"/>",
                                                   "<text:p text:style-name=\"A\">loop</text:p>"));
}

void OdtTest::hostile()
{
    QFETCH(QByteArray, bytes);
    QElapsedTimer timer;
    timer.start();
    QTextDocument doc;
    QString error;
    const bool ok = Odt::read(bytes, &doc, nullptr, &error);
    QVERIFY(ok || !error.isEmpty());
    QVERIFY(!doc.toPlainText().contains(QLatin1String("lollollol")));
    QVERIFY(!doc.toPlainText().contains(QLatin1String("root:")));
    // Guards against runaway work, not a speed target: generous enough for a
    // sanitizer build on a busy machine.
    QVERIFY(timer.elapsed() < 60000);
    if (QTest::currentDataTag() == QLatin1String("style loop"))
        QCOMPARE(doc.toPlainText(), QStringLiteral("loop"));
}

void OdtTest::otherProgramsPages_data()
{
    QTest::addColumn<QByteArray>("master");
    QTest::addColumn<QString>("comment");
    QTest::newRow("header and footer") << QByteArray("<style:header><text:p>Report <text:page-number>3</text:page-number></text:p></style:header>"
                                                     "<style:footer><text:p>of <text:page-count>9</text:page-count></text:p></style:footer>")
                                       << QStringLiteral("Report {page}\u001Fof {pages}");
    QTest::newRow("first page only") << QByteArray("<style:header-first><text:p>Title page</text:p></style:header-first>")
                                     << QStringLiteral("Title page\u001F");
    QTest::newRow("none") << QByteArray() << QString();
}

void OdtTest::otherProgramsPages()
{
    // Another program's header and footer, and what the word processor
    // cannot keep: comments and charts are counted.
    QFETCH(QByteArray, master);
    QFETCH(QString, comment);
    const QByteArray styles = QByteArray("<?xml version=\"1.0\"?><office:document-styles") + kNs
                            + "><office:master-styles><style:master-page style:name=\"Standard\">" + master
                            + "</style:master-page></office:master-styles></office:document-styles>";
    const QByteArray chart = "<office:document-content xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\">"
                             "<office:body><office:chart><chart:chart xmlns:chart=\"c\"/></office:chart></office:body></office:document-content>";
    const QByteArray body = "<text:p>a<office:annotation><text:p>note to self</text:p></office:annotation>"
                            "<draw:frame><draw:object xlink:href=\"./Object 1\"/></draw:frame></text:p>";
    WPDocAttributes attrs;
    read(package(content({}, body), {{QStringLiteral("styles.xml"), styles, true}, {QStringLiteral("Object 1/content.xml"), chart, true}}),
         0, &attrs);
    QCOMPARE(attrs.comment.value_or(QString()).mid(8), comment);
    QCOMPARE(attrs.notKept, (QMap<QString, int>{{QStringLiteral("chart"), 1}, {QStringLiteral("comment"), 1}}));
}

void OdtTest::picturesStayInThePackage()
{
    const QByteArray png = pngBytes(5, 5, Qt::red);
    const QByteArray body = "<text:p>a<draw:frame svg:width=\"1in\" svg:height=\"0.5in\"><draw:image xlink:href=\"Pictures/p.png\"/></draw:frame>"
                            "<draw:frame><draw:image xlink:href=\"../../etc/hostname\"/></draw:frame>"
                            "<draw:frame><draw:image xlink:href=\"/etc/hostname\"/></draw:frame>"
                            "<draw:frame><draw:image xlink:href=\"Pictures/missing.png\"/></draw:frame>"
                            "<draw:frame><draw:image xlink:href=\"file:///home/ann/photo.jpg\"/></draw:frame>b</text:p>";
    WPDocAttributes attrs;
    QCOMPARE(read(package(content({}, body), {{QStringLiteral("Pictures/p.png"), png, false}}), Pictures, &attrs),
             QStringList{QStringLiteral(" [a|][IMG 5x5 72x36pt][b|]")});
    // Pictures the package does not hold are named in the notice.
    QCOMPARE(attrs.notKept, (QMap<QString, int>{{QStringLiteral("linked picture"), 4}}));
}

QTEST_MAIN(OdtTest)
#include "tst_odt.moc"
