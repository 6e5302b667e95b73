#include "DocxTestFiles.h"
#include "TestEnvironment.h"
#include "wordproc/docx/Docx.h"
#include "wordproc/docx/DocxReader.h"
#include "wordproc/docx/DocxWriter.h"
#include "wordproc/docx/Zip.h"

#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

using namespace WPTextModel;
using DocxTestFiles::para;
using DocxTestFiles::pictureRun;
using DocxTestFiles::run;

namespace {

const QString kW = QStringLiteral("http://schemas.openxmlformats.org/wordprocessingml/2006/main");
const QString kR = QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships");

DocxWriter::Options fixedOptions()
{
    DocxWriter::Options o;
    o.now = QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5), Qt::UTC);
    o.locale = QLocale(QLocale::English, QLocale::UnitedStates);
    return o;
}




// A package of our own making around a hand-written body.
QByteArray package(const QString& body, const QString& rels = {}, const QList<Zip::Entry>& more = {},
                   const QString& core = {})
{
    QList<Zip::Entry> entries{
        {QStringLiteral("[Content_Types].xml"), "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"/>"},
        {QStringLiteral("word/document.xml"),
         QStringLiteral("<w:document xmlns:w=\"%1\" xmlns:r=\"%2\" "
                        "xmlns:wp=\"http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing\" "
                        "xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\"><w:body>%3</w:body></w:document>")
             .arg(kW, kR, body)
             .toUtf8()},
        {QStringLiteral("word/_rels/document.xml.rels"),
         QStringLiteral("<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">%1</Relationships>")
             .arg(rels)
             .toUtf8()},
    };
    if (!core.isNull())
        entries.append({QStringLiteral("docProps/core.xml"),
                         QStringLiteral("<cp:coreProperties xmlns:cp=\"http://schemas.openxmlformats.org/package/2006/metadata/core-properties\" "
                                        "xmlns:dc=\"http://purl.org/dc/elements/1.1/\">%1</cp:coreProperties>")
                             .arg(core)
                             .toUtf8()});
    entries.append(more);
    return Zip::store(entries);
}

QString imageRel(const QString& id, const QString& target)
{
    return QStringLiteral("<Relationship Id=\"%1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/image\" "
                          "Target=\"%2\"/>")
        .arg(id, target);
}

QString drawing(const QString& rid, qint64 cx = 635000, qint64 cy = 635000)
{
    return QStringLiteral("<w:r><w:drawing><wp:inline><wp:extent cx=\"%2\" cy=\"%3\"/><a:graphic><a:graphicData>"
                          "<a:blip r:embed=\"%1\"/></a:graphicData></a:graphic></wp:inline></w:drawing></w:r>")
        .arg(rid)
        .arg(cx)
        .arg(cy);
}

QString t(const QString& text)
{
    return QStringLiteral("<w:r><w:t xml:space=\"preserve\">%1</w:t></w:r>").arg(text);
}

QString textWithPictureMarks(QTextDocument& doc)
{
    QString s;
    for (const Paragraph& p : paragraphs(doc)) {
        if (!s.isEmpty())
            s += QLatin1Char('|');
        for (const Run& r : p.runs)
            s += r.picture ? QStringLiteral("[%1]").arg(r.picture->fileName) : r.text;
    }
    return s;
}

QList<Paragraph> readBack(const QByteArray& pkg, WPDocAttributes* attrs = nullptr, QTextDocument* keep = nullptr)
{
    QTextDocument local;
    QTextDocument* doc = keep ? keep : &local;
    QString error;
    WPDocAttributes a;
    if (!Docx::read(pkg, doc, attrs ? attrs : &a, &error))
        qWarning() << error;
    return paragraphs(*doc);
}

void compareRuns(const QList<Run>& got, const QList<Run>& want)
{
    QCOMPARE(got.size(), want.size());
    for (qsizetype i = 0; i < got.size(); ++i) {
        QCOMPARE(got[i].text, want[i].text);
        QCOMPARE(got[i].family, want[i].family);
        QCOMPARE(got[i].pointSize, want[i].pointSize);
        QCOMPARE(got[i].bold, want[i].bold);
        QCOMPARE(got[i].italic, want[i].italic);
        QCOMPARE(got[i].underline, want[i].underline == WPText::StyleThick ? int(WPText::StyleSingle) : want[i].underline);
        QCOMPARE(got[i].strike, want[i].strike ? int(WPText::StyleSingle) : 0);
        QCOMPARE(got[i].foreground.isValid() ? got[i].foreground.rgb() : 0u,
                 want[i].foreground.isValid() && want[i].foreground != Qt::black ? want[i].foreground.rgb() : 0u);
        QCOMPARE(got[i].background, want[i].background);
        QCOMPARE(got[i].picture.has_value(), want[i].picture.has_value());
        if (want[i].picture) {
            QCOMPARE(got[i].picture->data, want[i].picture->data);
            QCOMPARE(got[i].picture->sizePt, want[i].picture->sizePt);
        }
    }
}

} // namespace

class DocxReaderTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void roundTrip()
    {
        Run bold = run(QStringLiteral("Bold"));
        bold.bold = true;
        Run rich = run(QStringLiteral(" rich\ttext\u2028next line"));
        rich.family = QStringLiteral("Georgia");
        rich.pointSize = 13.5;
        rich.italic = true;
        rich.underline = WPText::StyleDouble;
        rich.strike = WPText::StyleSingle;
        rich.foreground = QColor(0x80, 0x10, 0x20);
        rich.background = QColor(0xFF, 0xFF, 0x00);
        ParagraphStyle centred;
        centred.alignment = Qt::AlignHCenter;
        centred.lineHeightMultiple = 1.5;
        centred.headIndent = 36;
        centred.firstLineHeadIndent = 18;
        ParagraphStyle bullet;
        bullet.listKind = WPText::ListBullet;
        bullet.headIndent = 36;
        bullet.tabStops = {11, 36};
        ParagraphStyle number = bullet;
        number.listKind = WPText::ListNumber;
        ParagraphStyle right;
        right.alignment = Qt::AlignRight;
        const QByteArray pic1 = DocxTestFiles::png(30, 20, Qt::green);
        const QByteArray pic2 = DocxTestFiles::png(10, 10, Qt::blue);

        QList<Paragraph> want{
            para({bold, rich}, centred),
            para({run(QStringLiteral("\t\u2022\tfirst"))}, bullet),
            para({run(QStringLiteral("\t12.\ttwelfth"))}, number),
            para({run(QStringLiteral("See: ")), pictureRun({90, 60}, pic1)}, right),
            para({}),
            para({pictureRun({10, 10}, pic2)}),
        };
        QTextDocument doc;
        Builder b(&doc);
        for (const Paragraph& p : want)
            b.addParagraph(p);
        Table table;
        table.rows = 2;
        table.columns = 3;
        table.cells = {TableCell{0, 0, 1, 2, QColor(0xEE, 0xDD, 0xCC), {para({run(QStringLiteral("wide"))}), para({run(QStringLiteral("two"))})}},
                       TableCell{0, 2, 1, 1, {}, {para({run(QStringLiteral("c"))})}},
                       TableCell{1, 1, 1, 1, {}, {para({run(QStringLiteral("d"))})}}};
        b.addTable(table);
        b.addParagraph(para({run(QStringLiteral("after"))}));

        WPDocAttributes attrs;
        attrs.paperSize = QSizeF(841.9, 595.3);
        attrs.leftMargin = 50;
        attrs.rightMargin = 40.5;
        attrs.topMargin = 30;
        attrs.bottomMargin = 100;
        attrs.comment = WPHeaderFooter::encode(QStringLiteral("{title} & co"), QStringLiteral("Page {page} of {pages}"));
        const QByteArray first = DocxWriter::write(doc, attrs, fixedOptions());

        QTextDocument back;
        WPDocAttributes got;
        const QList<Paragraph> ps = readBack(first, &got, &back);
        QCOMPARE(ps.size(), want.size() + 7); // + the table's six paragraphs and "after"
        for (qsizetype i = 0; i < want.size(); ++i) {
            QCOMPARE(ps[i].style, want[i].style);
            compareRuns(ps[i].runs, want[i].runs);
        }
        QVERIFY(ps[6].cell && ps[6].cell->columnSpan == 2);
        QCOMPARE(ps[6].cell->background, QColor(0xEE, 0xDD, 0xCC));
        QCOMPARE(ps[7].text(), QStringLiteral("two"));
        QCOMPARE(ps[8].text(), QStringLiteral("c"));
        QCOMPARE(ps[9].cell->row, 1); // the empty cell under the wide one
        QCOMPARE(ps[9].cell->column, 0);
        QCOMPARE(ps[10].text(), QStringLiteral("d"));
        QCOMPARE(ps[11].cell->column, 2);
        QCOMPARE(ps[12].text(), QStringLiteral("after"));
        QVERIFY(!ps[12].cell);
        QCOMPARE(*got.paperSize, QSizeF(841.9, 595.3) /* 16838 × 11906 twips */);
        QCOMPARE(*got.leftMargin, 50.0);
        QCOMPARE(*got.rightMargin, 40.5);
        QCOMPARE(*got.topMargin, 30.0);
        QCOMPARE(*got.bottomMargin, 100.0);
        const auto hf = Docx::readHeaderFooter(first);
        QVERIFY(hf);
        QCOMPARE(hf->first, QStringLiteral("{title} & co"));
        QCOMPARE(hf->second, QStringLiteral("Page {page} of {pages}"));

        // What was read writes the same package again: nothing grows or drifts.
        WPDocAttributes again = got;
        again.comment = WPHeaderFooter::encode(hf->first, hf->second);
        QCOMPARE(DocxWriter::write(back, again, fixedOptions()), first);
    }

    void otherWriters()
    {
        const QString py = DocxTestFiles::python();
        if (py.isEmpty() || !DocxTestFiles::hasModule(py, QStringLiteral("docx")))
            QSKIP("python3-docx is not installed");
        QTemporaryDir dir;
        const QString picture = dir.filePath(QStringLiteral("p.png"));
        QFile pf(picture);
        QVERIFY(pf.open(QIODevice::WriteOnly));
        pf.write(DocxTestFiles::png(40, 20));
        pf.close();
        const QString path = dir.filePath(QStringLiteral("other.docx"));
        const QString script = QStringLiteral(
            "import sys, docx\n"
            "from docx.shared import Pt, RGBColor, Inches\n"
            "from docx.enum.text import WD_ALIGN_PARAGRAPH\n"
            "from docx.enum.section import WD_ORIENT\n"
            "d = docx.Document()\n"
            "d.add_heading('Heading', 1)\n"
            "p = d.add_paragraph('plain ')\n"
            "p.alignment = WD_ALIGN_PARAGRAPH.CENTER\n"
            "r = p.add_run('bold'); r.bold = True\n"
            "r = p.add_run(' red'); r.font.color.rgb = RGBColor(0xFF, 0, 0); r.font.size = Pt(14); r.underline = True\n"
            "r = p.add_run(' x'); r.font.name = 'Courier New'; r.italic = True; r.font.strike = True\n"
            "d.add_paragraph('first', style='List Bullet')\n"
            "d.add_paragraph('second', style='List Bullet')\n"
            "d.add_paragraph('one', style='List Number')\n"
            "d.add_paragraph('two', style='List Number')\n"
            "t = d.add_table(rows=3, cols=3)\n"
            "t.cell(0, 0).text = 'a'\n"
            "t.cell(0, 1).merge(t.cell(0, 2)).text = 'wide'\n"
            "t.cell(1, 0).merge(t.cell(2, 0)).text = 'tall'\n"
            "t.cell(2, 2).text = 'z'\n"
            "d.add_paragraph('tab\\there')\n"
            "d.add_picture(sys.argv[2], width=Inches(1))\n"
            "s = d.sections[0]\n"
            "s.orientation = WD_ORIENT.LANDSCAPE\n"
            "s.page_width, s.page_height = s.page_height, s.page_width\n"
            "s.left_margin = Inches(0.5)\n"
            "s.footer.paragraphs[0].text = 'footer text'\n"
            "d.save(sys.argv[1])\n");
        QProcess p;
        p.start(py, {QStringLiteral("-c"), script, path, picture});
        QVERIFY(p.waitForFinished(60000));
        QVERIFY2(p.exitCode() == 0, p.readAllStandardError().constData());
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray data = f.readAll();

        QTextDocument doc;
        WPDocAttributes attrs;
        QString error;
        QVERIFY2(Docx::read(data, &doc, &attrs, &error), qPrintable(error));
        const QList<Paragraph> ps = paragraphs(doc);
        QStringList texts;
        for (const Paragraph& para : ps)
            texts.append(para.text());
        QCOMPARE(texts.mid(0, 6), (QStringList{QStringLiteral("Heading"), QStringLiteral("plain bold red x"),
                                               QStringLiteral("\t\u2022\tfirst"), QStringLiteral("\t\u2022\tsecond"),
                                               QStringLiteral("\t1.\tone"), QStringLiteral("\t2.\ttwo")}));
        QCOMPARE(ps[2].style.listKind, int(WPText::ListBullet));
        QCOMPARE(ps[5].style.listKind, int(WPText::ListNumber));
        QCOMPARE(ps[5].style.tabStops, (QList<qreal>{WPText::kListTab1, WPText::kListTab2}));
        QVERIFY(ps[0].runs.first().bold);          // from the heading style
        QVERIFY(ps[0].runs.first().pointSize > 12);
        QCOMPARE(ps[1].style.alignment, Qt::AlignHCenter);
        const QList<Run>& runs = ps[1].runs;
        QCOMPARE(runs.size(), 4);
        QVERIFY(!runs[0].bold && runs[1].bold);
        QCOMPARE(runs[2].foreground, QColor(255, 0, 0));
        QCOMPARE(runs[2].pointSize, 14.0);
        QCOMPARE(runs[2].underline, int(WPText::StyleSingle));
        QCOMPARE(runs[3].family, QStringLiteral("Courier New"));
        QVERIFY(runs[3].italic && runs[3].strike);
        QVERIFY(!runs[0].family.isEmpty()); // the theme's body font

        // The table: a wide cell on top, a tall one at the left.
        int tableParagraphs = 0;
        for (const Paragraph& para : ps) {
            if (!para.cell)
                continue;
            ++tableParagraphs;
            QCOMPARE(para.cell->tableRows, 3);
            QCOMPARE(para.cell->tableColumns, 3);
            if (para.text() == QLatin1String("wide"))
                QCOMPARE(para.cell->columnSpan, 2);
            if (para.text() == QLatin1String("tall")) {
                QCOMPARE(para.cell->rowSpan, 2);
                QCOMPARE(para.cell->column, 0);
            }
        }
        QCOMPARE(tableParagraphs, 7); // a, wide, tall, three empty cells, z
        QVERIFY(texts.contains(QStringLiteral("tab\there")));
        bool sawPicture = false;
        for (const Paragraph& para : ps) {
            for (const Run& r : para.runs) {
                if (r.picture) {
                    sawPicture = true;
                    QCOMPARE(r.picture->sizePt, QSizeF(72, 36));
                    QCOMPARE(r.picture->image.size(), QSize(40, 20));
                }
            }
        }
        QVERIFY(sawPicture);
        QVERIFY(attrs.paperSize);
        QCOMPARE(attrs.paperSize->toSize(), QSize(792, 612));
        QCOMPARE(*attrs.leftMargin, 36.0);
        // No stored templates: the footer part's text.
        const auto hf = Docx::readHeaderFooter(data);
        QVERIFY(hf);
        QCOMPARE(hf->second, QStringLiteral("footer text"));
    }

    void headerFooterRecord_data()
    {
        QTest::addColumn<QString>("core");
        QTest::addColumn<QStringList>("expected"); // empty: nothing
        QTest::newRow("header only") << QStringLiteral("<dc:description>VEXO-HF::Head</dc:description>")
                                     << QStringList{QStringLiteral("Head"), QString()};
        QTest::newRow("footer only") << QStringLiteral("<dc:description>VEXO-HF::\u2016Foot</dc:description>")
                                     << QStringList{QString(), QStringLiteral("Foot")};
        QTest::newRow("escaped ampersands") << QStringLiteral("<dc:description>VEXO-HF::a &amp; b\u2016&amp;lt;</dc:description>")
                                            << QStringList{QStringLiteral("a & b"), QStringLiteral("&lt;")};
        QTest::newRow("re-saved by another program")
            << QStringLiteral("<dc:description>VEXO-HF::it&apos;s&#x2016;&#34;foot&#x22;</dc:description>")
            << QStringList{QStringLiteral("it's"), QStringLiteral("\"foot\"")};
        QTest::newRow("CDATA") << QStringLiteral("<dc:description><![CDATA[VEXO-HF::h\u2016<f>]]></dc:description>")
                               << QStringList{QStringLiteral("h"), QStringLiteral("<f>")};
        QTest::newRow("extra pieces ignored") << QStringLiteral("<dc:description>VEXO-HF::a\u2016b\u2016c</dc:description>")
                                              << QStringList{QStringLiteral("a"), QStringLiteral("b")};
        QTest::newRow("unmarked") << QStringLiteral("<dc:description>Notes</dc:description>") << QStringList();
        QTest::newRow("empty") << QStringLiteral("<dc:description></dc:description>") << QStringList();
        QTest::newRow("no description") << QStringLiteral("<dc:title>x</dc:title>") << QStringList();
        QTest::newRow("damaged") << QStringLiteral("<dc:description>VEXO-HF::a&bogus;</dc:description>") << QStringList();
        QTest::newRow("no core part") << QString() << QStringList();
    }
    void headerFooterRecord()
    {
        QFETCH(QString, core);
        QFETCH(QStringList, expected);
        const auto hf = Docx::readHeaderFooter(package(t(QStringLiteral("x")), {}, {}, core));
        QCOMPARE(hf.has_value(), !expected.isEmpty());
        if (hf) {
            QCOMPARE(hf->first, expected[0]);
            QCOMPARE(hf->second, expected[1]);
        }
    }

    void headerFooterParts()
    {
        const QString rels = QStringLiteral(
            "<Relationship Id=\"h1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/header\" Target=\"header7.xml\"/>"
            "<Relationship Id=\"h2\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/header\" Target=\"header8.xml\"/>"
            "<Relationship Id=\"f1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/footer\" Target=\"/word/footer9.xml\"/>");
        const QString body = QStringLiteral("<w:sectPr><w:headerReference w:type=\"first\" r:id=\"h2\"/>"
                                            "<w:headerReference w:type=\"default\" r:id=\"h1\"/><w:footerReference w:type=\"default\" r:id=\"f1\"/></w:sectPr>");
        const QString ns = QStringLiteral("xmlns:w=\"%1\"").arg(kW);
        const QByteArray header = QStringLiteral("<w:hdr %1><w:p><w:r><w:t>Report</w:t></w:r><w:r><w:tab/><w:t>2026</w:t></w:r></w:p></w:hdr>").arg(ns).toUtf8();
        const QByteArray other = QStringLiteral("<w:hdr %1><w:p><w:r><w:t>First page</w:t></w:r></w:p></w:hdr>").arg(ns).toUtf8();
        const QByteArray footer = QStringLiteral(
            "<w:ftr %1><w:p><w:r><w:t xml:space=\"preserve\">Page </w:t></w:r>"
            "<w:fldSimple w:instr=\" PAGE  \\* MERGEFORMAT \"><w:r><w:t>3</w:t></w:r></w:fldSimple>"
            "<w:r><w:t xml:space=\"preserve\"> of </w:t></w:r>"
            "<w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r><w:instrText> NUMPAGES </w:instrText></w:r>"
            "<w:r><w:fldChar w:fldCharType=\"separate\"/></w:r><w:r><w:t>9</w:t></w:r><w:r><w:fldChar w:fldCharType=\"end\"/></w:r>"
            "<w:r><w:t>\u2016</w:t></w:r></w:p></w:ftr>").arg(ns).toUtf8();
        const auto hf = Docx::readHeaderFooter(package(body, rels, {{QStringLiteral("word/header7.xml"), header},
                                                                    {QStringLiteral("word/header8.xml"), other},
                                                                    {QStringLiteral("word/footer9.xml"), footer}}));
        QVERIFY(hf);
        QCOMPARE(hf->first, QStringLiteral("Report\t2026"));
        QCOMPARE(hf->second, QStringLiteral("Page {page} of {pages}\u2225"));
    }

    void restoreImages_data()
    {
        QTest::addColumn<QString>("body");
        QTest::addColumn<QString>("text");     // the text the reader brought back, paragraphs split at |
        QTest::addColumn<QString>("expected"); // with the pictures' file names in brackets
        QTest::newRow("after the words before it")
            << QStringLiteral("<w:p>%1</w:p><w:p>%2%3</w:p><w:p>%4</w:p>")
                   .arg(t(QStringLiteral("Intro")), t(QStringLiteral("See figure: ")), drawing(QStringLiteral("rId1")), t(QStringLiteral("End")))
            << QStringLiteral("Intro|See figure: |End") << QStringLiteral("Intro|See figure: [a.png]|End");
        QTest::newRow("before the caption")
            << QStringLiteral("<w:p>%1</w:p><w:p>%2%3</w:p>").arg(t(QStringLiteral("x")), drawing(QStringLiteral("rId1")), t(QStringLiteral("Caption")))
            << QStringLiteral("x|Caption") << QStringLiteral("x|[a.png]Caption");
        QTest::newRow("alone: at the cursor") << QStringLiteral("<w:p>%1</w:p>").arg(drawing(QStringLiteral("rId1")))
                                              << QStringLiteral("Some text") << QStringLiteral("[a.png]Some text");
        QTest::newRow("words not found: at the end")
            << QStringLiteral("<w:p>%1%2</w:p>").arg(t(QStringLiteral("Gone")), drawing(QStringLiteral("rId1")))
            << QStringLiteral("a|b") << QStringLiteral("a|b[a.png]");
        QTest::newRow("missing entry skips only that picture")
            << QStringLiteral("<w:p>%1%2</w:p><w:p>%3%4</w:p>")
                   .arg(t(QStringLiteral("One ")), drawing(QStringLiteral("rIdMissing")), t(QStringLiteral("Two ")), drawing(QStringLiteral("rId2")))
            << QStringLiteral("One |Two ") << QStringLiteral("One |Two [x.png]");
        QTest::newRow("unknown relationship skipped")
            << QStringLiteral("<w:p>%1%2</w:p>").arg(t(QStringLiteral("A")), drawing(QStringLiteral("nope"))) << QStringLiteral("A")
            << QStringLiteral("A");
        QTest::newRow("tabs count, breaks do not")
            << QStringLiteral("<w:p><w:r><w:t>a</w:t><w:tab/><w:t>b</w:t><w:br/><w:t>c</w:t></w:r>%1</w:p>").arg(drawing(QStringLiteral("rId1")))
            << QStringLiteral("a\tbc") << QStringLiteral("a\tbc[a.png]");
        QTest::newRow("no pictures in the body") << t(QStringLiteral("x")) << QStringLiteral("x") << QStringLiteral("x");
    }
    void restoreImages()
    {
        QFETCH(QString, body);
        QFETCH(QString, text);
        QFETCH(QString, expected);
        const QString rels = imageRel(QStringLiteral("rId1"), QStringLiteral("media/a.png"))
            + imageRel(QStringLiteral("rId2"), QStringLiteral("/word/media/x.png"))
            + imageRel(QStringLiteral("rIdMissing"), QStringLiteral("media/missing.png"));
        const QByteArray pkg = package(body, rels, {{QStringLiteral("word/media/a.png"), DocxTestFiles::png(4, 4)},
                                                    {QStringLiteral("word/media/x.png"), DocxTestFiles::png(2, 2)}});
        QTextDocument doc;
        Builder b(&doc);
        for (const QString& p : text.split(QLatin1Char('|')))
            b.addParagraph(para({run(p)}));
        Docx::restoreImages(pkg, &doc);
        QCOMPARE(textWithPictureMarks(doc), expected);
    }

    void restoredPictureSize()
    {
        const QString body = QStringLiteral("<w:p>%1</w:p>").arg(drawing(QStringLiteral("rId1"), 5943600, 2971800));
        const QByteArray pkg = package(body, imageRel(QStringLiteral("rId1"), QStringLiteral("media/a.png")),
                                       {{QStringLiteral("word/media/a.png"), DocxTestFiles::png(4, 4)}});
        QTextDocument doc;
        Docx::restoreImages(pkg, &doc);
        const Run r = paragraphs(doc).first().runs.first();
        QVERIFY(r.picture);
        QCOMPARE(r.picture->sizePt, QSizeF(468, 234));
        QCOMPARE(r.picture->data, DocxTestFiles::png(4, 4));
        // Once the text holds a picture, nothing is added twice.
        Docx::restoreImages(pkg, &doc);
        QCOMPARE(textWithPictureMarks(doc), QStringLiteral("[a.png]"));
    }

    void otherContentKept_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("notKept");
        const QString ns = QStringLiteral("xmlns:w=\"%1\"").arg(kW);
        const QString rel = QStringLiteral(
            "<Relationship Id=\"n1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/footnotes\" Target=\"footnotes.xml\"/>"
            "<Relationship Id=\"n2\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/endnotes\" Target=\"endnotes.xml\"/>");
        auto note = [&](const QString& kind, const QString& id, const QString& text) {
            return QStringLiteral("<w:%1 w:id=\"%2\"><w:p><w:r><w:%1Ref/></w:r>%3</w:p></w:%1>").arg(kind, id, t(text));
        };
        const QByteArray footnotes = QStringLiteral("<w:footnotes %1><w:footnote w:type=\"separator\" w:id=\"-1\"><w:p/></w:footnote>%2%3</w:footnotes>")
                                         .arg(ns, note(QStringLiteral("footnote"), QStringLiteral("7"), QStringLiteral(" second")),
                                              note(QStringLiteral("footnote"), QStringLiteral("3"), QStringLiteral(" first")))
                                         .toUtf8();
        const QByteArray endnotes = QStringLiteral("<w:endnotes %1>%2</w:endnotes>")
                                        .arg(ns, note(QStringLiteral("endnote"), QStringLiteral("1"), QStringLiteral(" last")))
                                        .toUtf8();
        const QString line(20, QChar(0x2500));
        QTest::newRow("footnotes and endnotes")
            << package(QStringLiteral("<w:p>%1<w:r><w:footnoteReference w:id=\"3\"/></w:r>%2<w:r><w:endnoteReference w:id=\"1\"/></w:r>"
                                      "<w:r><w:footnoteReference w:id=\"7\"/></w:r></w:p>")
                           .arg(t(QStringLiteral("a")), t(QStringLiteral("b"))),
                       rel, {{QStringLiteral("word/footnotes.xml"), footnotes}, {QStringLiteral("word/endnotes.xml"), endnotes}})
            << QStringLiteral("a1bi2|%1|1 first|2 second|i last").arg(line) << QString();
        const QString box = QStringLiteral("<w:txbxContent><w:p>%1</w:p><w:p>%2</w:p></w:txbxContent>")
                                .arg(t(QStringLiteral("in")), t(QStringLiteral("box")));
        QTest::newRow("text box once")
            << package(QStringLiteral("<w:p>%1<w:r><mc:AlternateContent xmlns:mc=\"http://schemas.openxmlformats.org/markup-compatibility/2006\">"
                                      "<mc:Choice Requires=\"wps\"><w:drawing><wp:anchor><a:graphic><a:graphicData><wps:wsp xmlns:wps=\"x\"><wps:txbx>%2"
                                      "</wps:txbx></wps:wsp></a:graphicData></a:graphic></wp:anchor></w:drawing></mc:Choice>"
                                      "<mc:Fallback><w:pict><v:shape xmlns:v=\"urn:schemas-microsoft-com:vml\"><v:textbox>%2</v:textbox></v:shape></w:pict>"
                                      "</mc:Fallback></mc:AlternateContent></w:r>%3</w:p>")
                           .arg(t(QStringLiteral("before ")), box, t(QStringLiteral(" after"))))
            << QStringLiteral("before \u2028in\u2028box after") << QString();
        QTest::newRow("comments and charts")
            << package(QStringLiteral("<w:p>%1<w:r><w:commentReference w:id=\"0\"/></w:r><w:r><w:commentReference w:id=\"1\"/></w:r>"
                                      "<w:r><w:drawing><wp:inline><a:graphic><a:graphicData uri=\"http://schemas.openxmlformats.org/drawingml/2006/chart\">"
                                      "</a:graphicData></a:graphic></wp:inline></w:drawing></w:r></w:p>")
                           .arg(t(QStringLiteral("x"))))
            << QStringLiteral("x") << QStringLiteral("chart 1, comment 2");
        QString deep;
        for (int i = 0; i < DocxReader::kMaxTableDepth + 2; ++i)
            deep += QLatin1String("<w:tbl><w:tr><w:tc>");
        deep += QStringLiteral("<w:p>%1</w:p><w:p>%2</w:p>").arg(t(QStringLiteral("deep")), t(QStringLiteral("deeper")));
        for (int i = 0; i < DocxReader::kMaxTableDepth + 2; ++i)
            deep += QLatin1String("</w:tc></w:tr></w:tbl>");
        // Tables down to the editor's nesting stay tables; deeper ones join
        // their cell.
        QTest::newRow("tables nested past the limit")
            << package(deep) << QStringLiteral("deep|deeper|") << QStringLiteral("deeply nested table 1");
    }
    void otherContentKept()
    {
        QFETCH(QByteArray, data);
        QFETCH(QString, text);
        QFETCH(QString, notKept);
        WPDocAttributes attrs;
        QTextDocument doc;
        readBack(data, &attrs, &doc);
        QCOMPARE(textWithPictureMarks(doc), text);
        QStringList kinds;
        for (auto it = attrs.notKept.constBegin(); it != attrs.notKept.constEnd(); ++it)
            kinds << QStringLiteral("%1 %2").arg(it.key()).arg(it.value());
        QCOMPARE(kinds.join(QStringLiteral(", ")), notKept);
    }

    void firstPageHeaderWithoutDefault()
    {
        const QString rels = QStringLiteral(
            "<Relationship Id=\"h1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/header\" Target=\"header1.xml\"/>"
            "<Relationship Id=\"h2\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/header\" Target=\"header2.xml\"/>");
        const QString ns = QStringLiteral("xmlns:w=\"%1\"").arg(kW);
        const QByteArray even = QStringLiteral("<w:hdr %1><w:p><w:r><w:t>Even</w:t></w:r></w:p></w:hdr>").arg(ns).toUtf8();
        const QByteArray first = QStringLiteral("<w:hdr %1><w:p><w:r><w:t>First</w:t></w:r></w:p></w:hdr>").arg(ns).toUtf8();
        const auto hf = Docx::readHeaderFooter(
            package(QStringLiteral("<w:sectPr><w:headerReference w:type=\"even\" r:id=\"h1\"/><w:headerReference w:type=\"first\" r:id=\"h2\"/>"
                                   "<w:titlePg/></w:sectPr>"),
                    rels, {{QStringLiteral("word/header1.xml"), even}, {QStringLiteral("word/header2.xml"), first}}));
        QVERIFY(hf);
        QCOMPARE(hf->first, QStringLiteral("First"));
        QCOMPARE(hf->second, QString());
    }

    void tableColumnWidths_data()
    {
        QTest::addColumn<QString>("grid");
        QTest::addColumn<QList<qreal>>("percent");
        const qreal third = 100.0 / 3;
        QTest::newRow("equal, as written here") << QStringLiteral("2880,2880,2880") << QList<qreal>{third, third, third};
        QTest::newRow("unequal") << QStringLiteral("2000,4000,2000") << QList<qreal>{25, 50, 25};
        QTest::newRow("no widths") << QStringLiteral(",,") << QList<qreal>{third, third, third};
        QTest::newRow("one missing") << QStringLiteral("1000,,2000") << QList<qreal>{1000.0 / 45, 1500.0 / 45, 2000.0 / 45};
        QTest::newRow("hostile") << QStringLiteral("-5,1e308,x") << QList<qreal>{third, third, third};
    }
    // A table comes back with the column widths of its grid.
    void tableColumnWidths()
    {
        QFETCH(QString, grid);
        QFETCH(QList<qreal>, percent);
        QString body = QStringLiteral("<w:tbl><w:tblGrid>");
        for (const QString& w : grid.split(QLatin1Char(',')))
            body += w.isEmpty() ? QStringLiteral("<w:gridCol/>") : QStringLiteral("<w:gridCol w:w=\"%1\"/>").arg(w);
        body += QStringLiteral("</w:tblGrid><w:tr>");
        for (qsizetype c = 0; c < percent.size(); ++c)
            body += QStringLiteral("<w:tc><w:p>%1</w:p></w:tc>").arg(t(QStringLiteral("cell")));
        body += QStringLiteral("</w:tr></w:tbl><w:p/>");
        QTextDocument doc;
        readBack(package(body), nullptr, &doc);
        QTextTable* table = nullptr;
        for (QTextFrame* f : doc.rootFrame()->childFrames())
            table = table ? table : qobject_cast<QTextTable*>(f);
        QVERIFY(table);
        const QList<QTextLength> widths = table->format().columnWidthConstraints();
        QCOMPARE(widths.size(), percent.size());
        for (qsizetype c = 0; c < widths.size(); ++c) {
            QCOMPARE(widths.at(c).type(), QTextLength::PercentageLength);
            QVERIFY2(qAbs(widths.at(c).rawValue() - percent.at(c)) < 0.01, qPrintable(QString::number(widths.at(c).rawValue())));
        }
    }

    void hostilePackages_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<bool>("readable");
        QTest::newRow("no archive") << QByteArray("plain text") << false;
        QTest::newRow("no document") << Zip::store({{QStringLiteral("a.txt"), "x"}}) << false;
        QTest::newRow("broken xml") << Zip::store({{QStringLiteral("word/document.xml"), "<w:document><w:body><w:p>"}}) << false;
        QByteArray bomb = "<?xml version=\"1.0\"?><!DOCTYPE d [<!ENTITY a \"aaaaaaaaaaaaaaaa\">";
        for (int i = 1; i < 12; ++i)
            bomb += QStringLiteral("<!ENTITY %1 \"&%2;&%2;&%2;&%2;&%2;&%2;&%2;&%2;\">").arg(QChar('a' + i)).arg(QChar('a' + i - 1)).toUtf8();
        bomb += QStringLiteral("]><w:document xmlns:w=\"%1\"><w:body><w:p><w:r><w:t>&l;</w:t></w:r></w:p></w:body></w:document>").arg(kW).toUtf8();
        QTest::newRow("entity bomb") << Zip::store({{QStringLiteral("word/document.xml"), bomb}}) << false;
        QString deep;
        for (int i = 0; i < 100000; ++i)
            deep += QLatin1String("<w:sdt><w:sdtContent>");
        QTest::newRow("deep nesting") << package(deep) << false;
        QString tables;
        for (int i = 0; i < 200; ++i)
            tables += QLatin1String("<w:tbl><w:tr><w:tc><w:p><w:r><w:t>x</w:t></w:r></w:p>");
        for (int i = 0; i < 200; ++i)
            tables += QLatin1String("</w:tc></w:tr></w:tbl>");
        QTest::newRow("nested tables") << package(tables) << true;
        QTest::newRow("endless empty rows") << package(QStringLiteral("<w:tbl>") + QString(QStringLiteral("<w:tr/>")).repeated(50000)
                                                       + QStringLiteral("<w:tr><w:tc><w:p/></w:tc></w:tr></w:tbl>"))
                                            << true;
        QTest::newRow("absurd spans")
            << package(QStringLiteral("<w:tbl><w:tr><w:tc><w:tcPr><w:gridSpan w:val=\"2147483647\"/><w:vMerge/></w:tcPr><w:p/></w:tc>"
                                      "<w:tc><w:p/></w:tc></w:tr><w:tr><w:trPr><w:gridBefore w:val=\"-5\"/></w:trPr>"
                                      "<w:tc><w:tcPr><w:vMerge/></w:tcPr><w:p/></w:tc></w:tr></w:tbl>"))
            << true;
        QTest::newRow("absurd numbers")
            << package(QStringLiteral("<w:p><w:pPr><w:ind w:left=\"1e308\" w:hanging=\"-99999999999\"/><w:spacing w:line=\"nan\"/>"
                                      "<w:numPr><w:ilvl w:val=\"99\"/><w:numId w:val=\"-1\"/></w:numPr></w:pPr><w:r><w:rPr><w:sz w:val=\"1e9\"/>"
                                      "<w:color w:val=\"zzzzzz\"/></w:rPr><w:t>x</w:t></w:r></w:p><w:sectPr><w:pgSz w:w=\"0\" w:h=\"-1\"/>"
                                      "<w:pgMar w:top=\"99999999999999\"/></w:sectPr>"))
            << true;
    }
    void hostilePackages()
    {
        QFETCH(QByteArray, data);
        QFETCH(bool, readable);
        QTextDocument doc;
        doc.setPlainText(QStringLiteral("unchanged"));
        WPDocAttributes attrs;
        QString error;
        QCOMPARE(Docx::read(data, &doc, &attrs, &error), readable);
        if (!readable) {
            QVERIFY(!error.isEmpty());
            QCOMPARE(doc.toPlainText(), QStringLiteral("unchanged")); // a failed read leaves the text alone
        }
        QVERIFY(!attrs.paperSize);
        Docx::readHeaderFooter(data);
        Docx::restoreImages(data, &doc);
    }
};

QTEST_MAIN(DocxReaderTest)
#include "tst_docx_reader.moc"
