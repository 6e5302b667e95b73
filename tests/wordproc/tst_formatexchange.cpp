// What other programs find in our files and we in theirs: link targets,
// headers and footers as real ones, first-page and even-page variants named
// in the notice, the first section's page, superscript by character style.
#include "tst_formatsupport.h"

#include "wordproc/WPFormat.h"
#include "wordproc/WPTextModel.h"
#include "wordproc/docx/Zip.h"
#include "wordproc/formats/ZipPackage.h"

#include <QTemporaryDir>
#include <QTextCursor>
#include <QtTest>

using namespace FormatTest;
using WPFormat::DocType;

namespace {

// Each linked stretch of the text as "text>target".
QStringList links(const QTextDocument& doc)
{
    QStringList out;
    for (const WPTextModel::Paragraph& p : WPTextModel::paragraphs(doc)) {
        for (const WPTextModel::Run& r : p.runs) {
            if (!r.link)
                continue;
            if (!out.isEmpty() && out.last().endsWith(QLatin1Char('>') + r.href))
                out.last().insert(out.last().lastIndexOf(QLatin1Char('>')), r.text);
            else
                out << r.text + QLatin1Char('>') + r.href;
        }
    }
    return out;
}

bool readBytes(const QByteArray& bytes, DocType type, QTextDocument* doc, WPDocAttributes* attrs)
{
    QString error;
    const bool ok = WPFormat::read(bytes, type, doc, attrs, &error);
    if (!ok)
        qWarning() << error;
    return ok;
}

// The entries of a package, `leaveOut` left out, stored again.
QByteArray repack(const QByteArray& package, const QString& leaveOut)
{
    ZipPackage::Reader reader(package);
    QList<ZipPackage::Entry> entries;
    for (const QString& name : reader.names())
        if (name != leaveOut)
            entries.append({name, reader.read(name).value_or(QByteArray()), name != QLatin1String("mimetype")});
    return ZipPackage::write(entries, nullptr).value_or(QByteArray());
}

QByteArray docxPackage(const QString& body, const QList<Zip::Entry>& more = {}, const QString& rels = {})
{
    const QString w = QStringLiteral("http://schemas.openxmlformats.org/wordprocessingml/2006/main");
    const QString r = QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships");
    QList<Zip::Entry> entries{
        {QStringLiteral("[Content_Types].xml"), "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"/>"},
        {QStringLiteral("word/document.xml"),
         QStringLiteral("<w:document xmlns:w=\"%1\" xmlns:r=\"%2\"><w:body>%3</w:body></w:document>").arg(w, r, body).toUtf8()},
        {QStringLiteral("word/_rels/document.xml.rels"),
         (QStringLiteral("<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">") + rels
          + QStringLiteral("</Relationships>")).toUtf8()}};
    return Zip::store(entries + more);
}

QString hdr(const char* root, const QString& text)
{
    return QStringLiteral("<w:%1 xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"><w:p><w:r><w:t>%2</w:t>"
                          "</w:r></w:p></w:%1>").arg(QLatin1String(root), text);
}

QString headerRel(const QString& id, const QString& target)
{
    return QStringLiteral("<Relationship Id=\"%1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/header\" "
                          "Target=\"%2\"/>").arg(id, target);
}

} // namespace

class FormatExchange : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void linksRoundTrip_data();
    void linksRoundTrip();
    void linksOfOtherPrograms_data();
    void linksOfOtherPrograms();
    void headersOtherProgramsSee_data();
    void headersOtherProgramsSee();
    void variantsNamed_data();
    void variantsNamed();
    void firstSectionsPage_data();
    void firstSectionsPage();
    void superscriptInDocx_data();
    void superscriptInDocx();
    void rtfKeepsEverySpace_data();
    void rtfKeepsEverySpace();
};

void FormatExchange::linksRoundTrip_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QByteArray>("marking"); // how the target stands in the file
    QTest::newRow("rtf") << int(DocType::Rtf) << QByteArray("HYPERLINK \"https://example.org/a?b=1&c=2\"");
    QTest::newRow("rtfd") << int(DocType::Rtfd) << QByteArray();
    QTest::newRow("odt") << int(DocType::Odt) << QByteArray();
    QTest::newRow("wordml") << int(DocType::WordML) << QByteArray("<w:hlink w:dest=\"https://example.org/a?b=1&amp;c=2\">");
    QTest::newRow("doc") << int(DocType::Doc) << QByteArray();
}

void FormatExchange::linksRoundTrip()
{
    QFETCH(int, type);
    QFETCH(QByteArray, marking);
    QTextDocument source;
    QTextCursor c(&source);
    const QTextCharFormat plain = run(QStringLiteral("Liberation Sans"), 12);
    auto link = [&](const QString& text, const QString& href, bool bold = false) {
        QTextCharFormat f = run(QStringLiteral("Liberation Sans"), 12, bold);
        f.setAnchor(true);
        f.setAnchorHref(href);
        c.insertText(text, f);
    };
    c.insertText(QStringLiteral("See "), plain);
    link(QStringLiteral("the "), QStringLiteral("https://example.org/a?b=1&c=2"));
    link(QStringLiteral("page"), QStringLiteral("https://example.org/a?b=1&c=2"), true);
    c.insertText(QStringLiteral(" and "), plain);
    link(QStringLiteral("intro"), QStringLiteral("#intro"));
    c.insertBlock();
    link(QStringLiteral("mail"), QStringLiteral("mailto:ann@example.org"));

    QTextDocument back;
    if (DocType(type) == DocType::Rtfd) {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("l.rtfd"));
        QString error;
        QVERIFY2(WPFormat::writeRtfd(source, {}, path, &error), qPrintable(error));
        QVERIFY2(WPFormat::readRtfd(path, &back, nullptr, &error), qPrintable(error));
    } else {
        const std::optional<QByteArray> bytes = WPFormat::write(source, DocType(type), {}, nullptr);
        QVERIFY(bytes);
        if (!marking.isEmpty())
            QVERIFY2(bytes->contains(marking), bytes->constData());
        if (DocType(type) == DocType::Odt) {
            const QByteArray content = ZipPackage::Reader(*bytes).read(QStringLiteral("content.xml")).value_or(QByteArray());
            QVERIFY(content.contains("<text:a xlink:type=\"simple\" xlink:href=\"#intro\">"));
        }
        QVERIFY(readBytes(*bytes, DocType(type), &back, nullptr));
    }
    QCOMPARE(back.toPlainText(), source.toPlainText());
    QCOMPARE(links(back), (QStringList{QStringLiteral("the page>https://example.org/a?b=1&c=2"), QStringLiteral("intro>#intro"),
                                       QStringLiteral("mail>mailto:ann@example.org")}));
}

void FormatExchange::linksOfOtherPrograms_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("links");
    QTest::newRow("rtf field with formatted result")
        << int(DocType::Rtf)
        << QByteArray("{\\rtf1 see {\\field{\\*\\fldinst{\\rtlch\\fcs1 HYPERLINK \"http://x.org/\" }}{\\fldrslt{\\plain\\ul\\cf2 he}{\\b re}}}.}")
        << QStringLiteral("see here.") << QStringList{QStringLiteral("here>http://x.org/")};
    QTest::newRow("rtf place in the document, tip switch")
        << int(DocType::Rtf) << QByteArray("{\\rtf1 {\\field{\\*\\fldinst HYPERLINK \\\\l \"top\" \\\\o \"Go up\"}{\\fldrslt up}} x}")
        << QStringLiteral("up x") << QStringList{QStringLiteral("up>#top")};
    QTest::newRow("rtf address with a place")
        << int(DocType::Rtf) << QByteArray("{\\rtf1 {\\field{\\*\\fldinst HYPERLINK http://x.org/p \\\\l sec2}{\\fldrslt p}}}")
        << QStringLiteral("p") << QStringList{QStringLiteral("p>http://x.org/p#sec2")};
    QTest::newRow("rtf other fields link nothing")
        << int(DocType::Rtf) << QByteArray("{\\rtf1 {\\field{\\*\\fldinst PAGE}{\\fldrslt 7}} {\\field{\\*\\fldinst HYPERLINK}{\\fldrslt h}}}")
        << QStringLiteral("7 h") << QStringList{};
    QTest::newRow("wordml link and bookmark")
        << int(DocType::WordML)
        << QByteArray("<?xml version=\"1.0\"?><?mso-application progid=\"Word.Document\"?><w:wordDocument "
                      "xmlns:w=\"http://schemas.microsoft.com/office/word/2003/wordml\"><w:body><w:p><w:r><w:t>a </w:t></w:r>"
                      "<w:hlink w:dest=\"http://x.org/\"><w:r><w:t>x</w:t></w:r></w:hlink><w:hlink w:bookmark=\"b\"><w:r><w:t>y"
                      "</w:t></w:r></w:hlink></w:p></w:body></w:wordDocument>")
        << QStringLiteral("a xy") << QStringList{QStringLiteral("x>http://x.org/"), QStringLiteral("y>#b")};
}

void FormatExchange::linksOfOtherPrograms()
{
    QFETCH(int, type);
    QFETCH(QByteArray, data);
    QFETCH(QString, text);
    QFETCH(QStringList, links);
    QTextDocument doc;
    QVERIFY(readBytes(data, DocType(type), &doc, nullptr));
    QCOMPARE(doc.toPlainText(), text);
    QCOMPARE(::links(doc), links);
}

void FormatExchange::headersOtherProgramsSee_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("header");
    QTest::addColumn<QString>("footer");
    QTest::newRow("rtf") << int(DocType::Rtf) << QStringLiteral("Report {page}") << QStringLiteral("{pages} pages");
    QTest::newRow("rtf footer only") << int(DocType::Rtf) << QString() << QStringLiteral("Page {page} of {pages}");
    QTest::newRow("odt") << int(DocType::Odt) << QStringLiteral("Report {page}") << QStringLiteral("{pages} pages");
    QTest::newRow("odt header only") << int(DocType::Odt) << QStringLiteral("Plain words") << QString();
}

void FormatExchange::headersOtherProgramsSee()
{
    QFETCH(int, type);
    QFETCH(QString, header);
    QFETCH(QString, footer);
    QTextDocument source;
    QTextCursor(&source).insertText(QStringLiteral("body"));
    WPDocAttributes attrs;
    attrs.comment = WPHeaderFooter::encode(header, footer);
    const std::optional<QByteArray> bytes = WPFormat::write(source, DocType(type), attrs, nullptr);
    QVERIFY(bytes);

    // Our own record comes back first.
    WPDocAttributes read;
    QTextDocument back;
    QVERIFY(readBytes(*bytes, DocType(type), &back, &read));
    QCOMPARE(read.comment, attrs.comment);

    // Without it (another program's save drops it) the real header and
    // footer give the same templates.
    QByteArray stripped;
    if (DocType(type) == DocType::Rtf) {
        QVERIFY(bytes->contains("{\\header") == !header.isEmpty());
        QVERIFY(bytes->contains("{\\footer") == !footer.isEmpty());
        // Another suite's save keeps the comment but not its separators.
        stripped = QByteArray(*bytes).replace("\\u31?", "");
    } else {
        const QByteArray styles = ZipPackage::Reader(*bytes).read(QStringLiteral("styles.xml")).value_or(QByteArray());
        QVERIFY(styles.contains("<style:header>") == !header.isEmpty());
        QVERIFY(styles.contains("<text:page-count>") == footer.contains(QLatin1String("{pages}")));
        stripped = repack(*bytes, QStringLiteral("meta.xml"));
    }
    QVERIFY(stripped != *bytes);
    WPDocAttributes other;
    QVERIFY(readBytes(stripped, DocType(type), &back, &other));
    QVERIFY(other.comment);
    QCOMPARE(WPHeaderFooter::decode(*other.comment), (std::pair<QString, QString>{header, footer}));
    QCOMPARE(back.toPlainText(), QStringLiteral("body"));
}

void FormatExchange::variantsNamed_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("header"); // the one kept
    QTest::addColumn<QStringList>("notKept");
    QTest::newRow("rtf even and first beside the main one")
        << int(DocType::Rtf) << QByteArray("{\\rtf1{\\headerl Even}{\\headerr Odd}{\\headerf Title}{\\footerl Same}{\\footerr Same}x}")
        << QStringLiteral("Odd") << QStringList{QStringLiteral("even-page header"), QStringLiteral("first-page header")};
    QTest::newRow("rtf later sections keep the first one's")
        << int(DocType::Rtf) << QByteArray("{\\rtf1{\\header One}x\\sect{\\header Two}y}") << QStringLiteral("One") << QStringList{};
    QTest::newRow("rtf first page only")
        << int(DocType::Rtf) << QByteArray("{\\rtf1{\\headerf Title}x}") << QStringLiteral("Title") << QStringList{};
    const QByteArray odt = "<office:master-styles><style:master-page style:name=\"Standard\"><style:header><text:p>Odd</text:p></style:header>"
                           "<style:header-left><text:p>Even</text:p></style:header-left>"
                           "<style:footer-first><text:p>F1</text:p></style:footer-first>"
                           "<style:header-first style:display=\"false\"><text:p>Hidden</text:p></style:header-first>"
                           "</style:master-page></office:master-styles>";
    QTest::newRow("odt even beside the main one, first footer alone") << int(DocType::Odt) << odt << QStringLiteral("Odd")
                                                                        << QStringList{QStringLiteral("even-page header")};
    QTest::newRow("wordml")
        << int(DocType::WordML)
        << QByteArray("<?xml version=\"1.0\"?><?mso-application progid=\"Word.Document\"?><w:wordDocument "
                      "xmlns:w=\"http://schemas.microsoft.com/office/word/2003/wordml\"><w:body><w:p><w:r><w:t>x</w:t></w:r></w:p>"
                      "<w:sectPr><w:hdr w:type=\"odd\"><w:p><w:r><w:t>Odd</w:t></w:r></w:p></w:hdr>"
                      "<w:hdr w:type=\"even\"><w:p><w:r><w:t>Even</w:t></w:r></w:p></w:hdr>"
                      "<w:ftr w:type=\"first\"><w:p><w:r><w:t>F</w:t></w:r></w:p></w:ftr>"
                      "<w:ftr w:type=\"odd\"><w:p><w:r><w:t>G</w:t></w:r></w:p></w:ftr></w:sectPr></w:body></w:wordDocument>")
        << QStringLiteral("Odd") << QStringList{QStringLiteral("even-page header"), QStringLiteral("first-page footer")};
    const QString rels = headerRel(QStringLiteral("h1"), QStringLiteral("header1.xml")) + headerRel(QStringLiteral("h2"), QStringLiteral("header2.xml"))
                       + headerRel(QStringLiteral("h3"), QStringLiteral("header3.xml"));
    QTest::newRow("docx first section")
        << int(DocType::Docx)
        << docxPackage(QStringLiteral("<w:p><w:r><w:t>x</w:t></w:r></w:p><w:sectPr><w:headerReference w:type=\"default\" r:id=\"h1\"/>"
                                      "<w:headerReference w:type=\"first\" r:id=\"h2\"/><w:headerReference w:type=\"even\" r:id=\"h3\"/>"
                                      "<w:titlePg/></w:sectPr>"),
                       {{QStringLiteral("word/header1.xml"), hdr("hdr", QStringLiteral("Main")).toUtf8()},
                        {QStringLiteral("word/header2.xml"), hdr("hdr", QStringLiteral("Cover")).toUtf8()},
                        {QStringLiteral("word/header3.xml"), hdr("hdr", QStringLiteral("Main")).toUtf8()}},
                       rels)
        << QString() << QStringList{QStringLiteral("first-page header")};
}

void FormatExchange::variantsNamed()
{
    QFETCH(int, type);
    QFETCH(QByteArray, data);
    QFETCH(QString, header);
    QFETCH(QStringList, notKept);
    if (DocType(type) == DocType::Odt) {
        const QByteArray ns = " xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
                              "xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\" "
                              "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\"";
        const QByteArray styles = "<office:document-styles" + ns + ">" + data + "</office:document-styles>";
        const QByteArray content = "<office:document-content" + ns + "><office:body><office:text><text:p>x</text:p></office:text>"
                                   "</office:body></office:document-content>";
        data = *ZipPackage::write({{QStringLiteral("mimetype"), "application/vnd.oasis.opendocument.text", false},
                                   {QStringLiteral("content.xml"), content, true}, {QStringLiteral("styles.xml"), styles, true}},
                                  nullptr);
    }
    QTextDocument doc;
    WPDocAttributes attrs;
    QVERIFY(readBytes(data, DocType(type), &doc, &attrs));
    QCOMPARE(attrs.notKept.keys(), notKept);
    for (const QString& kind : notKept)
        QCOMPARE(attrs.notKept.value(kind), 1);
    if (!header.isEmpty())
        QCOMPARE(WPHeaderFooter::decode(attrs.comment.value_or(QString())).value_or(std::pair<QString, QString>()).first, header);
}

void FormatExchange::firstSectionsPage_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QByteArray>("data");
    const QByteArray a4 = "<w:pgSz w:w=\"11906\" w:h=\"16838\"/><w:pgMar w:top=\"1440\" w:left=\"720\" w:bottom=\"1440\" w:right=\"720\"/>";
    const QByteArray letter = "<w:pgSz w:w=\"15840\" w:h=\"12240\"/><w:pgMar w:top=\"100\" w:left=\"100\" w:bottom=\"100\" w:right=\"100\"/>";
    QTest::newRow("docx: a section break, then the body's") << int(DocType::Docx)
        << docxPackage(QStringLiteral("<w:p><w:pPr><w:sectPr>%1</w:sectPr></w:pPr><w:r><w:t>one</w:t></w:r></w:p>"
                                      "<w:p><w:r><w:t>two</w:t></w:r></w:p><w:sectPr>%2</w:sectPr>")
                           .arg(QString::fromLatin1(a4), QString::fromLatin1(letter)));
    QTest::newRow("docx: the body's alone") << int(DocType::Docx)
        << docxPackage(QStringLiteral("<w:p><w:r><w:t>one</w:t></w:r></w:p><w:sectPr>%1</w:sectPr>").arg(QString::fromLatin1(a4)));
    QTest::newRow("wordml: two sections") << int(DocType::WordML)
        << "<?xml version=\"1.0\"?><?mso-application progid=\"Word.Document\"?><w:wordDocument "
           "xmlns:w=\"http://schemas.microsoft.com/office/word/2003/wordml\"><w:body><wx:sect xmlns:wx=\"x\"><w:p><w:pPr><w:sectPr>"
           + a4 + "</w:sectPr></w:pPr><w:r><w:t>one</w:t></w:r></w:p></wx:sect><wx:sect xmlns:wx=\"x\"><w:p><w:r><w:t>two</w:t></w:r></w:p>"
                  "<w:sectPr>" + letter + "</w:sectPr></wx:sect></w:body></w:wordDocument>";
}

void FormatExchange::firstSectionsPage()
{
    QFETCH(int, type);
    QFETCH(QByteArray, data);
    QTextDocument doc;
    WPDocAttributes attrs;
    QVERIFY(readBytes(data, DocType(type), &doc, &attrs));
    QCOMPARE(attrs.paperSize, QSizeF(595.3, 841.9));
    QCOMPARE(attrs.leftMargin, 36.0);
    QCOMPARE(attrs.topMargin, 72.0);
}

void FormatExchange::superscriptInDocx_data()
{
    QTest::addColumn<QString>("runProperties");
    QTest::addColumn<int>("baseline");
    QTest::newRow("direct superscript") << QStringLiteral("<w:vertAlign w:val=\"superscript\"/>") << 1;
    QTest::newRow("direct subscript") << QStringLiteral("<w:vertAlign w:val=\"subscript\"/>") << 2;
    QTest::newRow("by character style") << QStringLiteral("<w:rStyle w:val=\"Sup\"/>") << 1;
    QTest::newRow("style based on one") << QStringLiteral("<w:rStyle w:val=\"SupBold\"/>") << 1;
    QTest::newRow("style undone directly") << QStringLiteral("<w:rStyle w:val=\"Sup\"/><w:vertAlign w:val=\"baseline\"/>") << 0;
}

void FormatExchange::superscriptInDocx()
{
    QFETCH(QString, runProperties);
    QFETCH(int, baseline);
    const QByteArray styles =
        "<w:styles xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">"
        "<w:style w:type=\"character\" w:styleId=\"Sup\"><w:rPr><w:vertAlign w:val=\"superscript\"/></w:rPr></w:style>"
        "<w:style w:type=\"character\" w:styleId=\"SupBold\"><w:basedOn w:val=\"Sup\"/><w:rPr><w:b/></w:rPr></w:style></w:styles>";
    const QString rels = QStringLiteral("<Relationship Id=\"s\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles\" "
                                        "Target=\"styles.xml\"/>");
    const QByteArray data = docxPackage(QStringLiteral("<w:p><w:r><w:t>x</w:t></w:r><w:r><w:rPr>%1</w:rPr><w:t>2</w:t></w:r></w:p>").arg(runProperties),
                                        {{QStringLiteral("word/styles.xml"), styles}}, rels);
    QTextDocument doc;
    QVERIFY(readBytes(data, DocType::Docx, &doc, nullptr));
    const QList<WPTextModel::Paragraph> ps = WPTextModel::paragraphs(doc);
    QCOMPARE(ps.size(), 1);
    QCOMPARE(ps[0].runs.size(), baseline == 0 ? 1 : 2);
    QCOMPARE(ps[0].runs.last().baseline, baseline);
    QCOMPARE(ps[0].runs.first().baseline, 0);
}

void FormatExchange::rtfKeepsEverySpace_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ownRun"); // the space before the tab in a run of its own format
    QTest::newRow("space before a tab") << QStringLiteral("720&20 \t\u2022 done") << false;
    QTest::newRow("space in a run of its own") << QStringLiteral("720&20 \t\u2022") << true;
    QTest::newRow("spaces around tabs and breaks") << QStringLiteral("  a \t b\t\t c \u2028 d  ") << false;
    QTest::newRow("space after a non-ASCII letter") << QStringLiteral("caf\u00E9 \tx") << false;
    QTest::newRow("tabs at the start") << QStringLiteral("\t\t x") << false;
    QTest::newRow("spaced words between the first tabs") << QStringLiteral("\t *d\t\u00B7\t x") << false;
}

void FormatExchange::rtfKeepsEverySpace()
{
    QFETCH(QString, text);
    QFETCH(bool, ownRun);
    QTextDocument source;
    QTextCursor c(&source);
    const QTextCharFormat plain = run(QStringLiteral("Liberation Sans"), 12);
    if (ownRun) {
        const qsizetype space = text.indexOf(QLatin1String(" \t"));
        c.insertText(text.left(space), plain);
        c.insertText(QStringLiteral(" "), run(QStringLiteral("Liberation Sans"), 12, true));
        c.insertText(text.mid(space + 1), plain);
    } else {
        c.insertText(text, plain);
    }
    // In a paragraph, a list item and a table cell.
    QTextBlockFormat item;
    item.setProperty(WPText::ListKind, int(WPText::ListBullet));
    c.insertBlock(item);
    c.insertText(QStringLiteral("\t\u2022\t") + text, plain);
    c.insertBlock(item); // a list item without a marker of its own
    c.insertText(text, plain);
    c.insertBlock(QTextBlockFormat());
    c.insertTable(1, 1);
    c.insertText(text, plain);
    const std::optional<QByteArray> bytes = WPFormat::write(source, DocType::Rtf, {}, nullptr);
    QVERIFY(bytes);
    QTextDocument back;
    QVERIFY(readBytes(*bytes, DocType::Rtf, &back, nullptr));
    QCOMPARE(back.toPlainText(), source.toPlainText());
}

QTEST_MAIN(FormatExchange)
#include "tst_formatexchange.moc"
