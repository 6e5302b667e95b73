// Word 2003 XML as Word writes it, and hostile input.
#include "tst_formatsupport.h"

#include "wordproc/formats/WordML.h"

#include <QElapsedTimer>
#include <QtTest>

using namespace FormatTest;

namespace {

QByteArray document(const QByteArray& inner)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?><?mso-application progid=\"Word.Document\"?>"
           "<w:wordDocument xmlns:w=\"http://schemas.microsoft.com/office/word/2003/wordml\" "
           "xmlns:wx=\"http://schemas.microsoft.com/office/word/2003/auxHint\" xmlns:v=\"urn:schemas-microsoft-com:vml\" "
           "xmlns:o=\"urn:schemas-microsoft-com:office:office\" xml:space=\"preserve\">"
         + inner + "</w:wordDocument>";
}

} // namespace

class WordMLTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void asWordWritesIt();
    void listsWithoutMarkerHints();
    void listLevels_data();
    void listLevels();
    void pageAndProperties();
    void writtenXmlIsWellFormed();
    void notesBoxesAndHeaders();
    void hostile_data();
    void hostile();
};

void WordMLTest::asWordWritesIt()
{
    const QByteArray png = pngBytes(6, 4, Qt::blue);
    const QByteArray xml = document(
        "<w:styles><w:style w:type=\"paragraph\" w:default=\"on\" w:styleId=\"Normal\"><w:rPr><w:rFonts w:ascii=\"Times New Roman\"/>"
        "<w:sz w:val=\"24\"/></w:rPr></w:style><w:style w:type=\"paragraph\" w:styleId=\"Heading1\"><w:basedOn w:val=\"Normal\"/>"
        "<w:pPr><w:jc w:val=\"center\"/><w:spacing w:before=\"240\" w:after=\"60\"/></w:pPr><w:rPr><w:b/><w:sz w:val=\"32\"/></w:rPr>"
        "</w:style></w:styles><w:body><wx:sect><w:p><w:pPr><w:pStyle w:val=\"Heading1\"/></w:pPr><w:r><w:t>Title</w:t></w:r></w:p>"
        "<w:p><w:pPr><w:ind w:left=\"720\" w:hanging=\"360\"/><w:spacing w:line=\"480\" w:line-rule=\"auto\"/></w:pPr>"
        "<w:r><w:t xml:space=\"preserve\">a  b</w:t></w:r><w:r><w:rPr><w:i/><w:u w:val=\"double\"/><w:dstrike/><w:color w:val=\"00FF00\"/>"
        "<w:highlight w:val=\"yellow\"/></w:rPr><w:tab/><w:t>c</w:t><w:br/></w:r><w:hlink w:dest=\"http://x\"><w:r><w:t>link</w:t></w:r></w:hlink>"
        "<w:proofErr w:type=\"spellStart\"/><w:r><w:pict><w:binData w:name=\"wordml://1.png\">" + png.toBase64()
        + "</w:binData><v:shape style=\"width:0.5in;height:24pt\"><v:imagedata src=\"wordml://1.png\" o:title=\"pic\"/></v:shape></w:pict></w:r></w:p>"
          "<w:tbl><w:tr><w:tc><w:p><w:r><w:t>x</w:t></w:r></w:p></w:tc><w:tc><w:p><w:r><w:t>y</w:t></w:r></w:p></w:tc></w:tr></w:tbl>"
          "<w:p/></wx:sect></w:body>");
    QTextDocument doc;
    QString error;
    QVERIFY2(WordML::read(xml, &doc, nullptr, &error), qPrintable(error));
    QCOMPARE(describe(doc, Fonts | Traits | LineStyles | Colors | Paragraphs | Tables | Pictures),
             (QStringList{QStringLiteral("align=c ind=0/0/0 sp=12/3 lm=0 tabs=[] [Title|Times New Roman 16 b]"),
                          QStringLiteral("align=l ind=36/18/0 sp=0/0 lm=2 tabs=[] [a  b|Times New Roman 12][\tc\u2028|Times New Roman 12 i u9 s9 fg#00ff00 bg#ffff00]"
                                         "[link|Times New Roman 12][IMG 6x4 36x24pt]"),
                          QStringLiteral("TABLE 1x2"), QStringLiteral("  cell 0,0:  [x|Times New Roman 12]"),
                          QStringLiteral("  cell 0,1:  [y|Times New Roman 12]"), QStringLiteral("align=l ind=0/0/0 sp=0/0 lm=0 tabs=[] ")}));
}

void WordMLTest::listsWithoutMarkerHints()
{
    const QByteArray xml = document(
        "<w:lists><w:listDef w:listDefId=\"4\"><w:lvl w:ilvl=\"0\"><w:nfc w:val=\"0\"/></w:lvl></w:listDef>"
        "<w:listDef w:listDefId=\"5\"><w:lvl w:ilvl=\"0\"><w:nfc w:val=\"23\"/></w:lvl></w:listDef>"
        "<w:list w:ilfo=\"1\"><w:ilst w:val=\"4\"/></w:list><w:list w:ilfo=\"2\"><w:ilst w:val=\"5\"/></w:list></w:lists>"
        "<w:body><w:p><w:pPr><w:listPr><w:ilfo w:val=\"1\"/></w:listPr></w:pPr><w:r><w:rPr><w:b/></w:rPr><w:t>one</w:t></w:r></w:p>"
        "<w:p><w:pPr><w:listPr><w:ilfo w:val=\"1\"/></w:listPr></w:pPr><w:r><w:t>two</w:t></w:r></w:p>"
        "<w:p><w:pPr><w:listPr><w:ilfo w:val=\"2\"/></w:listPr></w:pPr><w:r><w:t>dot</w:t></w:r></w:p></w:body>");
    QTextDocument doc;
    QVERIFY(WordML::read(xml, &doc, nullptr, nullptr));
    QCOMPARE(describe(doc, Lists | Traits | Paragraphs),
             (QStringList{QStringLiteral("align=l ind=36/36/0 sp=0/0 lm=0 tabs=[11:0,36:0] list=2 [\t1.\tone|b]"),
                          QStringLiteral("align=l ind=36/36/0 sp=0/0 lm=0 tabs=[11:0,36:0] list=2 [\t2.\ttwo|]"),
                          QStringLiteral("align=l ind=36/36/0 sp=0/0 lm=0 tabs=[11:0,36:0] list=1 [\t•\tdot|]")}));
}

void WordMLTest::listLevels_data()
{
    QTest::addColumn<QByteArray>("levels");
    QTest::addColumn<QStringList>("items");
    const QByteArray numberFrom3 = "<w:lvl w:ilvl=\"0\"><w:start w:val=\"3\"/><w:nfc w:val=\"0\"/></w:lvl>";
    QTest::newRow("numbers start where the level says")
        << numberFrom3 << QStringList{QStringLiteral("\t3.\ta"), QStringLiteral("\t4.\tb"), QStringLiteral("\t•\tinner"),
                                      QStringLiteral("\t5.\tc")};
    QTest::newRow("a numbered inner level counts on its own")
        << numberFrom3 + "<w:lvl w:ilvl=\"1\"><w:nfc w:val=\"0\"/></w:lvl>"
        << QStringList{QStringLiteral("\t3.\ta"), QStringLiteral("\t4.\tb"), QStringLiteral("\t1.\tinner"),
                       QStringLiteral("\t5.\tc")};
}

// Lists of other programs without marker hints: each level has its own kind
// and first number, and inner items do not count in the outer level.
void WordMLTest::listLevels()
{
    QFETCH(QByteArray, levels);
    QFETCH(QStringList, items);
    auto item = [](const char* level, const char* text) {
        return QByteArray("<w:p><w:pPr><w:listPr><w:ilvl w:val=\"") + level + "\"/><w:ilfo w:val=\"1\"/></w:listPr></w:pPr>"
             + "<w:r><w:t>" + text + "</w:t></w:r></w:p>";
    };
    const QByteArray xml = document("<w:lists><w:listDef w:listDefId=\"0\">" + levels + "</w:listDef>"
                                    "<w:list w:ilfo=\"1\"><w:ilst w:val=\"0\"/></w:list></w:lists><w:body>"
                                    + item("0", "a") + item("0", "b") + item("1", "inner") + item("0", "c") + "</w:body>");
    QTextDocument doc;
    QVERIFY(WordML::read(xml, &doc, nullptr, nullptr));
    QCOMPARE(doc.toPlainText().split(QLatin1Char('\n')), items);
}

void WordMLTest::pageAndProperties()
{
    const QByteArray xml = document("<o:DocumentProperties><o:Description>About this</o:Description></o:DocumentProperties>"
                                    "<w:body><w:p/><w:sectPr><w:pgSz w:w=\"15840\" w:h=\"12240\" w:orient=\"landscape\"/>"
                                    "<w:pgMar w:top=\"1440\" w:right=\"720\" w:bottom=\"1440\" w:left=\"720\"/></w:sectPr></w:body>");
    QTextDocument doc;
    WPDocAttributes a;
    QVERIFY(WordML::read(xml, &doc, &a, nullptr));
    QCOMPARE(a.paperSize, QSizeF(792, 612));
    QCOMPARE(a.leftMargin, 36.0);
    QCOMPARE(a.topMargin, 72.0);
    QCOMPARE(a.comment, QStringLiteral("About this"));
}

void WordMLTest::notesBoxesAndHeaders()
{
    // As another program writes them: a footnote inside its run, a text box
    // in a shape, a comment, and odd-page and first-page headers.
    const QByteArray xml = document(
        "<w:body><w:p><w:r><w:t>a</w:t></w:r><w:r><w:footnote><w:p><w:r><w:footnoteRef/></w:r><w:r><w:t> note</w:t></w:r></w:p>"
        "</w:footnote></w:r><w:r><w:pict><v:shape style=\"width:50pt;height:20pt\"><v:textbox><w:txbxContent><w:p><w:r><w:t>box</w:t>"
        "</w:r></w:p></w:txbxContent></v:textbox></v:shape></w:pict></w:r><w:r><w:t>b</w:t></w:r>"
        "<aml:annotation xmlns:aml=\"http://schemas.microsoft.com/aml/2001/core\" w:type=\"Word.Comment\"/></w:p>"
        "<w:sectPr><w:hdr w:type=\"first\"><w:p><w:r><w:t>First</w:t></w:r></w:p></w:hdr>"
        "<w:ftr w:type=\"odd\"><w:p><w:r><w:t>Page </w:t></w:r><w:fldSimple w:instr=\" PAGE \"><w:r><w:t>1</w:t></w:r></w:fldSimple></w:p></w:ftr>"
        "</w:sectPr></w:body>");
    QTextDocument doc;
    WPDocAttributes a;
    QVERIFY(WordML::read(xml, &doc, &a, nullptr));
    QCOMPARE(doc.toPlainText(), QStringLiteral("a1boxb\n") + QString(20, QChar(0x2500)) + QStringLiteral("\n1 note"));
    QCOMPARE(a.comment, WPHeaderFooter::encode(QStringLiteral("First"), QStringLiteral("Page {page}")));
    QCOMPARE(a.notKept.value(QStringLiteral("comment")), 1);
}

void WordMLTest::writtenXmlIsWellFormed()
{
    QTextDocument doc;
    fillSample(&doc);
    QTextCursor c(&doc);
    c.insertText(QStringLiteral("control \x01\x02 characters and a lone \xD800 surrogate"));
    WPDocAttributes a;
    a.comment = WPHeaderFooter::encode(QStringLiteral("h\x02"), QStringLiteral("f"));
    const QByteArray xml = WordML::write(doc, a);
    QXmlStreamReader x(xml);
    while (!x.atEnd())
        x.readNext();
    QVERIFY2(!x.hasError(), qPrintable(x.errorString()));
    QVERIFY(WordML::looksLikeWordML(xml));
}

void WordMLTest::hostile_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("entity bomb") << QByteArray(
        "<?xml version=\"1.0\"?><!DOCTYPE w [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">"
        "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\"><!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;\">"
        "<!ENTITY e \"&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;\"><!ENTITY f \"&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;\">]>"
        "<w:wordDocument xmlns:w=\"http://schemas.microsoft.com/office/word/2003/wordml\"><w:body><w:p><w:r><w:t>&f;&f;&f;</w:t></w:r></w:p></w:body></w:wordDocument>");
    QByteArray deep;
    for (int i = 0; i < 50000; ++i)
        deep += "<w:hlink>";
    QTest::newRow("deep links") << document("<w:body><w:p>" + deep + "</w:p></w:body>");
    QByteArray tables;
    for (int i = 0; i < 50000; ++i)
        tables += "<w:tbl><w:tr><w:tc>";
    QTest::newRow("deep tables") << document("<w:body>" + tables + "</w:body>");
    QTest::newRow("bad base64") << document("<w:body><w:p><w:r><w:pict><w:binData w:name=\"x\">!!!***</w:binData>"
                                            "<v:shape style=\"width:1e308pt;height:-5pt\"><v:imagedata src=\"x\"/></v:shape></w:pict></w:r></w:p></w:body>");
    QTest::newRow("wrong root") << QByteArray("<?xml version=\"1.0\"?><html/>");
    QTest::newRow("truncated") << document("<w:body><w:p><w:r><w:t>cut").left(200);
    QTest::newRow("absurd numbers") << document("<w:body><w:p><w:pPr><w:ind w:left=\"1e308\" w:hanging=\"-1e308\"/><w:spacing w:line=\"99999999999\"/>"
                                                "</w:pPr><w:r><w:rPr><w:sz w:val=\"2147483647\"/></w:rPr><w:t>n</w:t></w:r></w:p>"
                                                "<w:sectPr><w:pgSz w:w=\"-1\" w:h=\"nan\"/><w:pgMar w:left=\"1e400\"/></w:sectPr></w:body>");
}

void WordMLTest::hostile()
{
    QFETCH(QByteArray, bytes);
    QElapsedTimer timer;
    timer.start();
    QTextDocument doc;
    WPDocAttributes a;
    QString error;
    const bool ok = WordML::read(bytes, &doc, &a, &error);
    QVERIFY(ok || !error.isEmpty());
    QVERIFY(doc.toPlainText().size() < 10000);
    // Guards against runaway work, not a speed target: generous enough for a
    // sanitizer build on a busy machine.
    QVERIFY(timer.elapsed() < 60000);
    if (a.paperSize)
        QVERIFY(a.paperSize->width() > 0);
}

QTEST_MAIN(WordMLTest)
#include "tst_wordml.moc"
