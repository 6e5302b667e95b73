#include "DocxTestFiles.h"
#include "TestEnvironment.h"
#include "wordproc/docx/Docx.h"
#include "wordproc/docx/DocxWriter.h"
#include "wordproc/docx/Zip.h"

#include <QBuffer>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <QXmlStreamReader>

using namespace WPTextModel;
using DocxTestFiles::para;
using DocxTestFiles::pictureRun;
using DocxTestFiles::run;

namespace {

const QDateTime kNow(QDate(2026, 3, 14), QTime(9, 26, 53), Qt::UTC);

DocxWriter::Options fixedOptions()
{
    DocxWriter::Options o;
    o.now = kNow;
    o.locale = QLocale(QLocale::English, QLocale::UnitedStates);
    return o;
}





QString part(const QByteArray& package, const QString& name)
{
    return QString::fromUtf8(Zip::extract(package, name).value_or(QByteArray()));
}

QByteArray packageOf(const QList<Paragraph>& ps, const WPDocAttributes& attrs = {})
{
    QTextDocument doc;
    Builder b(&doc);
    for (const Paragraph& p : ps)
        b.addParagraph(p);
    return DocxWriter::write(doc, attrs, fixedOptions());
}

WPDocAttributes withHF(const QString& header, const QString& footer)
{
    WPDocAttributes a;
    a.comment = WPHeaderFooter::encode(header, footer);
    return a;
}


} // namespace

class DocxWriterTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void escaping_data()
    {
        QTest::addColumn<QString>("in");
        QTest::addColumn<QString>("out");
        QTest::newRow("markup") << QStringLiteral("a<b>&\"") << QStringLiteral("a&lt;b&gt;&amp;&quot;");
        QTest::newRow("apostrophe kept") << QStringLiteral("it's") << QStringLiteral("it's");
        QTest::newRow("cr dropped, lf and tab kept") << QStringLiteral("a\rb\nc\td") << QStringLiteral("ab\nc\td");
        QTest::newRow("C0 controls") << QStringLiteral("x\u0001\u000B\u001Fy") << QStringLiteral("xy");
        QTest::newRow("non-characters") << QStringLiteral("a\uFFFEb\uFFFFc") << QStringLiteral("abc");
        QTest::newRow("lone surrogates") << QString(QChar(0xD800)) + QStringLiteral("a") + QChar(0xDC00)
                                         << QStringLiteral("a");
        QTest::newRow("pair kept") << QStringLiteral("\U0001F600") << QStringLiteral("\U0001F600");
        QTest::newRow("empty") << QString() << QString();
    }
    void escaping()
    {
        QFETCH(QString, in);
        QFETCH(QString, out);
        QCOMPARE(DocxWriter::esc(in), out);
    }

    void wholeNumbers_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<qint64>("expected");
        QTest::newRow("1.15 lines") << 1.15 * 240 << qint64(276);
        QTest::newRow("36.03 pt") << 36.03 * 20 << qint64(721);
        QTest::newRow("half up") << 0.5 << qint64(1);
        QTest::newRow("half away from zero") << -0.5 << qint64(-1);
        QTest::newRow("just below half") << 2.4999 << qint64(2);
        QTest::newRow("nan") << qQNaN() << qint64(0);
        QTest::newRow("infinite") << qInf() << qint64(0);
        QTest::newRow("huge") << 1e300 << qint64(1e15);
    }
    void wholeNumbers()
    {
        QFETCH(double, value);
        QFETCH(qint64, expected);
        QCOMPARE(DocxWriter::whole(value), expected);
    }

    void colours_data()
    {
        QTest::addColumn<QColor>("color");
        QTest::addColumn<QString>("hex");
        QTest::newRow("red") << QColor(255, 0, 0) << QStringLiteral("FF0000");
        QTest::newRow("grey") << QColor(0x59, 0x59, 0x59) << QStringLiteral("595959");
        QTest::newRow("hsv") << QColor::fromHsv(240, 255, 255) << QStringLiteral("0000FF");
        QTest::newRow("extended range clamps") << QColor::fromRgbF(1.2f, -0.1f, 0.5f) << QStringLiteral("FF0080");
        QTest::newRow("invalid") << QColor() << QString();
        QTest::newRow("fully transparent") << QColor(255, 0, 0, 0) << QString();
        QTest::newRow("named transparent") << QColor(Qt::transparent) << QString();
        QTest::newRow("half transparent keeps its colour") << QColor(255, 0, 0, 128) << QStringLiteral("FF0000");
    }
    void colours()
    {
        QFETCH(QColor, color);
        QFETCH(QString, hex);
        QCOMPARE(DocxWriter::hex(color).value_or(QString()), hex);
    }

    void runs_data()
    {
        QTest::addColumn<Run>("in");
        QTest::addColumn<QString>("xml");
        QTest::newRow("tab inside") << run(QStringLiteral("a\tb"), false)
                                    << QStringLiteral("<w:r><w:t xml:space=\"preserve\">a</w:t><w:tab/>"
                                                      "<w:t xml:space=\"preserve\">b</w:t></w:r>");
        QTest::newRow("leading tab") << run(QStringLiteral("\tb"), false)
                                     << QStringLiteral("<w:r><w:tab/><w:t xml:space=\"preserve\">b</w:t></w:r>");
        QTest::newRow("two line breaks") << run(QStringLiteral("a\u2028\u2028b"), false)
                                         << QStringLiteral("<w:r><w:t xml:space=\"preserve\">a</w:t><w:br/><w:br/>"
                                                           "<w:t xml:space=\"preserve\">b</w:t></w:r>");
        QTest::newRow("vertical tab breaks") << run(QStringLiteral("a\u000Bb"), false)
                                             << QStringLiteral("<w:r><w:t xml:space=\"preserve\">a</w:t><w:br/>"
                                                               "<w:t xml:space=\"preserve\">b</w:t></w:r>");
        Run bold = run(QStringLiteral("x"));
        bold.bold = bold.italic = true;
        QTest::newRow("font, bold, italic, size")
            << bold << QStringLiteral("<w:r><w:rPr><w:rFonts w:ascii=\"Helvetica Neue\" w:hAnsi=\"Helvetica Neue\" "
                                      "w:cs=\"Helvetica Neue\"/><w:b/><w:i/><w:sz w:val=\"24\"/></w:rPr>"
                                      "<w:t xml:space=\"preserve\">x</w:t></w:r>");
        Run all = run(QStringLiteral("x"));
        all.family = QStringLiteral("A&B");
        all.pointSize = 11.25;
        all.bold = true;
        all.strike = WPText::StyleDouble;
        all.underline = WPText::StyleDouble;
        all.foreground = QColor(255, 0, 0);
        all.background = QColor(255, 255, 0);
        QTest::newRow("schema order")
            << all << QStringLiteral("<w:r><w:rPr><w:rFonts w:ascii=\"A&amp;B\" w:hAnsi=\"A&amp;B\" w:cs=\"A&amp;B\"/>"
                                     "<w:b/><w:strike/><w:color w:val=\"FF0000\"/><w:sz w:val=\"23\"/>"
                                     "<w:u w:val=\"double\"/><w:shd w:val=\"clear\" w:color=\"auto\" w:fill=\"FFFF00\"/>"
                                     "</w:rPr><w:t xml:space=\"preserve\">x</w:t></w:r>");
        Run half = run(QStringLiteral("x"));
        half.pointSize = 10.5;
        half.foreground = Qt::black;
        half.underline = WPText::StyleThick;
        QTest::newRow("black written as nothing, 10.5 pt")
            << half << QStringLiteral("<w:r><w:rPr><w:rFonts w:ascii=\"Helvetica Neue\" w:hAnsi=\"Helvetica Neue\" "
                                      "w:cs=\"Helvetica Neue\"/><w:sz w:val=\"21\"/><w:u w:val=\"single\"/></w:rPr>"
                                      "<w:t xml:space=\"preserve\">x</w:t></w:r>");
        Run link = run(QStringLiteral("l"), false);
        link.link = true;
        link.foreground = Qt::black;
        QTest::newRow("link in black") << link
                                       << QStringLiteral("<w:r><w:rPr><w:color w:val=\"0563C1\"/><w:u w:val=\"single\"/>"
                                                         "</w:rPr><w:t xml:space=\"preserve\">l</w:t></w:r>");
        Run redLink = link;
        redLink.foreground = QColor(255, 0, 0);
        QTest::newRow("red link") << redLink
                                  << QStringLiteral("<w:r><w:rPr><w:color w:val=\"FF0000\"/></w:rPr>"
                                                    "<w:t xml:space=\"preserve\">l</w:t></w:r>");
        Run underlinedLink = link;
        underlinedLink.underline = WPText::StyleDouble;
        QTest::newRow("underlined link: one underline")
            << underlinedLink << QStringLiteral("<w:r><w:rPr><w:color w:val=\"0563C1\"/><w:u w:val=\"double\"/>"
                                                "</w:rPr><w:t xml:space=\"preserve\">l</w:t></w:r>");
        Run clear = run(QStringLiteral("c"), false);
        clear.background = Qt::transparent;
        clear.foreground = QColor(0, 0, 255, 0);
        QTest::newRow("transparent colours write nothing")
            << clear << QStringLiteral("<w:r><w:t xml:space=\"preserve\">c</w:t></w:r>");
        QTest::newRow("object character only") << run(QStringLiteral("\uFFFC"), false)
                                               << QStringLiteral("<w:r><w:t xml:space=\"preserve\"></w:t></w:r>");
    }
    void runs()
    {
        QFETCH(Run, in);
        QFETCH(QString, xml);
        QCOMPARE(DocxWriter::runXML(in), xml);
    }

    void paragraphs_data()
    {
        QTest::addColumn<Paragraph>("in");
        QTest::addColumn<QString>("xml");
        QTest::newRow("empty") << para({}) << QStringLiteral("<w:p></w:p>");
        ParagraphStyle centred;
        centred.alignment = Qt::AlignHCenter;
        centred.lineHeightMultiple = 1.5;
        centred.headIndent = 36;
        centred.firstLineHeadIndent = 36;
        QTest::newRow("centred, 1.5, indented")
            << para({}, centred)
            << QStringLiteral("<w:p><w:pPr><w:spacing w:line=\"360\" w:lineRule=\"auto\"/><w:ind w:left=\"720\" "
                              "w:firstLine=\"0\"/><w:jc w:val=\"center\"/></w:pPr></w:p>");
        ParagraphStyle single = centred;
        single.lineHeightMultiple = 1.0;
        QTest::newRow("single spacing writes none")
            << para({}, single)
            << QStringLiteral("<w:p><w:pPr><w:ind w:left=\"720\" w:firstLine=\"0\"/><w:jc w:val=\"center\"/></w:pPr></w:p>");
        ParagraphStyle toolbar;
        toolbar.lineHeightMultiple = 1.15;
        toolbar.headIndent = 36.03;
        toolbar.firstLineHeadIndent = 36.03;
        toolbar.alignment = Qt::AlignJustify;
        QTest::newRow("whole numbers")
            << para({}, toolbar)
            << QStringLiteral("<w:p><w:pPr><w:spacing w:line=\"276\" w:lineRule=\"auto\"/><w:ind w:left=\"721\" "
                              "w:firstLine=\"0\"/><w:jc w:val=\"both\"/></w:pPr></w:p>");
        ParagraphStyle hanging;
        hanging.headIndent = 36;
        hanging.firstLineHeadIndent = 18;
        hanging.alignment = Qt::AlignRight;
        QTest::newRow("hanging")
            << para({}, hanging)
            << QStringLiteral("<w:p><w:pPr><w:ind w:left=\"720\" w:hanging=\"360\"/><w:jc w:val=\"right\"/></w:pPr></w:p>");
        ParagraphStyle list;
        list.listKind = WPText::ListBullet;
        list.tabStops = {11, 36};
        QTest::newRow("list without indents")
            << para({run(QStringLiteral("\t\u2022\tx"), false)}, list)
            << QStringLiteral("<w:p><w:pPr><w:tabs><w:tab w:val=\"left\" w:pos=\"220\"/><w:tab w:val=\"left\" "
                              "w:pos=\"720\"/></w:tabs><w:ind w:left=\"0\" w:firstLine=\"0\"/></w:pPr><w:r><w:tab/>"
                              "<w:t xml:space=\"preserve\">\u2022</w:t><w:tab/><w:t xml:space=\"preserve\">x</w:t></w:r></w:p>");
        ParagraphStyle tabsOnly;
        tabsOnly.tabStops = {100};
        QTest::newRow("tab stops outside a list are not written") << para({run(QStringLiteral("a"), false)}, tabsOnly)
                                                                  << QStringLiteral("<w:p><w:r><w:t xml:space=\"preserve\">a</w:t></w:r></w:p>");
        QTest::newRow("unreadable picture left out")
            << para({pictureRun(QSizeF(10, 10), "not an image")}) << QStringLiteral("<w:p></w:p>");
    }
    void paragraphs()
    {
        QFETCH(Paragraph, in);
        QFETCH(QString, xml);
        DocxWriter::Ctx ctx;
        ctx.contentWidthTwips = 9360;
        QCOMPARE(DocxWriter::paragraphXML(in, ctx), xml);
        QVERIFY(ctx.media.isEmpty());
    }

    void pictures_data()
    {
        QTest::addColumn<QSizeF>("size");
        QTest::addColumn<QString>("extent");
        QTest::newRow("fitted to the text width") << QSizeF(1000, 500) << QStringLiteral("cx=\"5943600\" cy=\"2971800\"");
        QTest::newRow("small stays") << QSizeF(100, 50) << QStringLiteral("cx=\"1270000\" cy=\"635000\"");
        QTest::newRow("no size: the image's own") << QSizeF(0, 20) << QStringLiteral("cx=\"508000\" cy=\"254000\"");
        QTest::newRow("fractional points truncate") << QSizeF(10.00004, 10.0000787) << QStringLiteral("cx=\"127000\" cy=\"127000\"");
    }
    void pictures()
    {
        QFETCH(QSizeF, size);
        QFETCH(QString, extent);
        DocxWriter::Ctx ctx;
        ctx.contentWidthTwips = 9360;
        const QString first = DocxWriter::imageRun(pictureRun(size, DocxTestFiles::png(40, 20)).picture.value(), ctx);
        QVERIFY2(first.contains(QStringLiteral("<wp:extent ") + extent), qPrintable(first));
        QVERIFY(first.contains(QStringLiteral("<a:ext ") + extent));
        const QString second = DocxWriter::imageRun(pictureRun(size, DocxTestFiles::png(40, 20)).picture.value(), ctx);
        QVERIFY(second.contains(QStringLiteral("<wp:docPr id=\"2\" name=\"Picture 2\"/>")));
        QVERIFY(second.contains(QStringLiteral("name=\"image2.png\"")));
        QVERIFY(second.contains(QStringLiteral("r:embed=\"rIdImg2\"")));
        QCOMPARE(ctx.media.size(), 2);
        QCOMPARE(ctx.drawingID, 3);
    }

    void pictureWithoutTextWidth()
    {
        // Margins wider than the paper leave no text width: the picture keeps
        // its size instead of shrinking to nothing or below.
        for (qint64 width : {qint64(0), qint64(-2000)}) {
            DocxWriter::Ctx ctx;
            ctx.contentWidthTwips = width;
            const QString xml = DocxWriter::imageRun(pictureRun({100, 50}, DocxTestFiles::png(4, 2)).picture.value(), ctx);
            QVERIFY2(xml.contains(QLatin1String("<wp:extent cx=\"1270000\" cy=\"635000\"/>")), qPrintable(xml));
        }
    }

    void pictureBytes()
    {
        // PNG bytes are stored as they came; other formats become PNG.
        DocxWriter::Ctx ctx;
        const QByteArray original = DocxTestFiles::png(8, 8, Qt::green);
        DocxWriter::imageRun(pictureRun(QSizeF(8, 8), original).picture.value(), ctx);
        QImage img(8, 8, QImage::Format_RGB32);
        img.fill(Qt::blue);
        QByteArray jpeg;
        QBuffer b(&jpeg);
        b.open(QIODevice::WriteOnly);
        img.save(&b, "JPEG");
        DocxWriter::imageRun(pictureRun(QSizeF(8, 8), jpeg).picture.value(), ctx);
        QCOMPARE(ctx.media.at(0), original);
        QVERIFY(ctx.media.at(1).startsWith("\x89PNG"));
    }

    void encodedPicturesStayApart()
    {
        // Encoded pictures are reused by their bytes alone: two photos of
        // one size and a photo written again each keep their own picture.
        const QList<QColor> colors{Qt::red, Qt::blue, Qt::red};
        QList<QByteArray> first;
        for (int round = 0; round < 2; ++round) {
            DocxWriter::Ctx ctx;
            for (const QColor& c : colors)
                DocxWriter::imageRun(pictureRun(QSizeF(16, 16), DocxTestFiles::picture(16, 16, c, "JPEG")).picture.value(), ctx);
            QCOMPARE(ctx.media.size(), colors.size());
            for (qsizetype i = 0; i < colors.size(); ++i) {
                const QImage back = QImage::fromData(ctx.media.at(i), "PNG");
                QVERIFY(!back.isNull());
                QVERIFY2(qAbs(back.pixelColor(8, 8).hue() - colors.at(i).hue()) < 10, qPrintable(QString::number(i)));
            }
            if (round == 0)
                first = ctx.media;
            else
                QCOMPARE(ctx.media, first);
        }
    }

    void tables_data()
    {
        QTest::addColumn<int>("columns");
        QTest::addColumn<QList<DocxWriter::TableBuild::Cell>>("cells");
        QTest::addColumn<QStringList>("expected");
        using Cell = DocxWriter::TableBuild::Cell;
        QTest::newRow("three columns") << 3 << QList<Cell>{{0, 0, 1, QStringLiteral("<w:p>a</w:p>"), {}}}
                                       << QStringList{QStringLiteral("<w:tblW w:w=\"9360\" w:type=\"dxa\"/>"),
                                                      QStringLiteral("<w:gridCol w:w=\"3120\"/><w:gridCol w:w=\"3120\"/><w:gridCol w:w=\"3120\"/></w:tblGrid>"),
                                                      QStringLiteral("<w:p>a</w:p></w:tc><w:tc><w:tcPr><w:tcW w:w=\"3120\" w:type=\"dxa\"/></w:tcPr><w:p/></w:tc>"),
                                                      QStringLiteral("</w:tr></w:tbl><w:p/>")};
        QTest::newRow("thirty columns: 400 minimum") << 30 << QList<Cell>{}
                                                     << QStringList{QStringLiteral("<w:tblW w:w=\"12000\" w:type=\"dxa\"/>"),
                                                                    QStringLiteral("<w:gridCol w:w=\"400\"/>")};
        QTest::newRow("span and shading")
            << 2 << QList<Cell>{{0, 0, 2, QStringLiteral("<w:p>s</w:p>"), QColor(0xCC, 0xDD, 0xEE)}, {1, 1, 1, QString(), {}}}
            << QStringList{QStringLiteral("<w:tc><w:tcPr><w:tcW w:w=\"9360\" w:type=\"dxa\"/><w:gridSpan w:val=\"2\"/>"
                                          "<w:shd w:val=\"clear\" w:color=\"auto\" w:fill=\"CCDDEE\"/></w:tcPr><w:p>s</w:p></w:tc></w:tr>"),
                           QStringLiteral("<w:tr><w:tc><w:tcPr><w:tcW w:w=\"4680\" w:type=\"dxa\"/></w:tcPr><w:p/></w:tc>"
                                          "<w:tc><w:tcPr><w:tcW w:w=\"4680\" w:type=\"dxa\"/></w:tcPr><w:p/></w:tc></w:tr>")};
        QTest::newRow("cells beyond the declared columns widen the grid")
            << 1 << QList<Cell>{{0, 2, 1, QStringLiteral("<w:p>c</w:p>"), {}}}
            << QStringList{QStringLiteral("<w:gridCol w:w=\"3120\"/><w:gridCol w:w=\"3120\"/><w:gridCol w:w=\"3120\"/></w:tblGrid>")};
    }
    void tables()
    {
        QFETCH(int, columns);
        QFETCH(QList<DocxWriter::TableBuild::Cell>, cells);
        QFETCH(QStringList, expected);
        DocxWriter::Ctx ctx;
        ctx.contentWidthTwips = 9360;
        DocxWriter::TableBuild t;
        t.declaredColumns = columns;
        t.cells = cells;
        const QString xml = t.xml(ctx);
        for (const QString& piece : expected)
            QVERIFY2(xml.contains(piece), qPrintable(xml));
        QVERIFY(xml.startsWith(QLatin1String("<w:tbl><w:tblPr><w:tblW")));
        QVERIFY(xml.contains(QLatin1String("<w:insideV w:val=\"single\" w:sz=\"6\" w:space=\"0\" w:color=\"737373\"/>"
                                           "</w:tblBorders><w:tblLayout w:type=\"fixed\"/><w:tblLook w:val=\"04A0\"/>")));
    }

    void adjacentTablesStaySeparate()
    {
        QTextDocument doc;
        Builder b(&doc);
        Table t;
        t.rows = 1;
        t.columns = 1;
        t.cells = {TableCell{0, 0, 1, 1, {}, {para({run(QStringLiteral("T"), false)})}}};
        b.addTable(t);
        b.addTable(t);
        b.addParagraph(para({run(QStringLiteral("between"), false)}));
        b.addTable(t);
        const QString body = part(DocxWriter::write(doc, {}, fixedOptions()), QStringLiteral("word/document.xml"));
        QCOMPARE(body.count(QLatin1String("<w:tbl>")), 3);
        QCOMPARE(body.count(QLatin1String("</w:tbl><w:p/>")), 3);
        // Qt's paragraph between the first two tables, none after the second:
        // "between" follows it directly.
        QVERIFY(body.contains(QLatin1String("</w:tbl><w:p/><w:p></w:p><w:tbl>")));
        QVERIFY(body.contains(QRegularExpression(QStringLiteral("</w:tbl><w:p/><w:p><w:r>(?:(?!</w:p>).)*between"))));
    }

    void sections_data()
    {
        QTest::addColumn<QSizeF>("paper");
        QTest::addColumn<double>("top");
        QTest::addColumn<double>("bottom");
        QTest::addColumn<QString>("expected");
        QTest::newRow("letter") << QSizeF(612, 792) << 72.0 << 72.0
                                << QStringLiteral("<w:pgSz w:w=\"12240\" w:h=\"15840\"/><w:pgMar w:top=\"1440\" w:right=\"1440\" "
                                                  "w:bottom=\"1440\" w:left=\"1440\" w:header=\"720\" w:footer=\"720\" w:gutter=\"0\"/>");
        QTest::newRow("landscape") << QSizeF(792, 612) << 36.0 << 144.0
                                   << QStringLiteral("<w:pgSz w:w=\"15840\" w:h=\"12240\" w:orient=\"landscape\"/><w:pgMar w:top=\"720\" "
                                                     "w:right=\"1440\" w:bottom=\"2880\" w:left=\"1440\" w:header=\"360\" w:footer=\"720\"");
        QTest::newRow("square is portrait") << QSizeF(600, 600) << 72.0 << 72.0 << QStringLiteral("<w:pgSz w:w=\"12000\" w:h=\"12000\"/>");
        QTest::newRow("not finite: the defaults") << QSizeF(qQNaN(), 792) << qInf() << 72.0
                                                  << QStringLiteral("<w:pgSz w:w=\"12240\" w:h=\"15840\"/><w:pgMar w:top=\"1440\"");
        QTest::newRow("A4 rounds") << QSizeF(595.2756, 841.8898) << 72.05 << 72.0
                                   << QStringLiteral("<w:pgSz w:w=\"11906\" w:h=\"16838\"/><w:pgMar w:top=\"1441\"");
    }
    void sections()
    {
        QFETCH(QSizeF, paper);
        QFETCH(double, top);
        QFETCH(double, bottom);
        QFETCH(QString, expected);
        WPDocAttributes a;
        a.paperSize = paper;
        a.topMargin = top;
        a.bottomMargin = bottom;
        const QString body = part(packageOf({}, a), QStringLiteral("word/document.xml"));
        QVERIFY2(body.contains(expected), qPrintable(body));
    }

    void emptyDocument()
    {
        const QByteArray pkg = packageOf({});
        const QString body = part(pkg, QStringLiteral("word/document.xml"));
        // Qt's one empty paragraph of an empty document is not written.
        QVERIFY2(body.contains(QLatin1String("<w:body><w:p/><w:sectPr><w:pgSz")), qPrintable(body));
        // One empty paragraph among others is written as it is.
        const QString two = part(packageOf({para({}), para({run(QStringLiteral("x"))})}), QStringLiteral("word/document.xml"));
        QVERIFY2(two.contains(QLatin1String("<w:body><w:p></w:p><w:p><w:r>")), qPrintable(two));
        QVERIFY(!body.contains(QLatin1String("Reference")));
        QCOMPARE(Zip::Archive(pkg).names(),
                 (QList<QString>{QStringLiteral("[Content_Types].xml"), QStringLiteral("_rels/.rels"),
                                 QStringLiteral("word/document.xml"), QStringLiteral("word/_rels/document.xml.rels"),
                                 QStringLiteral("word/styles.xml"), QStringLiteral("docProps/core.xml"),
                                 QStringLiteral("docProps/app.xml")}));
        QVERIFY(part(pkg, QStringLiteral("docProps/core.xml")).contains(QLatin1String("<dc:description></dc:description>")));
        QVERIFY(part(pkg, QStringLiteral("docProps/core.xml"))
                    .contains(QLatin1String("<dcterms:created xsi:type=\"dcterms:W3CDTF\">2026-03-14T09:26:53Z</dcterms:created>")));
        QCOMPARE(packageOf({}), pkg); // deterministic
    }

    void headerAndFooter_data()
    {
        QTest::addColumn<QString>("comment");
        QTest::addColumn<bool>("header");
        QTest::addColumn<bool>("footer");
        QTest::newRow("none") << QString() << false << false;
        QTest::newRow("only a footer") << *WPHeaderFooter::encode(QString(), QStringLiteral("f")) << false << true;
        QTest::newRow("both") << *WPHeaderFooter::encode(QStringLiteral("h"), QStringLiteral("f")) << true << true;
        QTest::newRow("comment without the marker") << QStringLiteral("hello\u001Fh\u001Ff") << false << false;
    }
    void headerAndFooter()
    {
        QFETCH(QString, comment);
        QFETCH(bool, header);
        QFETCH(bool, footer);
        WPDocAttributes a;
        if (!comment.isEmpty())
            a.comment = comment;
        const QByteArray pkg = packageOf({}, a);
        Zip::Archive z(pkg);
        QCOMPARE(z.contains(QStringLiteral("word/header1.xml")), header);
        QCOMPARE(z.contains(QStringLiteral("word/footer1.xml")), footer);
        const QString body = part(pkg, QStringLiteral("word/document.xml"));
        QCOMPARE(body.contains(QLatin1String("<w:headerReference w:type=\"default\" r:id=\"rIdHeader1\"/>")), header);
        QCOMPARE(body.contains(QLatin1String("<w:footerReference w:type=\"default\" r:id=\"rIdFooter1\"/>")), footer);
        const QString rels = part(pkg, QStringLiteral("word/_rels/document.xml.rels"));
        QCOMPARE(rels.contains(QLatin1String("rIdHeader1")), header);
        QCOMPARE(rels.contains(QLatin1String("rIdFooter1")), footer);
        const QString types = part(pkg, QStringLiteral("[Content_Types].xml"));
        QCOMPARE(types.contains(QLatin1String("/word/header1.xml")), header);
        QCOMPARE(types.contains(QLatin1String("/word/footer1.xml")), footer);
    }

    void headerFooterParts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("runs");
        const QString r = QStringLiteral("<w:r><w:rPr><w:sz w:val=\"18\"/><w:color w:val=\"595959\"/></w:rPr>");
        QTest::newRow("page of pages")
            << QStringLiteral("Page {page} of {pages}")
            << r + QStringLiteral("<w:t xml:space=\"preserve\">Page </w:t></w:r><w:fldSimple w:instr=\" PAGE \">") + r
                   + QStringLiteral("<w:t>1</w:t></w:r></w:fldSimple>") + r
                   + QStringLiteral("<w:t xml:space=\"preserve\"> of </w:t></w:r><w:fldSimple w:instr=\" NUMPAGES \">") + r
                   + QStringLiteral("<w:t>1</w:t></w:r></w:fldSimple>");
        QTest::newRow("empty title") << QStringLiteral("{title}") << QString();
        QTest::newRow("date and escaping") << QStringLiteral("{date} & <x>")
                                           << r + QStringLiteral("<w:t xml:space=\"preserve\">Mar 14, 2026 &amp; &lt;x&gt;</w:t></w:r>");
    }
    void headerFooterParts()
    {
        QFETCH(QString, text);
        QFETCH(QString, runs);
        const QString xml = DocxWriter::hfPart(QStringLiteral("ftr"), text, QString(),
                                               DocxWriter::mediumDate(kNow.date(), QLocale(QLocale::English, QLocale::UnitedStates)));
        QVERIFY(xml.startsWith(QLatin1String("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<w:ftr xmlns:w=")));
        QCOMPARE(xml.section(QStringLiteral("<w:pPr><w:jc w:val=\"center\"/></w:pPr>"), 1).chopped(QStringLiteral("</w:p></w:ftr>").size()), runs);
    }

    void descriptionKeepsBothTexts()
    {
        // A separator typed into the header must not move the footer.
        const QByteArray pkg = packageOf({}, withHF(QStringLiteral("a\u2016b & c"), QStringLiteral("foot")));
        QVERIFY(part(pkg, QStringLiteral("docProps/core.xml"))
                    .contains(QStringLiteral("<dc:description>VEXO-HF::a\u2225b &amp; c\u2016foot</dc:description>")));
        const auto hf = DocxWriter::readHeaderFooter(pkg);
        QVERIFY(hf);
        QCOMPARE(hf->first, QStringLiteral("a\u2225b & c"));
        QCOMPARE(hf->second, QStringLiteral("foot"));
    }

    void packageIsConsistent()
    {
        ParagraphStyle list;
        list.listKind = WPText::ListBullet;
        list.tabStops = {11, 36};
        list.headIndent = 36;
        const QByteArray pkg = packageOf({para({run(QStringLiteral("Text & more")), pictureRun({50, 50}, DocxTestFiles::png(5, 5))}),
                                          para({run(QStringLiteral("\t\u2022\titem"))}, list),
                                          para({pictureRun({20, 20}, DocxTestFiles::png(3, 3, Qt::blue))})},
                                         withHF(QStringLiteral("{title}"), QStringLiteral("Page {page}")));
        Zip::Archive z(pkg);
        const QList<QString> names = z.names();
        QCOMPARE(names.mid(7), (QList<QString>{QStringLiteral("word/header1.xml"), QStringLiteral("word/footer1.xml"),
                                               QStringLiteral("word/media/image1.png"), QStringLiteral("word/media/image2.png")}));
        const QString types = part(pkg, QStringLiteral("[Content_Types].xml"));
        for (const QString& name : names) {
            // Well-formed, and every part has a content type.
            if (name.endsWith(QLatin1String(".xml")) || name.endsWith(QLatin1String(".rels"))) {
                QXmlStreamReader xml(z.read(name).value());
                while (!xml.atEnd())
                    xml.readNext();
                QVERIFY2(!xml.hasError(), qPrintable(name + QLatin1String(": ") + xml.errorString()));
            }
            const QString ext = name.section(QLatin1Char('.'), -1);
            QVERIFY2(types.contains(QStringLiteral("PartName=\"/%1\"").arg(name))
                         || types.contains(QStringLiteral("Extension=\"%1\"").arg(ext)),
                     qPrintable(name));
        }
        // Every relationship target exists and every picture reference resolves.
        const QString rels = part(pkg, QStringLiteral("word/_rels/document.xml.rels"));
        static const QRegularExpression relRe(QStringLiteral("Id=\"([^\"]+)\" Type=\"[^\"]+\" Target=\"([^\"]+)\""));
        QSet<QString> ids;
        for (auto it = relRe.globalMatch(rels); it.hasNext();) {
            const auto m = it.next();
            ids.insert(m.captured(1));
            QVERIFY2(z.contains(QStringLiteral("word/") + m.captured(2)), qPrintable(m.captured(2)));
        }
        const QString body = part(pkg, QStringLiteral("word/document.xml"));
        static const QRegularExpression embedRe(QStringLiteral("r:embed=\"([^\"]+)\""));
        int embeds = 0;
        for (auto it = embedRe.globalMatch(body); it.hasNext(); ++embeds)
            QVERIFY(ids.contains(it.next().captured(1)));
        QCOMPARE(embeds, 2);
        QVERIFY(part(pkg, QStringLiteral("_rels/.rels")).contains(QLatin1String("Target=\"docProps/app.xml\"")));
    }

    void pythonDocxReadsOurFiles()
    {
        const QString py = DocxTestFiles::python();
        if (py.isEmpty())
            QSKIP("python3 is not installed");
        if (!DocxTestFiles::hasModule(py, QStringLiteral("docx")))
            QSKIP("python3-docx is not installed");
        Run bold = run(QStringLiteral("Bold"));
        bold.bold = true;
        Run styled = run(QStringLiteral("Styled"));
        styled.italic = true;
        styled.underline = WPText::StyleSingle;
        styled.strike = WPText::StyleSingle;
        styled.pointSize = 15;
        styled.foreground = QColor(0x12, 0x34, 0x56);
        QTextDocument doc;
        Builder b(&doc);
        b.addParagraph(para({bold, run(QStringLiteral(" plain ")), styled}));
        Table t;
        t.rows = 2;
        t.columns = 2;
        t.cells = {TableCell{0, 0, 1, 1, {}, {para({run(QStringLiteral("A1"), false)})}},
                   TableCell{0, 1, 1, 1, {}, {para({run(QStringLiteral("B1"), false)})}},
                   TableCell{1, 0, 1, 2, {}, {para({run(QStringLiteral("wide"), false)})}}};
        b.addTable(t);
        b.addParagraph(para({pictureRun({40, 20}, DocxTestFiles::png(4, 2))}));
        WPDocAttributes a = withHF(QStringLiteral("H"), QStringLiteral("Page {page} of {pages}"));
        a.paperSize = QSizeF(842, 595);
        a.leftMargin = 54;
        a.topMargin = 36;
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("t.docx"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(DocxWriter::write(doc, a, fixedOptions()));
        f.close();
        const QString script = QStringLiteral(
            "import sys, docx\n"
            "d = docx.Document(sys.argv[1])\n"
            "p = d.paragraphs[0]\n"
            "print(p.text)\n"
            "print(';'.join('%s|%s|%s|%s|%s|%s|%s' % (r.text, r.bold, r.italic, r.underline, r.font.strike,\n"
            "      r.font.size.pt if r.font.size else None, r.font.color.rgb) for r in p.runs))\n"
            "t = d.tables[0]\n"
            "print(len(t.rows), len(t.columns), t.cell(0,0).text, t.cell(0,1).text, t.cell(1,0).text, t.cell(1,1).text)\n"
            "s = d.sections[0]\n"
            "print(s.page_width.pt, s.page_height.pt, s.orientation, s.left_margin.pt, s.top_margin.pt)\n"
            "print(len(d.inline_shapes), d.inline_shapes[0].width.pt)\n"
            "print(repr(d.core_properties.comments))\n"
            "print(s.footer.paragraphs[0].text)\n");
        QProcess p;
        p.start(py, {QStringLiteral("-c"), script, path});
        QVERIFY(p.waitForFinished(60000));
        QVERIFY2(p.exitCode() == 0, p.readAllStandardError().constData());
        const QStringList lines = QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'));
        QCOMPARE(lines.value(0), QStringLiteral("Bold plain Styled"));
        QCOMPARE(lines.value(1), QStringLiteral("Bold|True|None|None|None|12.0|None; plain |None|None|None|None|12.0|None;"
                                                "Styled|None|True|True|True|15.0|123456"));
        QCOMPARE(lines.value(2), QStringLiteral("2 2 A1 B1 wide wide"));
        QCOMPARE(lines.value(3), QStringLiteral("842.0 595.0 LANDSCAPE (1) 54.0 36.0"));
        QCOMPARE(lines.value(4), QStringLiteral("1 40.0"));
        QCOMPARE(lines.value(5), QStringLiteral("'VEXO-HF::H\u2016Page {page} of {pages}'"));
        // python-docx shows a paragraph's direct runs only, not the fields'.
        QCOMPARE(lines.value(6), QStringLiteral("Page  of "));
    }
};

QTEST_MAIN(DocxWriterTest)
#include "tst_docx_writer.moc"
