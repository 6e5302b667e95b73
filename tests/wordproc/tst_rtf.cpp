// RTF and RTFD: what other programs write, hostile input, and package safety.
#include "WPTestFiles.h"
#include "tst_formatsupport.h"

#include "wordproc/WPFormat.h"
#include "wordproc/WPLists.h"
#include "wordproc/formats/Rtf.h"
#include "wordproc/formats/Rtfd.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextTable>
#include <QtEndian>
#include <QtTest>
#include <zlib.h>

using namespace FormatTest;

namespace {

QString textOf(const QByteArray& rtf, WPDocAttributes* attrs = nullptr)
{
    QTextDocument doc;
    QString error;
    if (!Rtf::read(rtf, &doc, attrs, &error))
        return QStringLiteral("ERROR ") + error;
    QStringList blocks;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        blocks << b.text();
    return blocks.join(QLatin1Char('\n'));
}

// The first run's character format of the last paragraph.
QTextCharFormat formatOf(const QTextDocument& doc, const QString& text)
{
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (it.fragment().text() == text)
                return it.fragment().charFormat();
    return {};
}

// The first picture of the document as a walk gives it.
WPTextModel::Picture firstPicture(const QTextDocument& doc)
{
    for (const WPTextModel::Paragraph& p : WPTextModel::paragraphs(doc))
        for (const WPTextModel::Run& r : p.runs)
            if (r.picture)
                return *r.picture;
    return {};
}

// A PNG whose header claims the given size, with valid checksums.
QByteArray pngClaiming(quint32 w, quint32 h)
{
    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    auto chunk = [&png](const char* type, const QByteArray& data) {
        QByteArray len(4, '\0');
        qToBigEndian<quint32>(quint32(data.size()), len.data());
        const QByteArray body = QByteArray(type, 4) + data;
        QByteArray crc(4, '\0');
        qToBigEndian<quint32>(quint32(crc32(0, reinterpret_cast<const Bytef*>(body.constData()), uInt(body.size()))), crc.data());
        png += len + body + crc;
    };
    QByteArray ihdr(13, '\0');
    qToBigEndian<quint32>(w, ihdr.data());
    qToBigEndian<quint32>(h, ihdr.data() + 4);
    ihdr[8] = 8;  // bit depth
    ihdr[9] = 2;  // RGB
    chunk("IHDR", ihdr);
    chunk("IDAT", QByteArray::fromHex("789c63000000010001"));
    chunk("IEND", QByteArray());
    return png;
}

} // namespace

class RtfTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void text_data();
    void text();
    void characterFormats_data();
    void characterFormats();
    void paragraphFormats();
    void listsFromOtherWriters();
    void listMarkersOfOtherWriters_data();
    void listMarkersOfOtherWriters();
    void tablesFromOtherWriters();
    void columnWidthsFromCellEdges_data();
    void columnWidthsFromCellEdges();
    void pictures();
    void pageAndComment();
    void otherProgramsPages_data();
    void otherProgramsPages();
    void writerEscapes();
    void markerOfMixedFormats();
    void hostile_data();
    void hostile();
    void hugePictureKeepsItsBytes();
    void rtfdNamesStayInside_data();
    void rtfdNamesStayInside();
    void rtfdWriterNamesFilesSafely();
    void rtfdSaveReplacesAndFailsSafely();
    void rtfdLeftoversOfInterruptedSaves_data();
    void rtfdLeftoversOfInterruptedSaves();
};

void RtfTest::text_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("text");
    QTest::newRow("plain") << QByteArray("{\\rtf1\\ansi Hello world}") << QStringLiteral("Hello world");
    QTest::newRow("unicode with fallback") << QByteArray("{\\rtf1\\uc1 caf\\u233?s}") << QStringLiteral("cafés");
    QTest::newRow("unicode two-byte fallback") << QByteArray("{\\rtf1\\uc2 \\u8364\\'80\\'80 x}") << QStringLiteral("€ x");
    QTest::newRow("unicode no fallback") << QByteArray("{\\rtf1\\uc0 \\u8364 5}") << QStringLiteral("€5");
    QTest::newRow("negative unicode") << QByteArray("{\\rtf1\\u-3913?}") << QStringLiteral("\uF0B7");
    QTest::newRow("surrogate pair") << QByteArray("{\\rtf1\\u-10179?\\u-8704?}") << QStringLiteral("😀");
    QTest::newRow("fallback ends at group") << QByteArray("{\\rtf1{\\uc3\\u233}abc}") << QStringLiteral("éabc");
    QTest::newRow("cp1252 hex") << QByteArray("{\\rtf1\\ansi\\ansicpg1252 na\\'efve \\'93q\\'94}") << QStringLiteral("naïve “q”");
    QTest::newRow("cp1251") << QByteArray("{\\rtf1\\ansi\\ansicpg1251 \\'cf\\'f0\\'e8\\'e2\\'e5\\'f2}") << QStringLiteral("Привет");
    QTest::newRow("shift-jis font") << QByteArray("{\\rtf1{\\fonttbl{\\f1\\fcharset128 MS Mincho;}}\\f1 \\'82\\'a0\\'82\\'a2}") << QStringLiteral("あい");
    QTest::newRow("mac roman") << QByteArray("{\\rtf1\\mac \\'8e\\'a5}") << QStringLiteral("é•");
    QTest::newRow("symbols") << QByteArray("{\\rtf1 a\\tab b\\line c\\~d\\emdash e\\endash f\\bullet\\lquote g\\rquote\\ldblquote h\\rdblquote}")
                             << QStringLiteral("a\tb\u2028c\u00A0d—e–f•‘g’“h”");
    QTest::newRow("escapes") << QByteArray("{\\rtf1 \\{x\\} \\\\y}") << QStringLiteral("{x} \\y");
    QTest::newRow("paragraphs") << QByteArray("{\\rtf1 one\\par two\\par\nthree}") << QStringLiteral("one\ntwo\nthree");
    QTest::newRow("backslash newline") << QByteArray("{\\rtf1 one\\\ntwo}") << QStringLiteral("one\ntwo");
    QTest::newRow("last mark") << QByteArray("{\\rtf1 one\\par }") << QStringLiteral("one");
    QTest::newRow("tables and info skipped")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0\\fswiss Helvetica;}}{\\colortbl;\\red255\\green0\\blue0;}"
                      "{\\stylesheet{\\s0 Normal;}}{\\info{\\title T}{\\author A}}{\\*\\generator W;}visible}")
        << QStringLiteral("visible");
    QTest::newRow("unknown starred skipped") << QByteArray("{\\rtf1 a{\\*\\foo secret}b}") << QStringLiteral("ab");
    QTest::newRow("field result kept") << QByteArray("{\\rtf1 see {\\field{\\*\\fldinst HYPERLINK \"http://x\"}{\\fldrslt here}}.}")
                                       << QStringLiteral("see here.");
    QTest::newRow("header aside, footnote after the body")
        << QByteArray("{\\rtf1{\\header head}body{\\super\\chftn}{\\footnote{\\super\\chftn} note}}")
        << QStringLiteral("body1\n") + QString(20, QChar(0x2500)) + QStringLiteral("\n1 note");
    QTest::newRow("metafile picture skipped") << QByteArray("{\\rtf1 a{\\pict\\wmetafile8 0102}b}") << QStringLiteral("ab");
    QTest::newRow("not rtf") << QByteArray("hello") << QStringLiteral("ERROR The file is not a Rich Text document.");
}

void RtfTest::text()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, text);
    QCOMPARE(textOf(rtf), text);
}

void RtfTest::characterFormats_data()
{
    QTest::addColumn<QByteArray>("control");
    QTest::addColumn<QString>("expected"); // as the test support describes it
    QTest::newRow("bold") << QByteArray("\\b") << QStringLiteral("b");
    QTest::newRow("bold off") << QByteArray("\\b\\b0") << QString();
    QTest::newRow("italic") << QByteArray("\\i") << QStringLiteral("i");
    QTest::newRow("underline") << QByteArray("\\ul") << QStringLiteral("u1");
    QTest::newRow("double underline") << QByteArray("\\uldb") << QStringLiteral("u9");
    QTest::newRow("thick underline") << QByteArray("\\ulth") << QStringLiteral("u2");
    QTest::newRow("word underline") << QByteArray("\\ulw") << QStringLiteral("u1");
    QTest::newRow("underline none") << QByteArray("\\ul\\ulnone") << QString();
    QTest::newRow("strike") << QByteArray("\\strike") << QStringLiteral("s1");
    QTest::newRow("double strike") << QByteArray("\\striked1") << QStringLiteral("s9");
    QTest::newRow("plain resets") << QByteArray("\\b\\i\\ul\\plain") << QString();
}

void RtfTest::characterFormats()
{
    QFETCH(QByteArray, control);
    QFETCH(QString, expected);
    QTextDocument doc;
    QVERIFY(Rtf::read("{\\rtf1 " + control + " x}", &doc, nullptr, nullptr));
    const QStringList d = describe(doc, Traits | LineStyles);
    QCOMPARE(d.value(0), expected.isEmpty() ? QStringLiteral(" [x|]") : QStringLiteral(" [x|%1]").arg(expected));
}

void RtfTest::paragraphFormats()
{
    const QByteArray rtf = "{\\rtf1{\\fonttbl{\\f0 Times;}{\\f1 Courier;}}{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}"
                           "\\pard\\qc\\li720\\fi-360\\ri360\\sb120\\sa240\\sl360\\slmult1\\tqr\\tx2880\\tx4320 "
                           "{\\f1\\fs36\\cf1\\highlight2 big}\\par\\pard\\qj x\\par}";
    QTextDocument doc;
    QVERIFY(Rtf::read(rtf, &doc, nullptr, nullptr));
    const QStringList d = describe(doc, Fonts | Colors | Paragraphs);
    QCOMPARE(d.value(0), QStringLiteral("align=c ind=36/18/18 sp=6/12 lm=1.5 tabs=[144:1,216:0] [big|Courier 18 fg#ff0000 bg#0000ff]"));
    QCOMPARE(d.value(1), QStringLiteral("align=j ind=0/0/0 sp=0/0 lm=0 tabs=[] [x| 12]"));
}

void RtfTest::listsFromOtherWriters()
{
    // A word processor's list table, and the older \pntext form.
    const QByteArray rtf =
        "{\\rtf1{\\*\\listtable{\\list\\listtemplateid1{\\listlevel\\levelnfc0{\\leveltext\\'02\\'00.;}{\\levelnumbers\\'01;}}\\listid7}}"
        "{\\*\\listoverridetable{\\listoverride\\listid7\\listoverridecount0\\ls3}}"
        "\\pard\\ls3\\ilvl0 {\\listtext\\tab 1.\\tab}First\\par"
        "\\pard\\ls3 {\\listtext\\tab 2.\\tab}Second\\par"
        "\\pard{\\pntext\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf1{\\pntxtb\\'b7}}Bullet\\par"
        "\\pard Plain}";
    QTextDocument doc;
    QVERIFY(Rtf::read(rtf, &doc, nullptr, nullptr));
    QCOMPARE(describe(doc, Lists), (QStringList{QStringLiteral("list=2 [\t1.\tFirst|]"), QStringLiteral("list=2 [\t2.\tSecond|]"),
                                                QStringLiteral("list=1 [\t•\tBullet|]"), QStringLiteral("list=0 [Plain|]")}));
}

void RtfTest::listMarkersOfOtherWriters_data()
{
    QTest::addColumn<QByteArray>("listText");
    QTest::addColumn<QString>("marker");
    QTest::newRow("number without a leading tab") << QByteArray("{\\listtext\\pard\\plain  3.\\tab}") << QStringLiteral("\t3.\t");
    QTest::newRow("symbol font bullet") << QByteArray("{\\listtext\\pard\\plain\\f1 \\u-3913 ?\\tab}")
                                        << QStringLiteral("\t•\t");
    QTest::newRow("ours") << QByteArray("{\\listtext\\plain\\f0\\fs24\\cf1 \\tab \\u8226?\\tab }") << QStringLiteral("\t•\t");
    QTest::newRow("nested groups") << QByteArray("{\\listtext{\\b 2.}{\\tab}}") << QStringLiteral("\t2.\t");
    QTest::newRow("tab only") << QByteArray("{\\listtext\\tab}") << QString();
    QTest::newRow("control characters around the number") << QByteArray("{\\listtext\x01\\'00 \\tab 2.\\tab}") << QStringLiteral("\t2.\t");
}

// However a writer lays its marker out, it reads as the marker run the
// list commands know: a new item continues it and toggling replaces it.
void RtfTest::listMarkersOfOtherWriters()
{
    QFETCH(QByteArray, listText);
    QFETCH(QString, marker);
    const QByteArray rtf = "{\\rtf1{\\*\\listtable{\\list{\\listlevel\\levelnfc0}\\listid7}}"
                           "{\\*\\listoverridetable{\\listoverride\\listid7\\ls3}}"
                           "\\trowd\\cellx2000\\pard\\intbl\\ls3 " + listText + "Item\\cell\\row\\pard After\\par}";
    QTextDocument doc;
    QVERIFY(Rtf::read(rtf, &doc, nullptr, nullptr));
    QTextCursor c(&doc);
    c.movePosition(QTextCursor::NextBlock);
    QVERIFY(c.currentTable());
    QCOMPARE(c.block().text(), marker + QStringLiteral("Item"));
    QCOMPARE(WPLists::oldMarkerLength(c.block()), int(marker.size()));
}

void RtfTest::tablesFromOtherWriters()
{
    // Rows as a word processor writes them: row definitions first, cells
    // closed by \cell, rows by \row; a table at the very start.
    const QByteArray rtf = "{\\rtf1\\trowd\\cellx1000\\cellx2000\\pard\\intbl A\\cell B1\\par B2\\cell\\row"
                           "\\trowd\\cellx1000\\cellx2000\\cellx3000\\intbl C\\cell D\\cell E\\cell\\row"
                           "\\pard After\\par}";
    QTextDocument doc;
    QVERIFY(Rtf::read(rtf, &doc, nullptr, nullptr));
    QCOMPARE(describe(doc, Tables), (QStringList{QStringLiteral(" "), QStringLiteral("TABLE 2x3"),
                                                 QStringLiteral("  cell 0,0:  [A|]"), QStringLiteral("  cell 0,1:  [B1|]"),
                                                 QStringLiteral("  cell 0,1:  [B2|]"), QStringLiteral("  cell 0,2:  "),
                                                 QStringLiteral("  cell 1,0:  [C|]"), QStringLiteral("  cell 1,1:  [D|]"),
                                                 QStringLiteral("  cell 1,2:  [E|]"), QStringLiteral(" [After|]")}));
}

void RtfTest::columnWidthsFromCellEdges_data()
{
    QTest::addColumn<QByteArray>("rows");
    QTest::addColumn<QList<qreal>>("shares");
    const QByteArray three = "\\trowd\\cellx1000\\cellx3000\\cellx8000\\intbl a\\cell b\\cell c\\cell\\row";
    QTest::newRow("every row alike") << three + three << QList<qreal>{12.5, 25, 62.5};
    QTest::newRow("one wide title cell first")
        << "\\trowd\\cellx8000\\intbl Title\\cell\\row" + three << QList<qreal>{12.5, 25, 62.5};
    // An edge left of the one before leaves a column of no width of its
    // own: it takes the others' average.
    QTest::newRow("edge out of order") << QByteArray("\\trowd\\cellx3000\\cellx1000\\cellx6000\\intbl a\\cell b\\cell c\\cell\\row")
                                       << QList<qreal>{100.0 / 3, 100.0 / 3, 100.0 / 3};
}

void RtfTest::columnWidthsFromCellEdges()
{
    QFETCH(QByteArray, rows);
    QFETCH(QList<qreal>, shares);
    QTextDocument doc;
    QVERIFY(Rtf::read("{\\rtf1" + rows + "\\pard After\\par}", &doc, nullptr, nullptr));
    QList<qreal> got;
    for (const WPTextModel::Part& part : WPTextModel::parts(doc))
        if (const auto* table = std::get_if<WPTextModel::Table>(&part))
            got = table->columnWidths;
    QCOMPARE(got.size(), shares.size());
    for (qsizetype i = 0; i < got.size(); ++i)
        QVERIFY2(std::abs(got[i] - shares[i]) < 0.1, qPrintable(QString::number(got[i])));
}

void RtfTest::pictures()
{
    const QByteArray png = pngBytes(4, 3, Qt::red);
    const QByteArray hex = png.toHex();
    const QByteArray rtf = "{\\rtf1 a{\\*\\shppict{\\pict\\pngblip\\picw4\\pich3\\picwgoal1440\\pichgoal720\\picscalex50 " + hex
                         + "}}{\\nonshppict{\\pict\\wmetafile8 00}}b{\\pict\\jpegblip\\bin3 \xff\xd8\xff}c}";
    QTextDocument doc;
    QVERIFY(Rtf::read(rtf, &doc, nullptr, nullptr));
    const QStringList d = describe(doc, Pictures);
    QCOMPARE(d.value(0), QStringLiteral(" [a|][IMG 4x3 36x36pt][b|][IMG 0x0 72x72pt][c|]"));
    // The bytes are the file's own.
    QCOMPARE(firstPicture(doc).data, png);
}

void RtfTest::pageAndComment()
{
    WPDocAttributes a;
    const QString text = textOf("{\\rtf1\\paperw16838\\paperh11906\\margl1134\\margr567\\margt720\\margb1440"
                                "{\\info{\\doccomm VEXO-HF\\u31?Head\\u31?Foot}}x}", &a);
    QCOMPARE(text, QStringLiteral("x"));
    QCOMPARE(a.paperSize, QSizeF(841.9, 595.3));
    QCOMPARE(a.leftMargin, 56.7);
    QCOMPARE(a.rightMargin, 28.35);
    QCOMPARE(a.topMargin, 36.0);
    QCOMPARE(a.bottomMargin, 72.0);
    QCOMPARE(a.comment, QStringLiteral("VEXO-HF\x1F" "Head\x1F" "Foot"));
    // A raw 0x1F byte in the comment is kept as well.
    WPDocAttributes b;
    textOf("{\\rtf1{\\info{\\doccomm VEXO-HF\x1Fh\x1F" "f}}x}", &b);
    QCOMPARE(WPHeaderFooter::decode(*b.comment), (std::pair<QString, QString>{QStringLiteral("h"), QStringLiteral("f")}));
}

void RtfTest::otherProgramsPages_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("headerFooter");
    QTest::addColumn<QString>("text");
    QTest::newRow("header and footer") << QByteArray("{\\rtf1{\\header\\pard Page \\chpgn\\par}{\\footer\\pard Foot\\par}body}")
                                       << QStringLiteral("Page {page}\u001FFoot") << QStringLiteral("body");
    QTest::newRow("first page only") << QByteArray("{\\rtf1{\\headerf\\pard Title\\par}body}") << QStringLiteral("Title\u001F")
                                     << QStringLiteral("body");
    QTest::newRow("page fields become placeholders")
        << QByteArray("{\\rtf1{\\footer\\pard Page {\\field{\\*\\fldinst { PAGE \\\\* MERGEFORMAT }}{\\fldrslt {1}}}"
                      " of {\\field{\\*\\fldinst {NUMPAGES}}{\\fldrslt 3}}\\par}body}")
        << QStringLiteral("\u001FPage {page} of {pages}") << QStringLiteral("body");
    QTest::newRow("other fields keep their text")
        << QByteArray("{\\rtf1{\\header\\pard {\\field{\\*\\fldinst AUTHOR}{\\fldrslt Ann}}\\par}"
                      "{\\field{\\*\\fldinst PAGE}{\\fldrslt 7}} body}")
        << QStringLiteral("Ann\u001F") << QStringLiteral("7 body");
    QTest::newRow("our record wins") << QByteArray("{\\rtf1{\\info{\\doccomm VEXO-HF\\u31?mine\\u31?}}{\\header other\\par}body}")
                                     << QStringLiteral("mine\u001F") << QStringLiteral("body");
    QTest::newRow("text box and comment") << QByteArray("{\\rtf1 a{\\shp{\\*\\shpinst{\\sp{\\sn shapeType}{\\sv 202}}{\\shptxt in box}}}b"
                                                        "{\\*\\atnid x}{\\*\\annotation note}}")
                                          << QString() << QStringLiteral("ain boxb");
}

void RtfTest::otherProgramsPages()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, headerFooter);
    QFETCH(QString, text);
    WPDocAttributes attrs;
    QCOMPARE(textOf(rtf, &attrs), text);
    QCOMPARE(attrs.comment.value_or(QStringLiteral("VEXO-HF\u001F")).mid(8), headerFooter);
    QCOMPARE(attrs.notKept.value(QStringLiteral("comment")), QTest::currentDataTag() == QLatin1String("text box and comment") ? 1 : 0);
}

void RtfTest::writerEscapes()
{
    QTextDocument doc;
    QTextCursor c(&doc);
    c.insertText(QStringLiteral("{a}\\b\x01\x07 é€😀"));
    WPDocAttributes a;
    a.comment = WPHeaderFooter::encode(QStringLiteral("H"), QStringLiteral("F"));
    const QByteArray rtf = Rtf::write(doc, a);
    QVERIFY(rtf.contains("\\{a\\}\\\\b \\u233?\\u8364?\\u-10179?\\u-8704?"));
    QVERIFY(rtf.contains("{\\doccomm VEXO-HF\\u31?H\\u31?F}"));
    for (char ch : rtf)
        QVERIFY2(static_cast<unsigned char>(ch) < 0x80 && (ch >= 0x20 || ch == '\n'), "RTF output is 7-bit text");
    QCOMPARE(textOf(rtf), QStringLiteral("{a}\\b é€😀"));
}

void RtfTest::markerOfMixedFormats()
{
    // A marker run whose characters carry different formats comes back
    // character for character.
    QTextDocument doc;
    QTextCursor c(&doc);
    QTextBlockFormat item;
    item.setProperty(WPText::ListKind, WPText::ListBullet);
    c.setBlockFormat(item);
    c.insertText(QStringLiteral("\t"), run(QStringLiteral("Liberation Sans"), 12));
    c.insertText(QStringLiteral("•\tItem"), run(QStringLiteral("Liberation Serif"), 14, true));
    QTextDocument back;
    QVERIFY(Rtf::read(Rtf::write(doc, {}), &back, nullptr, nullptr));
    QCOMPARE(describe(back, Fonts | Traits | Lists), describe(doc, Fonts | Traits | Lists));
}

void RtfTest::hostile_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("contains");
    QTest::newRow("100000 nested groups") << "{\\rtf1 " + QByteArray(100000, '{') + "deep" + QByteArray(100000, '}') + "}" << QStringLiteral("deep");
    QTest::newRow("unclosed groups") << "{\\rtf1 " + QByteArray(5000, '{') + "open" << QStringLiteral("open");
    QTest::newRow("extra closing") << QByteArray("{\\rtf1 a}}}}b") << QStringLiteral("a");
    QTest::newRow("bin beyond the end") << QByteArray("{\\rtf1 a{\\pict\\pngblip\\bin2147483647 xyz}}") << QStringLiteral("a");
    QTest::newRow("bin huge parameter") << QByteArray("{\\rtf1 a{\\pict\\bin99999999999999999999 x}b}") << QStringLiteral("a");
    QTest::newRow("bin negative") << QByteArray("{\\rtf1 a\\bin-5 b}") << QStringLiteral("a");
    QTest::newRow("huge font size") << QByteArray("{\\rtf1\\fs2147483647 big\\fs-4 neg}") << QStringLiteral("bigneg");
    QTest::newRow("huge unicode parameter") << QByteArray("{\\rtf1\\u99999999999?x\\uc2147483647 y}") << QStringLiteral("x");
    QTest::newRow("overlong control word") << "{\\rtf1\\" + QByteArray(500, 'a') + " z}" << QStringLiteral("z");
    QTest::newRow("truncated hex") << QByteArray("{\\rtf1 a\\'") << QStringLiteral("a");
    QTest::newRow("bad hex") << QByteArray("{\\rtf1 a\\'zzb}") << QStringLiteral("a");
    QTest::newRow("odd picture hex") << QByteArray("{\\rtf1 a{\\pict\\pngblip 123}b}") << QStringLiteral("ab");
    QTest::newRow("picture goal overflow") << "{\\rtf1{\\pict\\pngblip\\picwgoal2147483647\\pichgoal-2147483647\\picscalex2147483647 "
                                                  + pngBytes(2, 2, Qt::blue).toHex() + "}z}" << QStringLiteral("z");
    QTest::newRow("many cells") << "{\\rtf1 " + QByteArray(20000, 'x').replace("x", "\\intbl a\\cell ") + "\\row}" << QStringLiteral("a");
    QTest::newRow("wide row then many rows") << "{\\rtf1 " + QByteArray(5000, 'x').replace("x", "\\intbl a\\cell ") + "\\row"
                                                    + QByteArray(5000, 'x').replace("x", "\\intbl b\\cell\\row ") + "}" << QStringLiteral("b");
    QTest::newRow("nul bytes") << QByteArray("{\\rtf1 a\0b}", 11) << QStringLiteral("ab");
    QTest::newRow("deep list and info") << "{\\rtf1{\\info" + QByteArray(3000, '{') + "{\\doccomm c}" + QByteArray(3000, '}') + "}t}" << QStringLiteral("t");
}

void RtfTest::hostile()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, contains);
    QElapsedTimer timer;
    timer.start();
    const QString text = textOf(rtf);
    QVERIFY2(text.contains(contains), qPrintable(text.left(200)));
    // Guards against runaway work, not a speed target: generous enough for a
    // sanitizer build on a busy machine.
    QVERIFY(timer.elapsed() < 60000);
    // No table grows wider than a word processor allows.
    QTextDocument doc;
    Rtf::read(rtf, &doc, nullptr, nullptr);
    for (const WPTextModel::Part& part : WPTextModel::parts(doc)) {
        if (const auto* table = std::get_if<WPTextModel::Table>(&part))
            QVERIFY(table->columns <= FormatSupport::kMaxColumns);
    }
}

void RtfTest::hugePictureKeepsItsBytes()
{
    // A picture claiming 100,000 × 100,000 pixels is never decoded, but its
    // bytes stay with the document so that saving writes them back.
    const QByteArray png = pngClaiming(100000, 100000);
    QTextDocument doc;
    QVERIFY(Rtf::read("{\\rtf1 {\\pict\\pngblip\\picwgoal1440\\pichgoal1440 " + png.toHex() + "}}", &doc, nullptr, nullptr));
    const QTextImageFormat f = formatOf(doc, QString(QChar::ObjectReplacementCharacter)).toImageFormat();
    QVERIFY(f.isValid());
    QVERIFY(doc.resource(QTextDocument::ImageResource, QUrl(f.name())).isNull());
    QCOMPARE(firstPicture(doc).data, png);
    QCOMPARE(firstPicture(doc).sizePt, QSizeF(72, 72));
    QVERIFY(Rtf::write(doc, {}).contains(png.toHex().left(64)));
}

void RtfTest::rtfdNamesStayInside_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("read");
    QTest::newRow("plain name") << "photo.png" << true;
    QTest::newRow("name with space") << "Pasted Graphic.png" << true;
    QTest::newRow("parent") << "../outside.png" << false;
    QTest::newRow("dot dot") << ".." << false;
    QTest::newRow("absolute") << "/tmp/outside.png" << false;
    QTest::newRow("sub folder") << "sub/inner.png" << false;
    QTest::newRow("backslash") << "..\\outside.png" << false;
    QTest::newRow("link outside") << "link.png" << false;
}

void RtfTest::rtfdNamesStayInside()
{
    QFETCH(QString, name);
    QFETCH(bool, read);
    QTemporaryDir root;
    const QString package = root.filePath(QStringLiteral("Doc.rtfd"));
    QVERIFY(QDir().mkpath(package + QStringLiteral("/sub")));
    const QByteArray png = pngBytes(3, 3, Qt::green);
    for (const QString& path : {root.filePath(QStringLiteral("outside.png")), package + QStringLiteral("/photo.png"),
                                package + QStringLiteral("/Pasted Graphic.png"), package + QStringLiteral("/sub/inner.png")}) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(png);
    }
    QVERIFY(QFile::link(root.filePath(QStringLiteral("outside.png")), package + QStringLiteral("/link.png")));
    QFile txt(package + QStringLiteral("/TXT.rtf"));
    QVERIFY(txt.open(QIODevice::WriteOnly));
    txt.write("{\\rtf1 a{{\\NeXTGraphic " + name.toUtf8() + " \\width720 \\height720}\xac}b}");
    txt.close();
    QTextDocument doc;
    QString error;
    QVERIFY2(WPFormat::readRtfd(package, &doc, nullptr, &error), qPrintable(error));
    QCOMPARE(describe(doc, Pictures).value(0), read ? QStringLiteral(" [a|][IMG 3x3 36x36pt][b|]") : QStringLiteral(" [ab|]"));
}

void RtfTest::rtfdWriterNamesFilesSafely()
{
    QTextDocument doc;
    QTextCursor c(&doc);
    const QStringList names = {QStringLiteral("../escape.png"), QStringLiteral("/abs.png"), QStringLiteral(".hidden.png"),
                               QStringLiteral("TXT.rtf"), QStringLiteral("same.png"), QStringLiteral("same.png")};
    for (const QString& n : names) {
        FormatSupport::Picture p;
        p.data = pngBytes(2, 2, Qt::red);
        p.fileName = n;
        FormatSupport::insertPicture(c, p, {});
    }
    QTemporaryDir root;
    const QString package = root.filePath(QStringLiteral("Out.rtfd"));
    QString error;
    QVERIFY2(WPFormat::writeRtfd(doc, {}, package, &error), qPrintable(error));
    QStringList files = QDir(package).entryList(QDir::Files | QDir::Hidden | QDir::System);
    files.sort();
    QCOMPARE(files, (QStringList{QStringLiteral("TXT 2.rtf"), QStringLiteral("TXT.rtf"), QStringLiteral("_.._escape.png"),
                                 QStringLiteral("_.hidden.png"), QStringLiteral("_abs.png"), QStringLiteral("same 2.png"),
                                 QStringLiteral("same.png")}));
    QCOMPARE(QDir(root.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{QStringLiteral("Out.rtfd")});
    QTextDocument back;
    QVERIFY(WPFormat::readRtfd(package, &back, nullptr, &error));
    QCOMPARE(describe(back, Pictures), describe(doc, Pictures));
}

void RtfTest::rtfdSaveReplacesAndFailsSafely()
{
    QTemporaryDir root;
    const QString package = root.filePath(QStringLiteral("Report.rtfd"));
    QTextDocument first;
    QTextCursor c(&first);
    c.insertText(QStringLiteral("first "));
    FormatSupport::Picture p;
    p.data = pngBytes(2, 2, Qt::red);
    p.fileName = QStringLiteral("old.png");
    FormatSupport::insertPicture(c, p, {});
    QVERIFY(WPFormat::writeRtfd(first, {}, package, nullptr));
    QVERIFY(QFile::exists(package + QStringLiteral("/old.png")));

    QTextDocument second;
    second.setPlainText(QStringLiteral("second"));
    QVERIFY(WPFormat::writeRtfd(second, {}, package, nullptr));
    QCOMPARE(QDir(package).entryList(QDir::Files), QStringList{QStringLiteral("TXT.rtf")});
    QCOMPARE(QDir(root.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList{QStringLiteral("Report.rtfd")});

    // A folder that is not there: the save fails and says why.
    QString missing;
    QVERIFY(!WPFormat::writeRtfd(first, {}, root.filePath(QStringLiteral("gone/Report.rtfd")), &missing));
    QVERIFY(!missing.isEmpty());

    // An unwritable folder: the save fails, says why, and the old package stays.
    if (QFileInfo(QStringLiteral("/")).isWritable() && ::geteuid() == 0)
        QSKIP("Running as root: folder permissions do not apply.");
    QFile::setPermissions(root.path(), QFile::ReadOwner | QFile::ExeOwner);
    QString error;
    QVERIFY(!WPFormat::writeRtfd(first, {}, package, &error));
    QVERIFY(error.startsWith(QStringLiteral("The document could not be saved")));
    QFile::setPermissions(root.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QTextDocument back;
    QVERIFY(WPFormat::readRtfd(package, &back, nullptr, nullptr));
    QCOMPARE(back.toPlainText(), QStringLiteral("second"));
}

void RtfTest::rtfdLeftoversOfInterruptedSaves_data()
{
    // Folders beside Report.rtfd as "name:text of its TXT.rtf" ("->" marks a
    // link to a folder outside), and what is there after recovery.
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<QString>("packageText");
    const QString old = QStringLiteral(".Report.rtfd.old-1b2c");
    const QString saving = QStringLiteral(".Report.rtfd.saving-Ab12Cd");
    QTest::newRow("package missing: the version set aside returns")
        << QStringList{old + QStringLiteral(":old"), saving + QStringLiteral(":new")}
        << QStringList{QStringLiteral("Report.rtfd")} << QStringLiteral("old");
    QTest::newRow("package present: leftovers go")
        << QStringList{QStringLiteral("Report.rtfd:current"), old + QStringLiteral(":old"), saving + QStringLiteral(":new")}
        << QStringList{QStringLiteral("Report.rtfd")} << QStringLiteral("current");
    QTest::newRow("only an unfinished save: nothing comes back")
        << QStringList{saving + QStringLiteral(":half")} << QStringList{} << QString();
    QTest::newRow("other names stay")
        << QStringList{QStringLiteral("Report.rtfd:current"), QStringLiteral(".Other.rtfd.old-1:x"),
                       QStringLiteral(".Report.rtfd.notes:y")}
        << QStringList{QStringLiteral(".Other.rtfd.old-1"), QStringLiteral(".Report.rtfd.notes"), QStringLiteral("Report.rtfd")}
        << QStringLiteral("current");
    QTest::newRow("links are neither followed nor restored")
        << QStringList{old + QStringLiteral("->outside")} << QStringList{old} << QString();
}

void RtfTest::rtfdLeftoversOfInterruptedSaves()
{
    QFETCH(QStringList, before);
    QFETCH(QStringList, after);
    QFETCH(QString, packageText);
    QTemporaryDir root;
    QTemporaryDir outside;
    QVERIFY(writeFile(outside.filePath(QStringLiteral("TXT.rtf")), "{\\rtf1 keep}"));
    for (const QString& entry : before) {
        if (entry.contains(QLatin1String("->"))) {
            QVERIFY(QFile::link(outside.path(), root.filePath(entry.section(QStringLiteral("->"), 0, 0))));
            continue;
        }
        const QString name = entry.section(QLatin1Char(':'), 0, 0);
        QVERIFY(QDir(root.path()).mkdir(name));
        QVERIFY(writeFile(root.filePath(name + QStringLiteral("/TXT.rtf")),
                          "{\\rtf1 " + entry.section(QLatin1Char(':'), 1).toUtf8() + "}"));
    }
    const QString package = root.filePath(QStringLiteral("Report.rtfd"));
    QCOMPARE(Rtfd::recover(package), !packageText.isEmpty());
    QCOMPARE(QDir(root.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name), after);
    QVERIFY(QFile::exists(outside.filePath(QStringLiteral("TXT.rtf"))));
    if (!packageText.isEmpty()) {
        QTextDocument back;
        QVERIFY(WPFormat::readRtfd(package, &back, nullptr, nullptr));
        QCOMPARE(back.toPlainText(), packageText);
    }
}

QTEST_MAIN(RtfTest)
#include "tst_rtf.moc"
