// Word 97 binary documents: text from the piece table inside the OLE2
// container, and damaged containers.
#include "wordproc/WPFormat.h"
#include "wordproc/WPText.h"
#include "wordproc/WPTextModel.h"
#include "wordproc/formats/CompoundFile.h"
#include "wordproc/formats/Doc.h"
#include "wordproc/formats/Word97.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QtEndian>
#include <QtTest>

Q_DECLARE_METATYPE(WPTextModel::Run)

namespace {

constexpr quint32 kEnd = 0xFFFFFFFE;
constexpr quint32 kFree = 0xFFFFFFFF;

void put32(QByteArray& b, qsizetype at, quint32 v)
{
    qToLittleEndian<quint32>(v, b.data() + at);
}

void put16(QByteArray& b, qsizetype at, quint16 v)
{
    qToLittleEndian<quint16>(v, b.data() + at);
}

QByteArray padded(QByteArray b, qsizetype size)
{
    b.append(QByteArray(std::max<qsizetype>(0, size - b.size()), '\0'));
    return b;
}

// A minimal Word 97 file: a compound file of 512-byte sectors holding a
// WordDocument stream (FIB and text) and a 1Table stream (piece table).
// One piece is 8-bit Windows-1252 text, the other UTF-16.
struct Word97File {
    QByteArray bytes;
    qsizetype wordOffset = 0;  // where the WordDocument stream starts
    qsizetype tableOffset = 0; // where the 1Table stream starts
};

Word97File makeWord97()
{
    const QByteArray narrow = QByteArray("Hello W\xF6rld\r\x13 HYPERLINK \"x\" \x14link\x15", 33);
    const QString wide = QStringLiteral(" 日本\rcell\x07row\x0B" "end\r");
    QByteArray word(8192, '\0');
    put16(word, 0, 0xA5EC);
    put16(word, 0x0A, 0x0200); // the table stream is 1Table
    const quint32 ccp = quint32(narrow.size() + wide.size());
    put32(word, 0x4C, ccp);
    word.replace(2048, narrow.size(), narrow);
    const QByteArray wideBytes(reinterpret_cast<const char*>(wide.utf16()), wide.size() * 2);
    word.replace(4096, wideBytes.size(), wideBytes);

    QByteArray clx;
    clx += QByteArray("\x01\x02\x00\xAA\xBB", 5); // a property modifier to skip
    QByteArray plc(4 * 3 + 8 * 2, '\0');
    put32(plc, 0, 0);
    put32(plc, 4, quint32(narrow.size()));
    put32(plc, 8, ccp);
    put32(plc, 12 + 2, (2048 * 2) | 0x40000000);
    put32(plc, 20 + 2, 4096);
    clx += '\x02';
    QByteArray lcb(4, '\0');
    put32(lcb, 0, quint32(plc.size()));
    clx += lcb + plc;
    put32(word, 0x1A2, 0);
    put32(word, 0x1A6, quint32(clx.size()));
    const QByteArray table = padded(clx, 4096);

    const int wordSectors = int(word.size() / 512), tableSectors = int(table.size() / 512);
    QByteArray header(512, '\0');
    header.replace(0, 8, QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8));
    put16(header, 0x18, 0x3E);
    put16(header, 0x1A, 3);
    put16(header, 0x1C, 0xFFFE);
    put16(header, 0x1E, 9);
    put16(header, 0x20, 6);
    put32(header, 0x2C, 1);
    put32(header, 0x30, 1);
    put32(header, 0x38, 4096);
    put32(header, 0x3C, kEnd);
    put32(header, 0x44, kEnd);
    for (int i = 0; i < 109; ++i)
        put32(header, 0x4C + 4 * i, i == 0 ? 0 : kFree);

    QByteArray fat(512, '\xFF');
    put32(fat, 0, 0xFFFFFFFD);
    put32(fat, 4, kEnd);
    int s = 2;
    for (int i = 0; i < wordSectors; ++i, ++s)
        put32(fat, 4 * s, i + 1 == wordSectors ? kEnd : quint32(s + 1));
    for (int i = 0; i < tableSectors; ++i, ++s)
        put32(fat, 4 * s, i + 1 == tableSectors ? kEnd : quint32(s + 1));

    QByteArray dir(512, '\0');
    auto entry = [&dir](int index, const QString& name, int type, quint32 start, quint32 size) {
        const qsizetype base = index * 128;
        for (int k = 0; k < name.size(); ++k)
            put16(dir, base + 2 * k, name.at(k).unicode());
        put16(dir, base + 0x40, quint16((name.size() + 1) * 2));
        dir[base + 0x42] = char(type);
        put32(dir, base + 0x44, kFree);
        put32(dir, base + 0x48, kFree);
        put32(dir, base + 0x4C, kFree);
        put32(dir, base + 0x74, start);
        put32(dir, base + 0x78, size);
    };
    entry(0, QStringLiteral("Root Entry"), 5, kEnd, 0);
    entry(1, QStringLiteral("WordDocument"), 2, 2, quint32(word.size()));
    entry(2, QStringLiteral("1Table"), 2, quint32(2 + wordSectors), quint32(table.size()));

    Word97File f;
    f.bytes = header + fat + dir;
    f.wordOffset = f.bytes.size();
    f.bytes += word;
    f.tableOffset = f.bytes.size();
    f.bytes += table;
    return f;
}

QStringList blocks(const QTextDocument& doc)
{
    QStringList out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        out << b.text();
    return out;
}

} // namespace

class Word97Test : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void readsTheText();
    void damaged_data();
    void damaged();
    void rtfUnderDocName();
    void writesCompoundFile();
    void roundTripCharacters_data();
    void roundTripCharacters();
    void roundTripParagraphs();
    void roundTripMergedTable();
    void roundTripPageAndHeader();
    void manyParagraphsSpanPages();
    void tableWiderThanTheFormatKeepsItsText();
    void otherSuitesDocuments_data();
    void otherSuitesDocuments();
};

void Word97Test::readsTheText()
{
    QTextDocument doc;
    QString error;
    QVERIFY2(WPFormat::read(makeWord97().bytes, WPFormat::DocType::Doc, &doc, nullptr, &error), qPrintable(error));
    QCOMPARE(blocks(doc), (QStringList{QStringLiteral("Hello Wörld"), QStringLiteral("link 日本"), QStringLiteral("cell"),
                                       QStringLiteral("row\u2028end")}));
}

void Word97Test::damaged_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("readable");
    const Word97File good = makeWord97();
    QTest::newRow("intact") << good.bytes << true;
    QTest::newRow("header only") << good.bytes.left(512) << false;
    QTest::newRow("cut in the text") << good.bytes.left(good.wordOffset + 3000) << false;
    QByteArray loop = good.bytes;
    put32(loop, 512 + 4 * 3, 2); // the WordDocument chain points back at itself
    QTest::newRow("sector loop") << loop << false;
    QByteArray bigSector = good.bytes;
    put16(bigSector, 0x1E, 30);
    QTest::newRow("absurd sector size") << bigSector << false;
    QByteArray farPiece = good.bytes;
    put32(farPiece, good.tableOffset + 5 + 5 + 12 + 2, 0x7FFFFFF0);
    QTest::newRow("piece beyond the stream") << farPiece << false;
    QByteArray hugeCount = good.bytes;
    put32(hugeCount, good.wordOffset + 0x4C, 0xFFFFFFFF);
    QTest::newRow("huge character count, refused") << hugeCount << false;
    QByteArray badClx = good.bytes;
    put32(badClx, good.wordOffset + 0x1A6, 0x7FFFFFFF);
    QTest::newRow("piece table beyond the stream") << badClx << false;
    QByteArray encrypted = good.bytes;
    put16(encrypted, good.wordOffset + 0x0A, 0x0300);
    QTest::newRow("password protected") << encrypted << false;
    QByteArray difatLoop = good.bytes;
    put32(difatLoop, 0x44, 0);
    put32(difatLoop, 0x48, 1);
    QTest::newRow("difat into the fat") << difatLoop << true;
    QByteArray noTable = good.bytes;
    put16(noTable, 512 + 512 + 2 * 128, 'X');
    QTest::newRow("missing table stream") << noTable << false;
}

void Word97Test::damaged()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, readable);
    QTextDocument doc;
    QString error;
    const bool ok = Doc::read(bytes, &doc, nullptr, &error);
    QCOMPARE(ok, readable);
    if (!ok)
        QVERIFY(!error.isEmpty());
}

void Word97Test::rtfUnderDocName()
{
    // RTF content saved under a .doc name by other programs still opens.
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("Saved as doc"));
    const QByteArray bytes = *WPFormat::write(doc, WPFormat::DocType::Rtf, {}, nullptr);
    QVERIFY(bytes.startsWith("{\\rtf1"));
    QTextDocument back;
    QVERIFY(WPFormat::read(bytes, WPFormat::DocType::Doc, &back, nullptr, nullptr));
    QCOMPARE(back.toPlainText(), QStringLiteral("Saved as doc"));
}

namespace {

using WPTextModel::Paragraph;
using WPTextModel::Run;

Run run(const QString& text)
{
    Run r;
    r.text = text;
    r.family = QStringLiteral("Arial");
    r.pointSize = 12;
    return r;
}

Paragraph para(const QList<Run>& runs)
{
    Paragraph p;
    p.runs = runs;
    return p;
}

// Writes `doc` as Word 97 and reads it back.
// One row of `columns` cells holding their column numbers.
WPTextModel::Table numberedRow(int columns)
{
    WPTextModel::Table t;
    t.rows = 1;
    t.columns = columns;
    for (int x = 0; x < columns; ++x) {
        WPTextModel::TableCell c;
        c.column = x;
        c.paragraphs = {para({run(QString::number(x))})};
        t.cells.append(c);
    }
    return t;
}

QList<Paragraph> roundTrip(const QTextDocument& doc, const WPDocAttributes& attributes = {},
                           WPDocAttributes* readAttributes = nullptr)
{
    const QByteArray bytes = Word97::write(doc, attributes);
    if (!qEnvironmentVariableIsEmpty("BW_WORD97_DUMP")) {
        QFile f(qEnvironmentVariable("BW_WORD97_DUMP") + QLatin1Char('/') + QTest::currentTestFunction()
                + QString::fromUtf8(QTest::currentDataTag()).left(6).remove(QLatin1Char(' ')) + QStringLiteral(".doc"));
        if (f.open(QIODevice::WriteOnly))
            f.write(bytes);
    }
    QTextDocument back;
    WPDocAttributes local;
    QString error;
    if (!Word97::read(bytes, &back, readAttributes ? readAttributes : &local, &error))
        qWarning() << error;
    return WPTextModel::paragraphs(back);
}

} // namespace

void Word97Test::writesCompoundFile()
{
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("Saved as doc"));
    const QByteArray bytes = *WPFormat::write(doc, WPFormat::DocType::Doc, {}, nullptr);
    QVERIFY(Doc::looksLikeWord97(bytes));
    const CompoundFile file(bytes);
    QVERIFY(file.isValid());
    for (const char* name : {"WordDocument", "1Table", "\x05SummaryInformation"})
        QVERIFY2(file.stream(QString::fromLatin1(name)).has_value(), name);
    QCOMPARE(qFromLittleEndian<quint16>(file.stream(QStringLiteral("WordDocument"))->constData()), quint16(0xA5EC));
    QTextDocument back;
    QVERIFY(WPFormat::read(bytes, std::nullopt, &back, nullptr, nullptr));
    QCOMPARE(back.toPlainText(), QStringLiteral("Saved as doc"));
}

void Word97Test::roundTripCharacters_data()
{
    QTest::addColumn<Run>("format");
    Run bold = run(QStringLiteral("bold")); bold.bold = true;
    Run italic = run(QStringLiteral("italic")); italic.italic = true;
    Run under = run(QStringLiteral("under")); under.underline = WPText::StyleSingle;
    Run dunder = run(QStringLiteral("double under")); dunder.underline = WPText::StyleDouble;
    Run thick = run(QStringLiteral("thick under")); thick.underline = WPText::StyleThick;
    Run strike = run(QStringLiteral("strike")); strike.strike = WPText::StyleSingle;
    Run dstrike = run(QStringLiteral("double strike")); dstrike.strike = WPText::StyleDouble;
    Run color = run(QStringLiteral("colour")); color.foreground = QColor(0x12, 0x34, 0x56);
    Run palette = run(QStringLiteral("highlight")); palette.background = QColor(Qt::yellow);
    Run shade = run(QStringLiteral("shade")); shade.background = QColor(0xAB, 0xCD, 0xEF);
    Run size = run(QStringLiteral("size")); size.pointSize = 7.5; size.family = QStringLiteral("Courier New");
    Run sup = run(QStringLiteral("2")); sup.baseline = 1;
    Run link = run(QStringLiteral("a link")); link.link = true; link.href = QStringLiteral("https://example.org/a?b=1");
    Run wide = run(QStringLiteral("日本語 tab\there\u2028line"));
    for (const Run& r : {bold, italic, under, dunder, thick, strike, dstrike, color, palette, shade, size, sup, link, wide})
        QTest::newRow(qPrintable(r.text.left(12))) << r;
}

void Word97Test::roundTripCharacters()
{
    QFETCH(Run, format);
    QTextDocument doc;
    WPTextModel::Builder(&doc).addParagraph(para({run(QStringLiteral("plain ")), format}));
    const QList<Paragraph> back = roundTrip(doc);
    QCOMPARE(back.size(), 1);
    QCOMPARE(back[0].text(), QStringLiteral("plain ") + format.text);
    const Run& r = back[0].runs.last();
    QVERIFY2(r.sameFormat(format), qPrintable(QStringLiteral("%1 %2 %3 %4 %5").arg(r.family).arg(r.pointSize)
                                                   .arg(r.underline).arg(r.foreground.name(), r.href)));
}

void Word97Test::roundTripParagraphs()
{
    QTextDocument doc;
    WPTextModel::Builder b(&doc);
    Paragraph centred = para({run(QStringLiteral("centred"))});
    centred.style.alignment = Qt::AlignHCenter;
    Paragraph indented = para({run(QStringLiteral("indented"))});
    indented.style.headIndent = 36;
    indented.style.firstLineHeadIndent = 18;
    indented.style.tailIndent = 27;
    indented.style.alignment = Qt::AlignJustify;
    Paragraph spaced = para({run(QStringLiteral("spaced"))});
    spaced.style.spaceBefore = 6;
    spaced.style.spaceAfter = 12;
    spaced.style.lineHeightMultiple = 1.5;
    spaced.style.alignment = Qt::AlignRight;
    Paragraph tabs = para({run(QStringLiteral("a\tb\tc"))});
    tabs.style.tabStops = {72, 144};
    tabs.style.tabKinds = {QTextOption::CenterTab, QTextOption::RightTab};
    Paragraph list = para({run(QStringLiteral("\t2.\tsecond"))});
    list.style.listKind = WPText::ListNumber;
    list.style.headIndent = WPText::kListHeadIndent;
    list.style.tabStops = {WPText::kListTab1, WPText::kListTab2};
    const QList<Paragraph> written{centred, indented, spaced, tabs, list, para({})};
    for (const Paragraph& p : written)
        b.addParagraph(p);
    const QList<Paragraph> back = roundTrip(doc);
    QCOMPARE(back.size(), written.size());
    for (qsizetype i = 0; i < written.size(); ++i) {
        QCOMPARE(back[i].text(), written[i].text());
        QCOMPARE(back[i].style, written[i].style);
    }
}

void Word97Test::roundTripMergedTable()
{
    // 3 x 3: the first row's cell spans two columns, the last column's
    // cell two rows; one cell is shaded.
    QTextDocument doc;
    WPTextModel::Builder b(&doc);
    b.addParagraph(para({run(QStringLiteral("before"))}));
    WPTextModel::Table t;
    t.rows = 3;
    t.columns = 3;
    auto cell = [](int row, int column, int rowSpan, int columnSpan, const QString& text) {
        WPTextModel::TableCell c;
        c.row = row;
        c.column = column;
        c.rowSpan = rowSpan;
        c.columnSpan = columnSpan;
        c.paragraphs = {para({run(text)})};
        return c;
    };
    t.cells = {cell(0, 0, 1, 2, QStringLiteral("wide")), cell(0, 2, 2, 1, QStringLiteral("tall")),
               cell(1, 0, 1, 1, QStringLiteral("b0")), cell(1, 1, 1, 1, QStringLiteral("b1")),
               cell(2, 0, 1, 1, QStringLiteral("c0")), cell(2, 1, 1, 1, QStringLiteral("c1")),
               cell(2, 2, 1, 1, QStringLiteral("c2"))};
    t.cells[3].background = QColor(0x80, 0x90, 0xA0);
    t.cells[3].paragraphs.append(para({run(QStringLiteral("second line"))}));
    b.addTable(t);
    b.addParagraph(para({run(QStringLiteral("after"))}));
    const QList<Paragraph> back = roundTrip(doc);
    QStringList seen;
    for (const Paragraph& p : back) {
        if (!p.cell) {
            seen << p.text();
            continue;
        }
        const WPTextModel::CellRef& c = *p.cell;
        seen << QStringLiteral("%1 %2,%3 %4x%5 %6").arg(p.text()).arg(c.row).arg(c.column).arg(c.rowSpan)
                    .arg(c.columnSpan).arg(c.background.isValid() ? c.background.name() : QString());
    }
    QCOMPARE(seen, (QStringList{QStringLiteral("before"), QStringLiteral("wide 0,0 1x2 "),
                                QStringLiteral("tall 0,2 2x1 "), QStringLiteral("b0 1,0 1x1 "),
                                QStringLiteral("b1 1,1 1x1 #8090a0"), QStringLiteral("second line 1,1 1x1 #8090a0"),
                                QStringLiteral("c0 2,0 1x1 "), QStringLiteral("c1 2,1 1x1 "),
                                QStringLiteral("c2 2,2 1x1 "), QStringLiteral("after")}));
}

void Word97Test::roundTripPageAndHeader()
{
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("Landscape"));
    WPDocAttributes a;
    a.paperSize = QSizeF(842, 595);
    a.leftMargin = 36;
    a.rightMargin = 54;
    a.topMargin = 90;
    a.bottomMargin = 18;
    a.comment = WPHeaderFooter::encode(QStringLiteral("Überschrift {page}"), QStringLiteral("Page {page} of {pages}"));
    WPDocAttributes back;
    roundTrip(doc, a, &back);
    QCOMPARE(back.paperSize, a.paperSize);
    QCOMPARE(back.leftMargin, a.leftMargin);
    QCOMPARE(back.rightMargin, a.rightMargin);
    QCOMPARE(back.topMargin, a.topMargin);
    QCOMPARE(back.bottomMargin, a.bottomMargin);
    QCOMPARE(back.comment, a.comment);

    // Without the summary's record, the header and footer stories that
    // other programs show give the same templates back.
    const CompoundFile file(Word97::write(doc, a));
    const QByteArray bare = CompoundFile::write({{QStringLiteral("WordDocument"), *file.stream(QStringLiteral("WordDocument"))},
                                                 {QStringLiteral("1Table"), *file.stream(QStringLiteral("1Table"))}});
    QTextDocument stories;
    WPDocAttributes fromStories;
    QVERIFY(Word97::read(bare, &stories, &fromStories, nullptr));
    QCOMPARE(fromStories.comment, a.comment);
    QCOMPARE(stories.toPlainText(), QStringLiteral("Landscape"));
}

void Word97Test::manyParagraphsSpanPages()
{
    // More paragraphs and runs than one property page holds, and a table
    // wide enough that its row layout leaves the pages.
    QTextDocument doc;
    WPTextModel::Builder b(&doc);
    for (int i = 0; i < 400; ++i) {
        Run r = run(QStringLiteral("paragraph %1 ").arg(i));
        Run c = run(QStringLiteral("red"));
        c.foreground = QColor(200, i % 256, 0);
        Paragraph p = para({r, c});
        p.style.headIndent = i % 50;
        b.addParagraph(p);
    }
    b.addTable(numberedRow(40));
    const QList<Paragraph> back = roundTrip(doc);
    QCOMPARE(back.size(), 400 + 40 + 1);
    QCOMPARE(back[399].text(), QStringLiteral("paragraph 399 red"));
    QCOMPARE(back[399].runs.last().foreground, QColor(200, 399 % 256, 0));
    QCOMPARE(back[399].style.headIndent, 399 % 50);
    QCOMPARE(back[439].text(), QStringLiteral("39"));
    QCOMPARE(back[439].cell->column, 39);
}

void Word97Test::tableWiderThanTheFormatKeepsItsText()
{
    QTextDocument doc;
    WPTextModel::Builder b(&doc);
    b.addTable(numberedRow(70));
    const QList<Paragraph> back = roundTrip(doc);
    QStringList last;
    int columns = 0;
    for (const Paragraph& p : back) {
        if (p.cell)
            columns = p.cell->tableColumns;
        if (p.cell && p.cell->column == 62)
            last << p.text();
    }
    QCOMPARE(columns, 63);
    QCOMPARE(last, (QStringList{QStringLiteral("62"), QStringLiteral("63"), QStringLiteral("64"), QStringLiteral("65"),
                                QStringLiteral("66"), QStringLiteral("67"), QStringLiteral("68"), QStringLiteral("69")}));
}

void Word97Test::otherSuitesDocuments_data()
{
    // Written by another office suite: each paragraph as "text" with "/L"
    // for a list kind, "@r,c RxC" for its cell, "^" before superscript runs
    // and "[pic WxH]" for pictures.
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("paragraphs");
    QTest::addColumn<QString>("headerFooter");
    QTest::addColumn<QString>("notKept");
    const QString line(20, QChar(0x2500));
    QTest::newRow("notes, table, box") << QStringLiteral("notes-table-box.doc")
        << QStringList{QStringLiteral("Bold italic under strike red Arial16"), QStringLiteral("Indented paragraph with a note^1 and more."),
                       QStringLiteral("Endnote here^i."), QStringLiteral("Comment here."), QStringLiteral("Picture: [pic 30x15]"),
                       QStringLiteral("top left@0,0 1x1"), QStringLiteral("top mid@0,1 1x1"), QStringLiteral("top right@0,2 1x1"),
                       QStringLiteral("merged wide@1,0 1x2"), QStringLiteral("tall@1,2 2x1"), QStringLiteral("c0@2,0 1x1"),
                       QStringLiteral("c1@2,1 1x1"), QStringLiteral("Box anchor \u2028Box text here\u2028 after box."),
                       QStringLiteral("Last paragraph."), line, QStringLiteral("^1 The footnote text."),
                       QStringLiteral("^i The endnote text.")}
        << QStringLiteral("Header text {page}\u001FFooter text") << QStringLiteral("comment 1");
    QTest::newRow("lists and a first-page header") << QStringLiteral("lists-first-header.doc")
        << QStringList{QStringLiteral("\t\u2022\tfirst/1"), QStringLiteral("\t\u2022\tsecond/1"), QStringLiteral("\t1.\tone/2"),
                       QStringLiteral("\t2.\ttwo/2"), QStringLiteral("\t3.\tthree/2"), QStringLiteral("Heading styled"),
                       QStringLiteral("highlighted")}
        << QStringLiteral("First page header\u001F") << QString();
    QTest::newRow("numbers from 3, a bullet inside") << QStringLiteral("numbered-from-3.doc")
        << QStringList{QStringLiteral("\t3.\tthree/2"), QStringLiteral("\t4.\tfour/2"), QStringLiteral("\t\u2022\tinner/1"),
                       QStringLiteral("\t5.\tfive/2")}
        << QString() << QString();
}

void Word97Test::otherSuitesDocuments()
{
    QFETCH(QString, file);
    QFETCH(QStringList, paragraphs);
    QFETCH(QString, headerFooter);
    QFETCH(QString, notKept);
    QFile f(QFINDTESTDATA(QStringLiteral("wordproc/data/") + file));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QTextDocument doc;
    WPDocAttributes a;
    QString error;
    QVERIFY2(Word97::read(f.readAll(), &doc, &a, &error), qPrintable(error));
    QStringList seen;
    for (const Paragraph& p : WPTextModel::paragraphs(doc)) {
        QString s;
        for (const Run& r : p.runs) {
            if (r.picture)
                s += QStringLiteral("[pic %1x%2]").arg(r.picture->sizePt.width()).arg(r.picture->sizePt.height());
            else
                s += (r.baseline == 1 ? QStringLiteral("^") : QString()) + r.text;
        }
        if (p.style.listKind != WPText::ListNone)
            s += QStringLiteral("/%1").arg(p.style.listKind);
        if (p.cell)
            s += QStringLiteral("@%1,%2 %3x%4").arg(p.cell->row).arg(p.cell->column).arg(p.cell->rowSpan).arg(p.cell->columnSpan);
        seen << s;
    }
    QCOMPARE(seen, paragraphs);
    QCOMPARE(a.comment.value_or(QStringLiteral("VEXO-HF\u001F")).mid(8), headerFooter);
    QStringList kinds;
    for (auto it = a.notKept.constBegin(); it != a.notKept.constEnd(); ++it)
        kinds << QStringLiteral("%1 %2").arg(it.key()).arg(it.value());
    QCOMPARE(kinds.join(QStringLiteral(", ")), notKept);
}

QTEST_MAIN(Word97Test)
#include "tst_formatword97.moc"
