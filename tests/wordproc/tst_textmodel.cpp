#include "DocxTestFiles.h"
#include "TestEnvironment.h"
#include "wordproc/WPTextModel.h"

#include <QBuffer>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>

using namespace WPTextModel;

namespace {



Paragraph para(const QString& text)
{
    return DocxTestFiles::para({DocxTestFiles::run(text)});
}

QStringList texts(const QList<Paragraph>& ps)
{
    QStringList out;
    for (const Paragraph& p : ps)
        out.append(p.text());
    return out;
}

// "before", two tables of a wide, a tall and a plain cell, "after".
void twoTables(QTextDocument& doc)
{
    Builder b(&doc);
    b.addParagraph(para(QStringLiteral("before")));
    Table t;
    t.rows = 2;
    t.columns = 3;
    TableCell wide{0, 0, 1, 2, QColor(0xDD, 0xEE, 0xFF), {para(QStringLiteral("wide")), para(QStringLiteral("second"))}};
    TableCell tall{0, 2, 2, 1, QColor(), {para(QStringLiteral("tall"))}};
    TableCell last{1, 1, 1, 1, QColor(), {para(QStringLiteral("b"))}};
    t.cells = {wide, tall, last};
    b.addTable(t);
    b.addTable(t); // a second table right after the first
    b.addParagraph(para(QStringLiteral("after")));
}

} // namespace

class TextModelTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void paragraphStylesInPoints_data()
    {
        QTest::addColumn<ParagraphStyle>("style");
        ParagraphStyle plain;
        QTest::newRow("plain") << plain;
        ParagraphStyle centred;
        centred.alignment = Qt::AlignHCenter;
        centred.lineHeightMultiple = 1.5;
        QTest::newRow("centred, 1.5 lines") << centred;
        ParagraphStyle hanging;
        hanging.alignment = Qt::AlignJustify;
        hanging.headIndent = 36;
        hanging.firstLineHeadIndent = 18;
        QTest::newRow("justified, hanging") << hanging;
        ParagraphStyle list;
        list.alignment = Qt::AlignRight;
        list.headIndent = WPText::kListHeadIndent;
        list.tabStops = {WPText::kListTab1, WPText::kListTab2};
        list.listKind = WPText::ListNumber;
        QTest::newRow("right, numbered list") << list;
    }
    void paragraphStylesInPoints()
    {
        QFETCH(ParagraphStyle, style);
        QTextDocument doc;
        Builder b(&doc);
        Paragraph p = para(QStringLiteral("x"));
        p.style = style;
        b.addParagraph(p);
        const QList<Paragraph> back = paragraphs(doc);
        QCOMPARE(back.size(), 1);
        const ParagraphStyle& got = back.first().style;
        QCOMPARE(got.alignment, style.alignment);
        QCOMPARE(got.headIndent, style.headIndent);
        QCOMPARE(got.firstLineHeadIndent, style.firstLineHeadIndent);
        QCOMPARE(got.lineHeightMultiple, style.lineHeightMultiple);
        QCOMPARE(got.tabStops, style.tabStops);
        QCOMPARE(got.listKind, style.listKind);
        // Qt lays out in pixels: the stored margin is points × k.
        QCOMPARE(doc.begin().blockFormat().leftMargin(), WPText::toPixels(style.headIndent));
        QVERIFY(!doc.begin().textList()); // markers are text, never a QTextList
    }

    void runAttributes_data()
    {
        QTest::addColumn<Run>("run");
        Run plain = DocxTestFiles::run(QStringLiteral("plain"));
        QTest::newRow("plain") << plain;
        Run rich = DocxTestFiles::run(QStringLiteral("rich"));
        rich.family = QStringLiteral("Georgia");
        rich.pointSize = 11.5;
        rich.bold = rich.italic = true;
        rich.underline = WPText::StyleDouble;
        rich.strike = WPText::StyleSingle;
        rich.foreground = QColor(200, 10, 20);
        rich.background = QColor(255, 255, 0);
        QTest::newRow("every attribute") << rich;
        Run link = DocxTestFiles::run(QStringLiteral("site"));
        link.link = true;
        link.href = QStringLiteral("https://example.org/");
        QTest::newRow("link") << link;
        Run tabs = DocxTestFiles::run(QStringLiteral("a\tb\u2028c"));
        QTest::newRow("tab and line break") << tabs;
    }
    void runAttributes()
    {
        QFETCH(Run, run);
        QTextDocument doc;
        Builder b(&doc);
        Paragraph p;
        p.runs.append(run);
        b.addParagraph(p);
        const QList<Paragraph> back = paragraphs(doc);
        QCOMPARE(back.size(), 1);
        QCOMPARE(back.first().runs.size(), 1);
        const Run& got = back.first().runs.first();
        QCOMPARE(got.text, run.text);
        QVERIFY(got.sameFormat(run));
        // Qt's own flags stay in step for display.
        const QTextCharFormat f = doc.begin().begin().fragment().charFormat();
        QCOMPARE(f.fontUnderline(), run.underline != 0);
        QCOMPARE(f.fontStrikeOut(), run.strike != 0);
    }

    void qtFlagsWithoutStyleProperties()
    {
        // Text typed or pasted with Qt's own flags only still reads as lines.
        QTextDocument doc;
        QTextCursor c(&doc);
        QTextCharFormat f;
        f.setFontUnderline(true);
        f.setFontStrikeOut(true);
        c.insertText(QStringLiteral("x"), f);
        const Run r = paragraphs(doc).first().runs.first();
        QCOMPARE(r.underline, int(WPText::StyleSingle));
        QCOMPARE(r.strike, int(WPText::StyleSingle));
        QCOMPARE(r.family, doc.defaultFont().family()); // the document's font when none is set
        QVERIFY(r.defaultFamily && r.defaultSize);
        // A run's own font is its own, even when it is the document's.
        f.setFontFamilies({doc.defaultFont().family()});
        f.setFontPointSize(doc.defaultFont().pointSizeF());
        c.insertText(QStringLiteral("y"), f);
        const Run own = paragraphs(doc).first().runs.last();
        QVERIFY(!own.defaultFamily && !own.defaultSize);
    }

    void pictures()
    {
        QTextDocument doc;
        Builder b(&doc);
        Paragraph p = para(QStringLiteral("See:"));
        Picture pic;
        pic.data = DocxTestFiles::png(20, 10, Qt::red);
        pic.fileName = QStringLiteral("chart.png");
        pic.sizePt = QSizeF(100, 50);
        Run r;
        r.text = QString(QChar(0xFFFC));
        r.picture = pic;
        p.runs.append(r);
        p.runs.append(r); // two neighbours of one format stay two pictures
        Picture own;
        own.data = DocxTestFiles::png(30, 15, Qt::blue);
        r.picture = own;
        p.runs.append(r);
        b.addParagraph(p);
        QCOMPARE(b.pictureCount(), 3);
        const QList<Run> runs = paragraphs(doc).first().runs;
        QCOMPARE(runs.size(), 4);
        for (int i : {1, 2}) {
            QVERIFY(runs[i].picture);
            QCOMPARE(runs[i].picture->data, pic.data);
            QCOMPARE(runs[i].picture->fileName, pic.fileName);
            QCOMPARE(runs[i].picture->sizePt, QSizeF(100, 50));
            QCOMPARE(runs[i].picture->image.size(), QSize(20, 10));
        }
        QCOMPARE(runs[3].picture->sizePt, QSizeF(30, 15)); // no size: the image's own
        QTextImageFormat img = doc.begin().begin().fragment().charFormat().toImageFormat();
        for (auto it = doc.begin().begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat())
                img = it.fragment().charFormat().toImageFormat();
        QCOMPARE(img.width(), WPText::toPixels(30));
    }

    void tables()
    {
        QTextDocument doc;
        twoTables(doc);
        const QList<Paragraph> ps = paragraphs(doc);
        // Qt keeps an empty paragraph between two tables and none after the
        // last: "after" takes the paragraph that follows it.
        QCOMPARE(texts(ps), (QStringList{QStringLiteral("before"), QStringLiteral("wide"), QStringLiteral("second"),
                                         QStringLiteral("tall"), QString(), QStringLiteral("b"), QString(),
                                         QStringLiteral("wide"), QStringLiteral("second"), QStringLiteral("tall"),
                                         QString(), QStringLiteral("b"), QStringLiteral("after")}));
        QVERIFY(!ps[0].cell && !ps[6].cell && !ps[12].cell);
        QVERIFY(ps[1].cell && ps[7].cell);
        QVERIFY(ps[1].cell->table != ps[7].cell->table);
        QCOMPARE(ps[1].cell->columnSpan, 2);
        QCOMPARE(ps[1].cell->background, QColor(0xDD, 0xEE, 0xFF));
        QCOMPARE(ps[2].cell->row, 0); // second paragraph of the same cell
        QCOMPARE(ps[3].cell->rowSpan, 2);
        QCOMPARE(ps[3].cell->column, 2);
        QCOMPARE(ps[4].cell->row, 1); // empty cell under the wide one
        QCOMPARE(ps[4].cell->column, 0);
        QCOMPARE(ps[5].cell->tableColumns, 3);
        // Positions lead back into the document.
        for (const Paragraph& p : ps)
            QCOMPARE(doc.findBlock(p.position).text(), p.text());
    }

    void partsGroupTablesWithTheirGrid()
    {
        QTextDocument doc;
        twoTables(doc);
        const QList<Part> got = parts(doc);
        QCOMPARE(got.size(), 5); // paragraph, table, Qt's paragraph between, table, paragraph
        QCOMPARE(std::get<Paragraph>(got[0]).text(), QStringLiteral("before"));
        QCOMPARE(std::get<Paragraph>(got[4]).text(), QStringLiteral("after"));
        for (int i : {1, 3}) {
            const Table& table = std::get<Table>(got[i]);
            QCOMPARE(table.rows, 2);
            QCOMPARE(table.columns, 3);
            QCOMPARE(table.cells.size(), 4); // the empty cell under the wide one too
            QCOMPARE(texts(table.cells[0].paragraphs), (QStringList{QStringLiteral("wide"), QStringLiteral("second")}));
            QCOMPARE(table.grid(), (QList<qsizetype>{0, 0, 1, 2, 3, 1}));
        }
        // Cells outside the grid cover nothing.
        Table hostile;
        hostile.rows = 1;
        hostile.columns = 2;
        hostile.cells = {TableCell{0, 1, 5, 5, QColor(), {}}, TableCell{3, 0, 1, 1, QColor(), {}}};
        QCOMPARE(hostile.grid(), (QList<qsizetype>{-1, 0}));
    }

    void walkedColumnWidths_data()
    {
        QTest::addColumn<QList<QTextLength>>("constraints");
        QTest::addColumn<QList<qreal>>("widths");
        using L = QTextLength;
        QTest::newRow("sized by text") << QList<L>{} << QList<qreal>{};
        QTest::newRow("percentages") << QList<L>{L(L::PercentageLength, 25), L(L::PercentageLength, 75)} << QList<qreal>{25, 75};
        QTest::newRow("fixed") << QList<L>{L(L::FixedLength, 100), L(L::FixedLength, 300)} << QList<qreal>{100, 300};
        QTest::newRow("mixed kinds") << QList<L>{L(L::FixedLength, 100), L(L::PercentageLength, 50)} << QList<qreal>{};
        QTest::newRow("one by its text") << QList<L>{L(L::PercentageLength, 50), L()} << QList<qreal>{};
        QTest::newRow("too few") << QList<L>{L(L::PercentageLength, 50)} << QList<qreal>{};
    }
    void walkedColumnWidths()
    {
        QFETCH(QList<QTextLength>, constraints);
        QFETCH(QList<qreal>, widths);
        QTextDocument doc;
        QTextTableFormat f;
        f.setColumnWidthConstraints(constraints);
        QTextCursor(&doc).insertTable(1, 2, f);
        const QList<Part> got = parts(doc);
        const auto table = std::find_if(got.cbegin(), got.cend(), [](const Part& p) { return std::holds_alternative<Table>(p); });
        QVERIFY(table != got.cend());
        QCOMPARE(std::get<Table>(*table).columnWidths, widths);
    }

    void nestedTableBelongsToOuterCell()
    {
        QTextDocument doc;
        QTextCursor c(&doc);
        QTextTable* outer = c.insertTable(1, 2);
        QTextCursor inCell = outer->cellAt(0, 1).firstCursorPosition();
        inCell.insertText(QStringLiteral("outer"));
        QTextTable* inner = inCell.insertTable(2, 1);
        inner->cellAt(1, 0).firstCursorPosition().insertText(QStringLiteral("inner"));
        const QList<Paragraph> ps = paragraphs(doc);
        bool sawInner = false;
        for (const Paragraph& p : ps) {
            if (p.text() == QLatin1String("inner")) {
                sawInner = true;
                QVERIFY(p.cell);
                QCOMPARE(p.cell->table, quintptr(outer));
                QCOMPARE(p.cell->column, 1);
            }
        }
        QVERIFY(sawInner);
    }

    void hostileTableCellsAreIgnored()
    {
        QTextDocument doc;
        Builder b(&doc);
        Table t;
        t.rows = 2;
        t.columns = 2;
        t.cells = {TableCell{5, 5, 1, 1, QColor(), {para(QStringLiteral("outside"))}},
                   TableCell{0, 0, 9, 9, QColor(), {para(QStringLiteral("big"))}},
                   TableCell{1, 1, 1, 1, QColor(), {para(QStringLiteral("covered"))}}};
        b.addTable(t);
        const QStringList got = texts(paragraphs(doc));
        QVERIFY(got.contains(QStringLiteral("big")));
        QVERIFY(!got.contains(QStringLiteral("outside")));
        QVERIFY(!got.contains(QStringLiteral("covered")));
    }

    void transparentColoursAreNone_data()
    {
        QTest::addColumn<QString>("css");
        QTest::addColumn<QColor>("expected");
        QTest::newRow("transparent") << QStringLiteral("transparent") << QColor();
        QTest::newRow("clear red") << QStringLiteral("rgba(255,0,0,0)") << QColor();
        QTest::newRow("half clear red") << QStringLiteral("rgba(255,0,0,0.5)") << QColor(255, 0, 0, 127);
        QTest::newRow("yellow") << QStringLiteral("#ffff00") << QColor(255, 255, 0);
    }
    void transparentColoursAreNone()
    {
        // Web text often says "transparent": every writer would paint it solid.
        QFETCH(QString, css);
        QFETCH(QColor, expected);
        QTextDocument doc;
        doc.setHtml(QStringLiteral("<p><span style=\"background-color: %1\">a</span></p>"
                                   "<table><tr><td style=\"background-color: %1\">b</td></tr></table>")
                        .arg(css));
        const QList<Paragraph> ps = paragraphs(doc);
        QVERIFY(ps.size() >= 2);
        QCOMPARE(ps.first().runs.value(0).background, expected);
        bool sawCell = false;
        for (const Paragraph& p : ps) {
            if (p.cell) {
                QCOMPARE(p.cell->background, expected);
                sawCell = true;
            }
        }
        QVERIFY(sawCell);
    }
};

QTEST_MAIN(TextModelTest)
#include "tst_textmodel.moc"
